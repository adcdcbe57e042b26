#include "framework/Path.h"

#include <windows.h>
#include <vector>

std::string GetCurrentDir()
{
    std::vector<char> narrow(MAX_PATH, '\0');
    DWORD n = ::GetCurrentDirectoryA(static_cast<DWORD>(narrow.size()), narrow.data());
    if (n > 0 && n < narrow.size())
        return std::string(narrow.data(), n);

    DWORD size = ::GetCurrentDirectoryW(0, nullptr);
    if (size == 0)
        return std::string();
    std::vector<wchar_t> wide(size + 1, L'\0');
    n = ::GetCurrentDirectoryW(static_cast<DWORD>(wide.size()), wide.data());
    if (n == 0 || n >= wide.size())
        return std::string();
    int bytes = ::WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(n), nullptr, 0, nullptr, nullptr);
    if (bytes <= 0)
        return std::string();
    std::string dir(bytes, '\0');
    ::WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(n), &dir[0], bytes, nullptr, nullptr);
    return dir;
}

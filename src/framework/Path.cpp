#include "framework/Path.h"

#include "framework/Gbk.h"

#include <windows.h>

namespace {

typedef std::vector<wchar_t> Wide;

} // namespace

bool StartsWith(const std::vector<wchar_t>& text, const wchar_t* prefix)
{
    for (size_t i = 0; prefix[i] != L'\0'; ++i) {
        if (i >= text.size() || text[i] != prefix[i])
            return false;
    }
    return true;
}

std::string JoinPath(const std::string& dir, const std::string& name)
{
    return gbk::EndsWith(dir, '\\') ? dir + name : dir + "\\" + name;
}

std::vector<wchar_t> ToWide(const std::string& text)
{
    const int n = text.empty() ? 0
                               : ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    Wide wide(n > 0 ? n : 0);
    if (n > 0)
        ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
    return wide;
}

std::vector<wchar_t> FullPath(const std::vector<wchar_t>& path)
{
    const CWidePath given(path);
    const DWORD size = ::GetFullPathNameW(given.c_str(), 0, nullptr, nullptr);
    if (size == 0)
        return path;
    Wide full(size);
    const DWORD n = ::GetFullPathNameW(given.c_str(), size, full.data(), nullptr);
    if (n == 0 || n >= size)
        return path;
    full.resize(n);
    return full;
}

bool IsFullPath(const std::string& path)
{
    const auto slash = [](char c) { return c == '\\' || c == '/'; };
    if (path.size() >= 3 && ((path[0] | 0x20) >= 'a' && (path[0] | 0x20) <= 'z') && path[1] == ':' && slash(path[2]))
        return true;
    return path.size() >= 3 && slash(path[0]) && slash(path[1]) && !slash(path[2]);
}

std::string ResolveFolderPath(const std::string& path)
{
    if (path.empty() || IsFullPath(path))
        return path;
    const Wide full = FullPath(ToWide(path));
    BOOL usedDefault = FALSE;
    const int bytes = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, full.data(), static_cast<int>(full.size()),
                                            nullptr, 0, nullptr, &usedDefault);
    if (bytes <= 0 || usedDefault)
        return path;
    std::string text(bytes, '\0');
    ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, full.data(), static_cast<int>(full.size()), &text[0], bytes,
                          nullptr, &usedDefault);
    if (usedDefault)
        return path;
    // A bare drive names its current directory, which some platforms give with a backslash at the end.
    if (text.size() > 3 && gbk::EndsWith(text, '\\'))
        text.erase(text.size() - 1);
    return text;
}

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

CWidePath WidePath(const std::vector<wchar_t>& wide)
{
    const Wide full = FullPath(wide);
    if (wide.size() < MAX_PATH && full.size() < MAX_PATH)
        return CWidePath(wide);
    // "\\?\" passes the path on as it stands; "\\.\" would have it checked against the limit.
    if (StartsWith(full, L"\\\\?\\") || StartsWith(full, L"\\\\.\\")) {
        Wide prefixed(full);
        prefixed[2] = L'?';
        return CWidePath(prefixed);
    }
    const bool unc = StartsWith(full, L"\\\\");
    const wchar_t* prefix = unc ? L"\\\\?\\UNC" : L"\\\\?\\";
    Wide prefixed(prefix, prefix + (unc ? 7 : 4));
    prefixed.insert(prefixed.end(), full.begin() + (unc ? 1 : 0), full.end());
    return CWidePath(prefixed);
}

CWidePath WidePath(const std::string& path)
{
    return WidePath(ToWide(path));
}

bool FitsMaxPath(const std::string& path)
{
    const Wide wide = ToWide(path);
    return wide.size() < MAX_PATH && FullPath(wide).size() < MAX_PATH;
}

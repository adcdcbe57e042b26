#include "framework/Path.h"

#include "framework/Gbk.h"

#include <windows.h>

#include <vector>

bool StartsWith(const WideText& text, const wchar_t* prefix)
{
    return text.compare(0, WideTraits::length(prefix), prefix) == 0;
}

std::string JoinPath(const std::string& dir, const std::string& name)
{
    return gbk::EndsWith(dir, '\\') ? dir + name : dir + "\\" + name;
}

WideText FullPath(const WideText& path)
{
    const DWORD size = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (size == 0)
        return path;
    WideText full(size, L'\0');
    const DWORD n = ::GetFullPathNameW(path.c_str(), size, &full[0], nullptr);
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
    std::string text;
    if (!ToGbkExactly(FullPath(ToWide(path)), &text))
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

    const DWORD size = ::GetCurrentDirectoryW(0, nullptr);
    if (size == 0)
        return std::string();
    WideText wide(size, L'\0');
    n = ::GetCurrentDirectoryW(size, &wide[0]);
    if (n == 0 || n >= size)
        return std::string();
    wide.resize(n);
    return FromWide(wide);
}

WideText WidePath(const WideText& wide)
{
    const WideText full = FullPath(wide);
    if (wide.size() < MAX_PATH && full.size() < MAX_PATH)
        return wide;
    // "\\?\" passes the path on as it stands; "\\.\" would have it checked against the limit.
    if (StartsWith(full, L"\\\\?\\") || StartsWith(full, L"\\\\.\\")) {
        WideText prefixed(full);
        prefixed[2] = L'?';
        return prefixed;
    }
    const bool unc = StartsWith(full, L"\\\\");
    return (unc ? L"\\\\?\\UNC" : L"\\\\?\\") + full.substr(unc ? 1 : 0);
}

WideText WidePath(const std::string& path)
{
    return WidePath(ToWide(path));
}

bool FitsMaxPath(const std::string& path)
{
    const WideText wide = ToWide(path);
    return wide.size() < MAX_PATH && FullPath(wide).size() < MAX_PATH;
}

#include "framework/Path.h"

#include <windows.h>

namespace {

typedef std::vector<wchar_t> Wide;

Wide ToWide(const std::string& text)
{
    const int n = text.empty() ? 0
                               : ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    Wide wide(n > 0 ? n : 0);
    if (n > 0)
        ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
    return wide;
}

bool StartsWith(const Wide& text, const wchar_t* prefix)
{
    for (size_t i = 0; prefix[i] != L'\0'; ++i) {
        if (i >= text.size() || text[i] != prefix[i])
            return false;
    }
    return true;
}

// The full path of path, or path itself when the platform cannot resolve it.
Wide FullPath(const Wide& path)
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

// Length of the root of a full path: "C:\" or "\\server\share\".
size_t RootLength(const Wide& full)
{
    if (full.size() >= 3 && full[1] == L':')
        return 3;
    if (!StartsWith(full, L"\\\\"))
        return 0;
    size_t separators = 0;
    for (size_t i = 2; i < full.size(); ++i) {
        if (full[i] == L'\\' && ++separators == 2)
            return i + 1;
    }
    return full.size();
}

// full with its longest existing leading part in the long form; the rest as it stands.
Wide LongForm(const Wide& full)
{
    const size_t root = RootLength(full);
    size_t head = full.size();
    while (head > root) {
        const CWidePath part(Wide(full.begin(), full.begin() + head));
        const DWORD size = ::GetLongPathNameW(part.c_str(), nullptr, 0);
        if (size != 0) {
            Wide resolved(size);
            const DWORD n = ::GetLongPathNameW(part.c_str(), resolved.data(), size);
            if (n != 0 && n < size) {
                resolved.resize(n);
                resolved.insert(resolved.end(), full.begin() + head, full.end());
                return resolved;
            }
        }
        do
            --head;
        while (head > root && full[head] != L'\\');
    }
    return full;
}

std::string ToUtf8(const Wide& wide)
{
    if (wide.empty())
        return std::string();
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr,
                                        nullptr);
    std::string text(n > 0 ? n : 0, '\0');
    if (n > 0)
        ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), &text[0], n, nullptr, nullptr);
    return text;
}

} // namespace

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

CWidePath WidePath(const std::string& path)
{
    const Wide wide = ToWide(path);
    const Wide full = FullPath(wide);
    if ((wide.size() < MAX_PATH && full.size() < MAX_PATH) || StartsWith(full, L"\\\\?\\"))
        return CWidePath(wide.size() < MAX_PATH && full.size() < MAX_PATH ? wide : full);
    const bool unc = StartsWith(full, L"\\\\");
    const wchar_t* prefix = unc ? L"\\\\?\\UNC" : L"\\\\?\\";
    Wide prefixed(prefix, prefix + (unc ? 7 : 4));
    prefixed.insert(prefixed.end(), full.begin() + (unc ? 1 : 0), full.end());
    return CWidePath(prefixed);
}

bool FitsMaxPath(const std::string& path)
{
    const Wide wide = ToWide(path);
    return wide.size() < MAX_PATH && FullPath(wide).size() < MAX_PATH;
}

std::string ComparablePath(const std::string& path)
{
    if (path.empty())
        return std::string();
    Wide resolved = LongForm(FullPath(ToWide(path)));
    const size_t root = RootLength(resolved);
    while (resolved.size() > root
           && (resolved.back() == L'\\' || resolved.back() == L'.' || resolved.back() == L' '))
        resolved.pop_back();
    if (!resolved.empty())
        ::CharUpperBuffW(resolved.data(), static_cast<DWORD>(resolved.size()));
    return ToUtf8(resolved);
}

bool IsSameOrInside(const std::string& inner, const std::string& folder)
{
    if (inner.empty() || folder.empty() || inner.compare(0, folder.size(), folder) != 0)
        return false;
    return inner.size() == folder.size() || inner[folder.size()] == '\\' || folder.back() == '\\';
}

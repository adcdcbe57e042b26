#include "Shell.h"

#include "Text.h"

#include <vector>

namespace hostile {

namespace {

// One argument of a Windows command line, as the C runtime's rules read it back.
std::wstring CommandLineArgument(const std::wstring& text)
{
    std::wstring quoted = L"\"";
    size_t backslashes = 0;
    for (wchar_t c : text) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, L'\\');
    return quoted + L"\"";
}

} // namespace

std::string UnixPath(const std::wstring& path)
{
    typedef char*(CDECL * UnixFileName)(const wchar_t*);
    static const UnixFileName get = reinterpret_cast<UnixFileName>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    char* unix = get != nullptr ? get(path.c_str()) : nullptr;
    if (unix == nullptr)
        return std::string();
    const std::string result = unix;
    ::HeapFree(::GetProcessHeap(), 0, unix);
    return result;
}

std::string DosDevices()
{
    const std::string drive = UnixPath(L"C:\\");
    const size_t colon = drive.rfind("/c:");
    return colon == std::string::npos ? std::string() : drive.substr(0, colon);
}

std::string ShellQuote(const std::string& path)
{
    std::string quoted = "'";
    for (char c : path)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

bool RunShell(const std::string& script, DWORD timeoutMs)
{
    wchar_t temp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, temp);
    const std::wstring marker = std::wstring(temp) + L"qrvlnk-hostile-" + std::to_wstring(::GetCurrentProcessId()) + L".done";
    ::DeleteFileW(marker.c_str());
    const std::wstring command = L"/bin/sh -c "
                                 + CommandLineArgument(FromUtf8("(" + script + ") >/dev/null 2>&1; touch "
                                                                + ShellQuote(UnixPath(marker))));
    std::vector<wchar_t> line(command.begin(), command.end());
    line.push_back(L'\0');
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return false;
    // For a Linux program Wine fills in no handles: hThread may hold any value, one of this process's
    // handles among them (closing it closed the standard output), so neither is closed.
    for (DWORD waited = 0; waited < timeoutMs; waited += 5) {
        if (::GetFileAttributesW(marker.c_str()) != INVALID_FILE_ATTRIBUTES) {
            ::DeleteFileW(marker.c_str());
            return true;
        }
        ::Sleep(5);
    }
    return false;
}

} // namespace hostile

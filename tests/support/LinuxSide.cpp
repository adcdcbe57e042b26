#include "support/LinuxSide.h"

#include "framework/Handle.h"

#include <windows.h>
#include <vector>

namespace test {

namespace {

// text as one argument of a Windows command line, which Wine splits into the Linux program's arguments:
// in double quotes, with each quote and the backslashes before one escaped.
std::string Argument(const std::string& text)
{
    std::string argument = "\"";
    size_t backslashes = 0;
    for (char c : text) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        argument.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
        backslashes = 0;
        argument += c;
    }
    return argument + std::string(backslashes * 2, '\\') + "\"";
}

} // namespace

std::string ShellQuoted(const std::string& text)
{
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

std::string UnixPath(const std::wstring& windowsPath)
{
    typedef char*(CDECL * UnixName)(LPCWSTR);
    const UnixName unixName = reinterpret_cast<UnixName>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    char* path = unixName != nullptr ? unixName(windowsPath.c_str()) : nullptr;
    if (path == nullptr)
        return "";
    const std::string result = path;
    ::HeapFree(::GetProcessHeap(), 0, path);
    return result;
}

std::string UnixPath(const std::string& windowsPath)
{
    const int n = ::MultiByteToWideChar(CP_ACP, 0, windowsPath.c_str(), -1, nullptr, 0);
    if (n <= 0)
        return "";
    std::vector<wchar_t> wide(n);
    ::MultiByteToWideChar(CP_ACP, 0, windowsPath.c_str(), -1, wide.data(), n);
    return UnixPath(std::wstring(wide.data()));
}

std::string DosDevices()
{
    std::string devices = UnixPath("C:\\");
    while (!devices.empty() && devices.back() == '/')
        devices.pop_back();
    const size_t slash = devices.rfind('/');
    return slash == std::string::npos ? std::string() : devices.substr(0, slash);
}

bool RunUnix(const std::string& command)
{
    // Wine gives no handle to wait on for a Linux program: it leaves its exit code in a file, which
    // appears whole (renamed into place) when the command has ended.
    static unsigned s_counter = 0;
    const std::string done = "/tmp/qrvlnk-run-" + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(++s_counter);
    const std::string line = "/bin/sh -c " + Argument("(" + command + "); echo $? > " + done + ".part && mv " + done + ".part " + done);
    // The command as UTF-8: file names on the Linux side are UTF-8.
    const int n = ::MultiByteToWideChar(CP_UTF8, 0, line.c_str(), -1, nullptr, 0);
    std::vector<wchar_t> wide(n > 0 ? n : 1);
    ::MultiByteToWideChar(CP_UTF8, 0, line.c_str(), -1, wide.data(), n);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    // For a Linux program Wine fills in no handles: hThread may hold any value, even one of this
    // process's own handles (closing it closed the standard output once), so neither is closed.
    if (!::CreateProcessW(nullptr, wide.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    std::string windowsDone = "Z:" + done;
    for (char& c : windowsDone)
        c = c == '/' ? '\\' : c;
    for (DWORD waited = 0; waited < 30000; waited += 10) {
        CFileHandle file(::CreateFileA(windowsDone.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                       OPEN_EXISTING, 0, nullptr));
        if (file.IsValid()) {
            char code[16] = "";
            DWORD got = 0;
            ::ReadFile(file, code, sizeof(code) - 1, &got, nullptr);
            file.Close();
            ::DeleteFileA(windowsDone.c_str());
            return got > 0 && code[0] == '0' && (code[1] == '\n' || got == 1);
        }
        ::Sleep(10);
    }
    return false;
}

void WaitForWineDriveLetters()
{
    SYSTEMTIME now;
    ::GetSystemTime(&now);
    ::Sleep(1000 - now.wMilliseconds + 10);
}

DriveAlias::DriveAlias(const std::string& folder)
{
    // A link that leads nowhere any more was left by a test that did not end, and goes.
    const std::string devices = DosDevices();
    const std::string target = UnixPath(folder);
    for (char letter = 'q'; letter <= 'y' && m_drive.empty() && !devices.empty() && !target.empty(); ++letter) {
        const std::string drive = std::string(1, letter) + ":";
        const std::string link = devices + "/" + drive;
        if (::GetDriveTypeA((drive + "\\").c_str()) == DRIVE_NO_ROOT_DIR
            && RunUnix("{ [ -e " + ShellQuoted(link) + " ] || rm -f " + ShellQuoted(link) + "; } && ln -s " + ShellQuoted(target) + " "
                       + ShellQuoted(link))) {
            m_drive = std::string(1, static_cast<char>(letter - 'a' + 'A')) + ":";
            m_link = link;
        }
    }
    if (!m_drive.empty())
        WaitForWineDriveLetters();
}

DriveAlias::~DriveAlias()
{
    if (!m_link.empty())
        RunUnix("rm -f " + ShellQuoted(m_link));
}

bool DriveAlias::PointAt(const std::string& folder)
{
    const std::string target = UnixPath(folder);
    return !m_link.empty() && !target.empty() && RunUnix("ln -sfn " + ShellQuoted(target) + " " + ShellQuoted(m_link));
}

FolderLink::FolderLink(const std::string& link, const std::string& target) : m_bMade(false)
{
    m_unixLink = UnixPath(link);
    const std::string unixTarget = UnixPath(target);
    if (m_unixLink.empty() || unixTarget.empty())
        return;
    m_bMade = RunUnix("ln -s " + ShellQuoted(unixTarget) + " " + ShellQuoted(m_unixLink));
}

FolderLink::~FolderLink()
{
    if (m_bMade)
        RunUnix("rm -f " + ShellQuoted(m_unixLink));
}

SmallDisk::SmallDisk(unsigned long long size)
{
    // Z: is the prefix's name for the Linux root.
    const std::string unix = "/tmp/qrvlnk-disk-" + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(::GetTickCount());
    if (!RunUnix("mkdir -p " + ShellQuoted(unix) + " && mount -t tmpfs -o size=" + std::to_string(size) + " qrvlnk " + ShellQuoted(unix))) {
        RunUnix("rmdir " + ShellQuoted(unix));
        return;
    }
    m_unix = unix;
    m_folder = "Z:" + unix;
    for (char& c : m_folder)
        c = c == '/' ? '\\' : c;
}

SmallDisk::~SmallDisk()
{
    if (!m_unix.empty())
        RunUnix("umount " + ShellQuoted(m_unix) + " && rmdir " + ShellQuoted(m_unix));
}

} // namespace test

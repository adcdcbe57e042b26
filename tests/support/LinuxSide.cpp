#include "support/LinuxSide.h"

#include "framework/Handle.h"

#include <windows.h>
#include <vector>

namespace test {

namespace {

// A shell word that passes any path through unchanged.
std::string Quoted(const std::string& text)
{
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

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

std::string UnixPath(const std::string& windowsPath)
{
    typedef char*(CDECL * UnixName)(LPCWSTR);
    const UnixName unixName = reinterpret_cast<UnixName>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    const int n = ::MultiByteToWideChar(CP_ACP, 0, windowsPath.c_str(), -1, nullptr, 0);
    if (unixName == nullptr || n <= 0)
        return "";
    std::vector<wchar_t> wide(n);
    ::MultiByteToWideChar(CP_ACP, 0, windowsPath.c_str(), -1, wide.data(), n);
    char* path = unixName(wide.data());
    if (path == nullptr)
        return "";
    const std::string result = path;
    ::HeapFree(::GetProcessHeap(), 0, path);
    return result;
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
    if (!::CreateProcessW(nullptr, wide.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    CHandle thread(process.hThread), handle(process.hProcess);
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

DriveAlias::DriveAlias(const std::string& folder)
{
    // The prefix's drive letters are links in its dosdevices folder, beside the one of C:; a link that
    // leads nowhere any more was left by a test that did not end, and goes.
    std::string devices = UnixPath("C:\\");
    while (!devices.empty() && devices.back() == '/')
        devices.pop_back();
    devices = devices.substr(0, devices.rfind('/'));
    const std::string target = UnixPath(folder);
    for (char letter = 'q'; letter <= 'y' && m_drive.empty() && !devices.empty() && !target.empty(); ++letter) {
        const std::string drive = std::string(1, letter) + ":";
        const std::string link = devices + "/" + drive;
        if (::GetDriveTypeA((drive + "\\").c_str()) == DRIVE_NO_ROOT_DIR
            && RunUnix("{ [ -e " + Quoted(link) + " ] || rm -f " + Quoted(link) + "; } && ln -s " + Quoted(target) + " "
                       + Quoted(link))) {
            m_drive = std::string(1, static_cast<char>(letter - 'a' + 'A')) + ":";
            m_link = link;
        }
    }
}

DriveAlias::~DriveAlias()
{
    if (!m_link.empty())
        RunUnix("rm -f " + Quoted(m_link));
}

FolderLink::FolderLink(const std::string& link, const std::string& target) : m_bMade(false)
{
    m_unixLink = UnixPath(link);
    const std::string unixTarget = UnixPath(target);
    if (m_unixLink.empty() || unixTarget.empty())
        return;
    m_bMade = RunUnix("ln -s " + Quoted(unixTarget) + " " + Quoted(m_unixLink));
}

FolderLink::~FolderLink()
{
    if (m_bMade)
        RunUnix("rm -f " + Quoted(m_unixLink));
}

SmallDisk::SmallDisk(unsigned long long size)
{
    // Z: is the prefix's name for the Linux root.
    const std::string unix = "/tmp/qrvlnk-disk-" + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(::GetTickCount());
    if (!RunUnix("mkdir -p " + Quoted(unix) + " && mount -t tmpfs -o size=" + std::to_string(size) + " qrvlnk " + Quoted(unix))) {
        RunUnix("rmdir " + Quoted(unix));
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
        RunUnix("umount " + Quoted(m_unix) + " && rmdir " + Quoted(m_unix));
}

} // namespace test

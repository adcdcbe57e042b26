#include "support/Programs.h"

#include "plugin/HostTitle.h"

namespace test {

std::string BinDir()
{
    char path[MAX_PATH] = "";
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dir = path;
    return dir.substr(0, dir.find_last_of('\\'));
}

TitledWindow::TitledWindow(const char* title)
    : m_hWnd(::CreateWindowExA(0, "STATIC", title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 300, 200, nullptr, nullptr,
                               nullptr, nullptr))
{
}

HostWindow::HostWindow() : TitledWindow(kHostTitle) {}

TitledWindow::~TitledWindow()
{
    ::DestroyWindow(m_hWnd);
}

std::string PluginPath()
{
    return BinDir() + "\\QRVLNK.dll";
}

ProgramResult RunProgram(const std::string& exe, const std::string& args, const std::string& dir)
{
    SECURITY_ATTRIBUTES sa = { sizeof(sa), nullptr, TRUE };
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    ::CreatePipe(&readEnd, &writeEnd, &sa, 0);
    ::SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = writeEnd;
    si.hStdError = writeEnd;
    si.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION pi = {};
    std::string command = "\"" + exe + "\" " + args;
    ProgramResult result = { 9999, "" };
    const std::string cwd = dir.empty() ? exe.substr(0, exe.find_last_of('\\')) : dir;
    // Under load Wine now and then fails to start a process that starts a moment later.
    BOOL started = FALSE;
    for (int attempt = 0; attempt < 5 && !started; ++attempt) {
        if (attempt > 0)
            ::Sleep(500);
        started = ::CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, cwd.c_str(), &si, &pi);
    }
    if (!started) {
        result.output = "could not start " + command + ": error " + std::to_string(::GetLastError());
        ::CloseHandle(readEnd);
        ::CloseHandle(writeEnd);
        return result;
    }
    ::CloseHandle(writeEnd);
    char buffer[4096];
    DWORD n = 0;
    while (::ReadFile(readEnd, buffer, sizeof(buffer), &n, nullptr) && n > 0)
        result.output.append(buffer, n);
    ::CloseHandle(readEnd);
    if (::WaitForSingleObject(pi.hProcess, 60000) != WAIT_OBJECT_0)
        ::TerminateProcess(pi.hProcess, 9998);
    ::GetExitCodeProcess(pi.hProcess, &result.exitCode);
    ::CloseHandle(pi.hProcess);
    ::CloseHandle(pi.hThread);
    return result;
}

} // namespace test

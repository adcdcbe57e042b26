#include "OtherHost.h"

#include "Hooks.h"
#include "Host.h"
#include "Text.h"

#include <cstdio>

namespace hostile {

namespace {

unsigned s_endAt = 0;

void EndAt(unsigned call)
{
    if (call == s_endAt)
        ::TerminateProcess(::GetCurrentProcess(), kEndedAtCall);
}

} // namespace

int HostOnce(Run run, unsigned endAt, const std::string& ready, unsigned timeDivisor, DWORD timeoutMs)
{
    char cwd[MAX_PATH] = "";
    ::GetCurrentDirectoryA(MAX_PATH, cwd);
    CHost host(timeDivisor, timeoutMs);
    std::string why;
    if (!host.Load(cwd, &why)) {
        std::fprintf(stderr, "%s\n", why.c_str());
        return 4;
    }
    s_endAt = endAt;
    if (endAt != 0)
        hooks::Arm(EndAt);
    if (!ready.empty()) {
        CHandle event(::OpenEventA(EVENT_MODIFY_STATE, FALSE, ready.c_str()));
        ::SetEvent(event);
    }
    const CallResult result = host.Call(run, [](const CallResult&) { ::ExitProcess(3); });
    hooks::Disarm();
    return result.value == 1 ? 0 : 1;
}

COtherHost::COtherHost(const Workspace& ws, Run run, unsigned endAt, bool together, unsigned timeDivisor)
{
    wchar_t self[MAX_PATH] = L"";
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    const std::wstring event = L"qrvlnk-hostile-ready-" + std::to_wstring(::GetCurrentProcessId());
    CHandle ready(together ? ::CreateEventW(nullptr, TRUE, FALSE, event.c_str()) : nullptr);
    std::wstring line = L"\"" + std::wstring(self) + L"\" --host " + FromGbk(RunName(run)) + L" --end-at "
                        + std::to_wstring(endAt) + L" --divisor " + std::to_wstring(timeDivisor)
                        + (together ? L" --ready " + event : L"");
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    const std::wstring work = JoinPath(ws.root, ws.work);
    if (!::CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, work.c_str(), &si, &pi))
        return;
    ::CloseHandle(pi.hThread);
    m_process.Attach(pi.hProcess);
    if (together) {
        const HANDLE either[] = { ready, m_process };
        ::WaitForMultipleObjects(2, either, FALSE, 60000);
    }
}

int COtherHost::Wait(DWORD timeoutMs)
{
    DWORD code = 0;
    if (!m_process.IsValid() || ::WaitForSingleObject(m_process, timeoutMs) != WAIT_OBJECT_0
        || !::GetExitCodeProcess(m_process, &code)) {
        if (m_process.IsValid())
            ::TerminateProcess(m_process, 1);
        return -1;
    }
    return static_cast<int>(code);
}

} // namespace hostile

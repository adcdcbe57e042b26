#include "Host.h"

#include "Hooks.h"

#include <mutex>

namespace hostile {

namespace {

typedef BOOL(__cdecl* SetTextFn)(const char*);

const DWORD kWatchPollMs = 10;
const int kMessageTextId = 0xFFFF;

std::wstring TextOf(HWND hWnd)
{
    wchar_t text[2048] = L"";
    ::InternalGetWindowText(hWnd, text, sizeof(text) / sizeof(text[0]));
    return text;
}

std::wstring ClassOf(HWND hWnd)
{
    wchar_t name[64] = L"";
    ::GetClassNameW(hWnd, name, sizeof(name) / sizeof(name[0]));
    return name;
}

// The visible top-level windows of this process.
std::vector<HWND> OwnWindows()
{
    struct Collect {
        static BOOL CALLBACK Proc(HWND hWnd, LPARAM lParam)
        {
            DWORD process = 0;
            ::GetWindowThreadProcessId(hWnd, &process);
            if (process == ::GetCurrentProcessId() && ::IsWindowVisible(hWnd))
                reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(hWnd);
            return TRUE;
        }
    };
    std::vector<HWND> windows;
    ::EnumWindows(Collect::Proc, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

// A message box: a dialog with its text in the static 0xFFFF and nothing but buttons and statics, a push
// button among them. The run dialogs (which have edits and lists, and are owned by the host's window even
// while they are made or taken down) and the progress window (no button) are not.
bool IsMessageBox(HWND hWnd, HWND host)
{
    if (ClassOf(hWnd) != L"#32770" || ::GetWindow(hWnd, GW_OWNER) == host || ::GetDlgItem(hWnd, kMessageTextId) == NULL)
        return false;
    bool button = false;
    for (HWND child = ::GetWindow(hWnd, GW_CHILD); child != NULL; child = ::GetWindow(child, GW_HWNDNEXT)) {
        const std::wstring cls = ClassOf(child);
        if (cls != L"Button" && cls != L"Static")
            return false;
        button = button || (cls == L"Button" && (::GetWindowLongW(child, GWL_STYLE) & BS_TYPEMASK) != BS_GROUPBOX);
    }
    return button;
}

} // namespace

CHost::CHost(unsigned timeDivisor, DWORD timeoutMs)
    : m_nTimeDivisor(timeDivisor), m_dwTimeoutMs(timeoutMs), m_window(new test::HostWindow),
      m_bStop(0), m_bCalling(false), m_dwStart(0), m_thread(::CreateThread(nullptr, 0, WatchProc, this, 0, nullptr))
{
}

CHost::~CHost()
{
    m_bStop = 1;
    if (m_thread.IsValid())
        ::WaitForSingleObject(m_thread, INFINITE);
    Unload();
}

bool CHost::Load(const std::string& cwd, std::string* why)
{
    m_plugin.reset(new test::LoadedPlugin(cwd));
    std::string missing;
    if (m_plugin->Module() == nullptr)
        *why = "QRVLNK.dll does not load";
    else if (!hooks::Install(m_plugin->Module(), m_nTimeDivisor, &missing))
        *why = "QRVLNK.dll does not import " + missing + ", which the host must reach";
    else
        return true;
    return false;
}

void CHost::Unload()
{
    m_plugin.reset();
}

bool CHost::SetDataFilePath(const std::string& path)
{
    const SetTextFn set = m_plugin->Get<SetTextFn>("SetDataFilePath");
    return set != nullptr && set(path.c_str()) != FALSE;
}

bool CHost::SetUserOrgID(const std::string& id)
{
    const SetTextFn set = m_plugin->Get<SetTextFn>("SetUserOrgID");
    return set != nullptr && set(id.c_str()) != FALSE;
}

namespace {

// The host's timer: the export called again from within the call, as a host's scheduler does.
struct Reentry {
    test::RunFn call = nullptr;
    int calls = 0;
};
Reentry g_reentry;

void CALLBACK CallAgain(HWND, UINT, UINT_PTR, DWORD)
{
    if (g_reentry.call != nullptr) {
        ++g_reentry.calls;
        g_reentry.call();
    }
}

} // namespace

CallResult CHost::Call(Run run, const std::function<void(const CallResult&)>& onHang, DWORD boxDelayMs,
                       DWORD reentryMs)
{
    const test::RunFn call = m_plugin->Get<test::RunFn>(RunName(run));
    g_reentry = Reentry();
    g_reentry.call = call;
    const UINT_PTR timer = reentryMs != 0 ? ::SetTimer(m_window->Get(), 1, reentryMs, CallAgain) : 0;
    {
        std::lock_guard<test::CriticalSection> lock(m_lock);
        m_result = CallResult();
        m_dwBoxDelayMs = boxDelayMs;
        m_answered.clear();
        m_firstSeen.clear();
        m_onHang = onHang;
        m_dwStart = ::GetTickCount();
        m_bCalling = true;
    }
    const int value = call != nullptr ? call() : -1;
    if (timer != 0)
        ::KillTimer(m_window->Get(), timer);
    g_reentry.call = nullptr;
    std::unique_lock<test::CriticalSection> lock(m_lock);
    m_bCalling = false;
    m_result.reentries = g_reentry.calls;
    m_result.value = value;
    m_result.ms = ::GetTickCount() - m_dwStart;
    CallResult result = m_result;
    lock.unlock();
    for (HWND hWnd : OwnWindows()) {
        if (hWnd != m_window->Get())
            result.windowsLeft.push_back(ClassOf(hWnd) + L" \"" + TextOf(hWnd) + L"\"");
    }
    return result;
}

DWORD WINAPI CHost::WatchProc(void* pParam)
{
    static_cast<CHost*>(pParam)->Watch();
    return 0;
}

void CHost::Watch()
{
    while (m_bStop == 0) {
        ::Sleep(kWatchPollMs);
        std::unique_lock<test::CriticalSection> lock(m_lock);
        if (m_bCalling) {
            AnswerBoxes();
            if (::GetTickCount() - m_dwStart > m_dwTimeoutMs) {
                m_result.ms = ::GetTickCount() - m_dwStart;
                const CallResult result = m_result;
                const auto onHang = m_onHang;
                lock.unlock();
                onHang(result);
                return;
            }
        }
    }
}

void CHost::AnswerBoxes()
{
    // A window that is gone may lend its handle to the next box.
    std::vector<HWND> alive;
    std::vector<DWORD> firstSeen;
    for (size_t i = 0; i < m_answered.size(); ++i) {
        if (::IsWindow(m_answered[i])) {
            alive.push_back(m_answered[i]);
            firstSeen.push_back(m_firstSeen[i]);
        }
    }
    m_answered.swap(alive);
    m_firstSeen.swap(firstSeen);
    for (HWND hWnd : OwnWindows()) {
        if (!IsMessageBox(hWnd, m_window->Get()))
            continue;
        size_t seen = 0;
        while (seen < m_answered.size() && m_answered[seen] != hWnd)
            ++seen;
        if (seen == m_answered.size()) {
            m_answered.push_back(hWnd);
            m_firstSeen.push_back(::GetTickCount());
            m_result.boxes.push_back({ TextOf(hWnd), TextOf(::GetDlgItem(hWnd, kMessageTextId)) });
        }
        if (::GetTickCount() - m_firstSeen[seen] >= m_dwBoxDelayMs)
            ::PostMessageW(hWnd, WM_COMMAND, IDOK, 0);
    }
}

} // namespace hostile

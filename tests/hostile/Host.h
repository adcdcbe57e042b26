// The plug-in's host: its main window on this thread, the real QRVLNK.dll loaded beside this program, the
// exports called as a host calls them, and someone who answers every message box at once and notes what
// it said. A call that does not return in time ends the program, after onHang has told why.
#pragma once
#include "Workspace.h"
#include "framework/Handle.h"
#include "support/CriticalSection.h"
#include "support/Programs.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace hostile {

struct Box {
    std::wstring caption;
    std::wstring text;
};

struct CallResult {
    int value = 0;
    DWORD ms = 0;
    std::vector<Box> boxes;
    // Windows of this process still shown after the call, besides the host's own.
    std::vector<std::wstring> windowsLeft;
    // Calls that the host's timer made while the call was under way.
    int reentries = 0;
};

class CHost {
public:
    CHost(unsigned timeDivisor, DWORD timeoutMs);
    ~CHost();
    CHost(const CHost&) = delete;
    CHost& operator=(const CHost&) = delete;

    // Loads the plug-in with cwd as the current directory (where it reads its INI files); false, with why,
    // when it does not load or a call the host must reach is not among its imports.
    bool Load(const std::string& cwd, std::string* why);
    void Unload();
    bool SetDataFilePath(const std::string& path);
    bool SetUserOrgID(const std::string& id);
    // Calls AutoExport or AutoImport; onHang runs (on another thread) when the call has not returned in time.
    // Boxes are answered once boxDelayMs have passed; every reentryMs (0: never) a timer calls the same
    // export again from within the call.
    CallResult Call(Run run, const std::function<void(const CallResult&)>& onHang, DWORD boxDelayMs = 0,
                    DWORD reentryMs = 0);

private:
    static DWORD WINAPI WatchProc(void* pParam);
    void Watch();
    void AnswerBoxes();

    unsigned m_nTimeDivisor;
    DWORD m_dwTimeoutMs;
    std::unique_ptr<test::TitledWindow> m_window;
    std::unique_ptr<test::LoadedPlugin> m_plugin;
    test::CriticalSection m_lock;
    volatile LONG m_bStop;
    // Guarded by m_lock: the call under way, when it began, what it showed.
    bool m_bCalling;
    DWORD m_dwStart;
    CallResult m_result;
    std::vector<HWND> m_answered;
    std::vector<DWORD> m_firstSeen; // beside m_answered: when each box was first seen
    DWORD m_dwBoxDelayMs = 0;
    std::function<void(const CallResult&)> m_onHang;
    // The watcher, made last: it reads the members above.
    CHandle m_thread;
};

} // namespace hostile

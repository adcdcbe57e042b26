// Drives real dialogs from a second thread while the test thread runs them modally.
//
//   test::GuiScript script([](test::GuiScript& s) {
//       HWND dlg = s.WaitWindow("数据导入");
//       s.Press(dlg, IDC_IMPORT_RUN);
//       HWND box = s.WaitWindow("QRVLNK");
//       EXPECT_EQ("导入数据结束", s.MessageText(box));
//       s.Answer(box);
//   });
//   dialog.DoModal();
//   script.Finish();   // joins; fails the test if a step timed out
//
// Every wait is bounded. When a step times out the script closes what it can; if the test thread is
// still stuck after the grace period the process exits with a message instead of hanging.
#pragma once
#include <windows.h>
#include <functional>
#include <stdexcept>
#include <string>

namespace test {

// The focus window of the thread that runs window.
HWND FocusOf(HWND window);

// Serves this thread's messages (pre-translation included) until pred holds or timeoutMs has passed;
// true when pred held. For waits on the thread that owns the windows.
bool PumpUntil(const std::function<bool()>& pred, DWORD timeoutMs);

class GuiScript {
public:
    explicit GuiScript(std::function<void(GuiScript&)> body, DWORD timeoutMs = 30000);
    ~GuiScript();
    GuiScript(const GuiScript&) = delete;
    GuiScript& operator=(const GuiScript&) = delete;

    // Waits for the script to end; reports a failed or timed-out step to the test.
    void Finish();

    // A visible top-level #32770 window of this process with this exact title (any class when cls is null).
    HWND WaitWindow(const char* title, const char* cls = "#32770", DWORD timeoutMs = 15000);
    // Waits until the window no longer exists.
    void WaitGone(HWND hWnd, DWORD timeoutMs = 15000);
    // Waits until pred holds.
    void WaitFor(const std::function<bool()>& pred, const char* what, DWORD timeoutMs = 15000);
    // True when a window with that title appears within timeoutMs.
    bool Appears(const char* title, DWORD timeoutMs, const char* cls = "#32770");

    // The first visible top-level window of this process that match accepts, or null.
    static HWND FindOwnWindow(const std::function<bool(HWND)>& match);

    static std::string MessageText(HWND box);
    static std::string Text(HWND hWnd, int id);
    void Press(HWND dlg, int id);
    void Answer(HWND box, int id = IDOK);
    void SetText(HWND dlg, int id, const char* text);
    void Sleep(DWORD ms) { ::Sleep(ms); }

    [[noreturn]] void Fail(const std::string& what);

private:
    static DWORD WINAPI ThreadProc(void* pParam);

    std::function<void(GuiScript&)> m_body;
    DWORD m_timeoutMs;
    HANDLE m_hThread;
    std::string m_error;
    bool m_bFinished;
};

// The #32770 window titled title of this process, visible or not, or NULL. Unlike the waits above it
// sends no message, so it cannot block on a thread that is busy.
HWND FindDialog(const char* title);

} // namespace test

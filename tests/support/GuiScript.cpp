#include "support/GuiScript.h"

#include "framework/Window.h"

#include <gtest/gtest.h>
#include <cstdio>

namespace test {

namespace {

struct FindData {
    const std::function<bool(HWND)>* match;
    HWND found;
};

BOOL CALLBACK FindProc(HWND hWnd, LPARAM lParam)
{
    FindData* data = reinterpret_cast<FindData*>(lParam);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hWnd, &pid);
    if (pid != ::GetCurrentProcessId() || !::IsWindowVisible(hWnd) || !(*data->match)(hWnd))
        return TRUE;
    data->found = hWnd;
    return FALSE;
}

std::string ClassOf(HWND hWnd)
{
    char cls[64] = "";
    ::GetClassNameA(hWnd, cls, sizeof(cls));
    return cls;
}

HWND FindTitled(const char* title, const char* cls)
{
    return GuiScript::FindOwnWindow([title, cls](HWND hWnd) {
        char text[512] = "";
        ::GetWindowTextA(hWnd, text, sizeof(text));
        return std::string(text) == title && (cls == nullptr || ClassOf(hWnd) == cls);
    });
}

struct StepFailed : std::runtime_error {
    using std::runtime_error::runtime_error;
};

} // namespace

HWND GuiScript::FindOwnWindow(const std::function<bool(HWND)>& match)
{
    FindData data = { &match, nullptr };
    ::EnumWindows(FindProc, reinterpret_cast<LPARAM>(&data));
    return data.found;
}

GuiScript::GuiScript(std::function<void(GuiScript&)> body, DWORD timeoutMs)
    : m_body(std::move(body)), m_timeoutMs(timeoutMs), m_hThread(nullptr), m_bFinished(false)
{
    m_hThread = ::CreateThread(nullptr, 0, ThreadProc, this, 0, nullptr);
}

GuiScript::~GuiScript()
{
    if (!m_bFinished)
        Finish();
}

DWORD WINAPI GuiScript::ThreadProc(void* pParam)
{
    GuiScript* self = static_cast<GuiScript*>(pParam);
    try {
        self->m_body(*self);
    } catch (const std::exception& e) {
        self->m_error = e.what();
    }
    if (!self->m_error.empty()) {
        // Unblock the test thread: answer message boxes and close our dialogs, then give up on the process.
        std::fprintf(stderr, "GUI script failed: %s\n", self->m_error.c_str());
        for (int i = 0; i < 50; ++i) {
            struct Closer {
                static BOOL CALLBACK Proc(HWND hWnd, LPARAM)
                {
                    DWORD pid = 0;
                    ::GetWindowThreadProcessId(hWnd, &pid);
                    if (pid == ::GetCurrentProcessId() && ::IsWindowVisible(hWnd)) {
                        ::PostMessageA(hWnd, WM_COMMAND, IDOK, 0);
                        ::PostMessageA(hWnd, WM_COMMAND, IDCANCEL, 0);
                    }
                    return TRUE;
                }
            };
            ::EnumWindows(Closer::Proc, 0);
            ::Sleep(200);
        }
    }
    return 0;
}

void GuiScript::Finish()
{
    m_bFinished = true;
    if (m_hThread == nullptr) {
        ADD_FAILURE() << "GUI script thread could not start";
        return;
    }
    if (::WaitForSingleObject(m_hThread, m_timeoutMs) != WAIT_OBJECT_0) {
        std::fprintf(stderr, "GUI script did not end within %lu ms\n", m_timeoutMs);
        std::fflush(stderr);
        ::ExitProcess(3);
    }
    ::CloseHandle(m_hThread);
    m_hThread = nullptr;
    if (!m_error.empty())
        ADD_FAILURE() << "GUI script: " << m_error;
}

void GuiScript::Fail(const std::string& what)
{
    throw StepFailed(what);
}

HWND GuiScript::WaitWindow(const char* title, const char* cls, DWORD timeoutMs)
{
    DWORD start = ::GetTickCount();
    for (;;) {
        if (HWND h = FindTitled(title, cls))
            return h;
        if (::GetTickCount() - start > timeoutMs)
            Fail(std::string("no window titled \"") + title + "\"");
        ::Sleep(20);
    }
}

bool GuiScript::Appears(const char* title, DWORD timeoutMs, const char* cls)
{
    DWORD start = ::GetTickCount();
    do {
        if (FindTitled(title, cls))
            return true;
        ::Sleep(20);
    } while (::GetTickCount() - start <= timeoutMs);
    return false;
}

void GuiScript::WaitGone(HWND hWnd, DWORD timeoutMs)
{
    WaitFor([hWnd] { return !::IsWindow(hWnd); }, "window to close", timeoutMs);
}

void GuiScript::WaitFor(const std::function<bool()>& pred, const char* what, DWORD timeoutMs)
{
    DWORD start = ::GetTickCount();
    while (!pred()) {
        if (::GetTickCount() - start > timeoutMs)
            Fail(std::string("timed out waiting for ") + what);
        ::Sleep(20);
    }
}

std::string GuiScript::MessageText(HWND box)
{
    return Text(box, 0xFFFF);
}

std::string GuiScript::Text(HWND hWnd, int id)
{
    char text[4096] = "";
    ::SendMessageA(::GetDlgItem(hWnd, id), WM_GETTEXT, sizeof(text), reinterpret_cast<LPARAM>(text));
    return text;
}

void GuiScript::Press(HWND dlg, int id)
{
    ::PostMessageA(dlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(dlg, id)));
}

void GuiScript::Answer(HWND box, int id)
{
    ::PostMessageA(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(box, id)));
}

HWND FindDialog(const char* title)
{
    HWND hWnd = ::FindWindowA("#32770", title);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hWnd, &pid);
    return pid == ::GetCurrentProcessId() ? hWnd : NULL;
}

void GuiScript::SetText(HWND dlg, int id, const char* text)
{
    ::SendMessageA(::GetDlgItem(dlg, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

HWND FocusOf(HWND window)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    ::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndFocus;
}

bool PumpUntil(const std::function<bool()>& pred, DWORD timeoutMs)
{
    const DWORD start = ::GetTickCount();
    while (!pred()) {
        if (::GetTickCount() - start > timeoutMs)
            return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (!CWindow::WalkPreTranslateTree(&msg)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageA(&msg);
            }
        }
    }
    return true;
}

} // namespace test

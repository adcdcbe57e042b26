// CWindow holds an HWND and never destroys it. Objects that register their window take part in the
// pre-translation walk of the modal loop and in notifications handed back to the control that sent them.
#pragma once
#include <windows.h>
#include <string>

class CWindow {
public:
    CWindow() : m_hWnd(NULL) {}
    explicit CWindow(HWND hWnd) : m_hWnd(hWnd) {}
    virtual ~CWindow() {}

    HWND m_hWnd;

    void Attach(HWND hWnd) { m_hWnd = hWnd; }
    HWND Detach() { HWND h = m_hWnd; m_hWnd = NULL; return h; }

    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
    std::string GetDlgItemText(int id) const { return GetText(GetDlgItem(id)); }
    BOOL SetDlgItemText(int id, const char* text) const { return ::SetDlgItemTextA(m_hWnd, id, text); }
    HWND SetFocus() const { return ::SetFocus(m_hWnd); }
    void GotoDlgCtrl(int id) const { ::SetFocus(GetDlgItem(id)); }
    LRESULT SendMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::SendMessageA(m_hWnd, msg, wParam, lParam);
    }
    BOOL PostMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::PostMessageA(m_hWnd, msg, wParam, lParam);
    }

    static std::string GetText(HWND hWnd);

    // Key and mouse messages bound for this window or its children, before dispatch. True: consumed.
    virtual BOOL PreTranslateMessage(MSG* pMsg) { return FALSE; }
    // A notification this control sent to its parent, handed back to it first. True: handled, result set.
    virtual BOOL OnChildNotify(NMHDR* pNMHDR, LRESULT& result) { return FALSE; }

    // The registered object of a window, or nullptr.
    static CWindow* FromHandle(HWND hWnd);
    // Walks from the message's window up through its parents (not past a top-level window), offering
    // the message to each registered object. True when one consumed it.
    static BOOL WalkPreTranslateTree(MSG* pMsg);

protected:
    void Register(HWND hWnd);
    void Unregister();
};

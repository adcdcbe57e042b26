// A control whose window procedure is replaced by the object's WindowProc. Lifetime: the object is
// owned by whoever declares it, unless it overrides PostNcDestroy to delete itself (then allocate it
// on the heap and never delete it yourself).
#pragma once
#include "framework/Window.h"

class CControlWnd : public CWindow {
public:
    CControlWnd() : m_pfnSuper(nullptr) {}
    ~CControlWnd() override;

    BOOL SubclassWindow(HWND hWnd);
    BOOL SubclassDlgItem(int id, HWND hDlg) { return SubclassWindow(::GetDlgItem(hDlg, id)); }
    void UnsubclassWindow();

protected:
    virtual LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam);
    virtual void PostNcDestroy() {}

private:
    static LRESULT CALLBACK StaticWindowProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
    WNDPROC m_pfnSuper;
};

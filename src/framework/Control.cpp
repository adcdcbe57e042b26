#include "framework/Control.h"

CControlWnd::~CControlWnd()
{
    UnsubclassWindow();
}

BOOL CControlWnd::SubclassWindow(HWND hWnd)
{
    if (hWnd == NULL || m_hWnd != NULL)
        return FALSE;
    Register(hWnd);
    m_pfnSuper = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(StaticWindowProc)));
    if (m_pfnSuper == nullptr) {
        Unregister();
        return FALSE;
    }
    return TRUE;
}

void CControlWnd::UnsubclassWindow()
{
    if (m_hWnd == NULL)
        return;
    if (m_pfnSuper != nullptr && ::IsWindow(m_hWnd))
        ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    m_pfnSuper = nullptr;
    Unregister();
}

LRESULT CControlWnd::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProc(msg, wParam, lParam);
}

LRESULT CControlWnd::DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    return ::CallWindowProcA(m_pfnSuper, m_hWnd, msg, wParam, lParam);
}

LRESULT CALLBACK CControlWnd::StaticWindowProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    CControlWnd* pWnd = static_cast<CControlWnd*>(FromHandle(hWnd));
    if (pWnd == nullptr)
        return ::DefWindowProcA(hWnd, msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
        WNDPROC pfnSuper = pWnd->m_pfnSuper;
        LRESULT result = 0;
        try {
            result = pWnd->WindowProc(msg, wParam, lParam);
        } catch (...) {
            result = ::CallWindowProcA(pfnSuper, hWnd, msg, wParam, lParam);
        }
        pWnd->UnsubclassWindow();
        pWnd->PostNcDestroy();
        return result;
    }
    try {
        return pWnd->WindowProc(msg, wParam, lParam);
    } catch (...) {
        return ::CallWindowProcA(pWnd->m_pfnSuper, hWnd, msg, wParam, lParam);
    }
}

#include "framework/Window.h"

#include <vector>

namespace {
const char kObjectProp[] = "QRVLNK.CWindow";
}

std::string CWindow::GetText(HWND hWnd)
{
    int length = ::GetWindowTextLengthA(hWnd);
    if (length <= 0)
        return std::string();
    std::vector<char> buffer(length + 1, '\0');
    int copied = ::GetWindowTextA(hWnd, buffer.data(), length + 1);
    return std::string(buffer.data(), copied > 0 ? copied : 0);
}

CWindow* CWindow::FromHandle(HWND hWnd)
{
    return hWnd ? static_cast<CWindow*>(::GetPropA(hWnd, kObjectProp)) : nullptr;
}

BOOL CWindow::WalkPreTranslateTree(MSG* pMsg)
{
    for (HWND h = pMsg->hwnd; h != NULL;) {
        CWindow* pWnd = FromHandle(h);
        if (pWnd != nullptr && pWnd->PreTranslateMessage(pMsg))
            return TRUE;
        if ((::GetWindowLongA(h, GWL_STYLE) & WS_CHILD) == 0)
            break;
        h = ::GetParent(h);
    }
    return FALSE;
}

void CWindow::Register(HWND hWnd)
{
    m_hWnd = hWnd;
    ::SetPropA(hWnd, kObjectProp, this);
}

void CWindow::Unregister()
{
    if (m_hWnd)
        ::RemovePropA(m_hWnd, kObjectProp);
    m_hWnd = NULL;
}

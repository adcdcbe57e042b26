#include "run/CellEdit.h"

#include "framework/App.h"
#include "resource.h"

#include <algorithm>
#include <commctrl.h>

namespace {
const COLORREF kEditColour = RGB(196, 255, 211);
// Room after the text when the editor widens while typing.
const int kTextMargin = 5;
}

CCellEdit::CCellEdit(int nRow, int nColumn, const std::string& initialText)
    : m_brush(::CreateSolidBrush(kEditColour)), m_nRow(nRow), m_nColumn(nColumn), m_strInitialText(initialText),
      m_bCancelled(false)
{
}

BOOL CCellEdit::Create(HWND hList, const RECT& rc, DWORD alignment)
{
    HWND hWnd = ::CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL | alignment, rc.left, rc.top,
                                  rc.right - rc.left, rc.bottom - rc.top, hList,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_CELL_EDIT)),
                                  CApp::Get()->GetInstance(), nullptr);
    if (hWnd == NULL || !SubclassWindow(hWnd)) {
        if (hWnd != NULL)
            ::DestroyWindow(hWnd);
        delete this;
        return FALSE;
    }
    SendMessage(WM_SETFONT, ::SendMessageA(hList, WM_GETFONT, 0, 0), TRUE);
    ::SetWindowTextA(m_hWnd, m_strInitialText.c_str());
    SetFocus();
    SendMessage(EM_SETSEL, 0, -1);
    SendMessage(EM_SCROLLCARET);
    return TRUE;
}

HBRUSH CCellEdit::OnCtlColor(HDC hDC)
{
    ::SetBkColor(hDC, kEditColour);
    return m_brush;
}

// Enter and Tab end the edit and never reach the dialog (its default button, its tab order); Delete,
// Escape and Control combinations go straight to the editor.
BOOL CCellEdit::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message != WM_KEYDOWN || pMsg->hwnd != m_hWnd)
        return FALSE;
    switch (pMsg->wParam) {
    case VK_RETURN:
    case VK_TAB:
        Finish(false);
        return TRUE;
    case VK_DELETE:
    case VK_ESCAPE:
        break;
    default:
        if (::GetKeyState(VK_CONTROL) >= 0)
            return FALSE;
        break;
    }
    ::TranslateMessage(pMsg);
    ::DispatchMessageA(pMsg);
    return TRUE;
}

LRESULT CCellEdit::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_CHAR:
        if (wParam == VK_ESCAPE || wParam == VK_RETURN) {
            Finish(wParam == VK_ESCAPE);
            return 0;
        }
        {
            LRESULT result = DefWindowProc(msg, wParam, lParam);
            WidenToText();
            return result;
        }
    case WM_KILLFOCUS:
        OnKillFocus();
        return 0;
    default:
        return DefWindowProc(msg, wParam, lParam);
    }
}

void CCellEdit::Finish(bool bCancel)
{
    if (bCancel)
        m_bCancelled = true;
    ::SetFocus(::GetParent(m_hWnd));
}

// The list stores the text before the send returns; then the editor goes (and deletes this object).
void CCellEdit::OnKillFocus()
{
    DefWindowProc(WM_KILLFOCUS, 0, 0);
    std::string text = GetText(m_hWnd);
    HWND hList = ::GetParent(m_hWnd);
    NMLVDISPINFOA info = {};
    info.hdr.hwndFrom = hList;
    info.hdr.idFrom = IDC_CELL_EDIT;
    info.hdr.code = LVN_ENDLABELEDITA;
    info.item.mask = LVIF_TEXT;
    info.item.iItem = m_nRow;
    info.item.iSubItem = m_nColumn;
    info.item.pszText = m_bCancelled ? nullptr : &text[0];
    info.item.cchTextMax = static_cast<int>(text.size());
    ::SendMessageA(::GetParent(hList), WM_NOTIFY, ::GetDlgCtrlID(hList), reinterpret_cast<LPARAM>(&info));
    ::DestroyWindow(m_hWnd);
}

void CCellEdit::WidenToText()
{
    HWND hList = ::GetParent(m_hWnd);
    const std::string text = GetText(m_hWnd);
    SIZE extent = {};
    {
        CClientDC dc(m_hWnd);
        CSelectObject font(dc, reinterpret_cast<HGDIOBJ>(::SendMessageA(hList, WM_GETFONT, 0, 0)));
        ::GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    }
    RECT rc;
    ::GetWindowRect(m_hWnd, &rc);
    ::MapWindowPoints(NULL, hList, reinterpret_cast<POINT*>(&rc), 2);
    if (extent.cx + kTextMargin <= rc.right - rc.left)
        return;
    RECT client;
    ::GetClientRect(hList, &client);
    const LONG right = std::min(rc.left + extent.cx + kTextMargin, client.right);
    if (right > rc.right)
        ::SetWindowPos(m_hWnd, NULL, 0, 0, right - rc.left, rc.bottom - rc.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

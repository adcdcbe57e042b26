#include "run/TaskListCtrl.h"

#include "run/CellEdit.h"

#include <algorithm>
#include <windowsx.h>

namespace {
// The column that is edited in place: the task's export start time.
const int kTimeColumn = 1;
}

int CTaskListCtrl::HitTestCell(POINT pt, int* pColumn) const
{
    *pColumn = 0;
    if ((::GetWindowLongA(m_hWnd, GWL_STYLE) & LVS_TYPEMASK) != LVS_REPORT)
        return HitTest(pt);
    const int columns = GetColumnCount();
    const int top = GetTopIndex();
    // One row past the page, so that a partly visible last row counts too.
    const int last = std::min(top + GetCountPerPage(), GetItemCount() - 1);
    for (int row = top; row <= last; ++row) {
        RECT rc;
        if (!GetItemRect(row, &rc, LVIR_BOUNDS) || !::PtInRect(&rc, pt))
            continue;
        for (int column = 0; column < columns; ++column) {
            const int left = rc.left + ColumnOffset(column);
            if (pt.x >= left && pt.x <= left + GetColumnWidth(column)) {
                *pColumn = column;
                return row;
            }
        }
    }
    return -1;
}

int CTaskListCtrl::ColumnOffset(int nColumn) const
{
    int offset = 0;
    for (int column = 0; column < nColumn; ++column)
        offset += GetColumnWidth(column);
    return offset;
}

bool CTaskListCtrl::EditCell(int nRow, int nColumn)
{
    if (!EnsureVisible(nRow, FALSE) || nColumn < 0 || nColumn >= GetColumnCount())
        return false;
    const int offset = ColumnOffset(nColumn);
    RECT rc;
    RECT client;
    GetItemRect(nRow, &rc, LVIR_BOUNDS);
    ::GetClientRect(m_hWnd, &client);
    const int x = rc.left + offset;
    if (x < 0 || x > client.right) {
        Scroll(x, 0);
        rc.left -= x;
    }
    DWORD alignment = ES_LEFT;
    switch (GetColumnFormat(nColumn) & LVCFMT_JUSTIFYMASK) {
    case LVCFMT_RIGHT:
        alignment = ES_RIGHT;
        break;
    case LVCFMT_CENTER:
        alignment = ES_CENTER;
        break;
    default:
        break;
    }
    RECT edit;
    edit.left = rc.left + offset + 2;
    edit.right = std::min(edit.left + GetColumnWidth(nColumn) - 3, client.right);
    edit.top = rc.top + 1;
    edit.bottom = rc.bottom - 2;
    CCellEdit* pEdit = new CCellEdit(nRow, nColumn, GetItemText(nRow, nColumn));
    return pEdit->Create(m_hWnd, edit, alignment) != FALSE;
}

LRESULT CTaskListCtrl::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_LBUTTONDOWN: {
        // The default handling selects the row and takes the focus, which ends an open edit first.
        LRESULT result = DefWindowProc(msg, wParam, lParam);
        POINT pt = { GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam) };
        int column = 0;
        int row = HitTestCell(pt, &column);
        if (row >= 0 && column == kTimeColumn)
            EditCell(row, column);
        return result;
    }
    case WM_VSCROLL:
    case WM_HSCROLL:
        // An open edit ends, and is stored, before the rows move.
        if (::GetFocus() != m_hWnd)
            SetFocus();
        return DefWindowProc(msg, wParam, lParam);
    case WM_CTLCOLOREDIT:
        if (CCellEdit* pEdit = dynamic_cast<CCellEdit*>(FromHandle(reinterpret_cast<HWND>(lParam))))
            return reinterpret_cast<LRESULT>(pEdit->OnCtlColor(reinterpret_cast<HDC>(wParam)));
        return DefWindowProc(msg, wParam, lParam);
    default:
        return DefWindowProc(msg, wParam, lParam);
    }
}

// The cell takes the text at once; the notification then goes on to the dialog, which decides what
// the new time means.
BOOL CTaskListCtrl::OnChildNotify(NMHDR* pNMHDR, LRESULT& result)
{
    if (pNMHDR->code != LVN_ENDLABELEDITA)
        return FALSE;
    const NMLVDISPINFOA* pInfo = reinterpret_cast<const NMLVDISPINFOA*>(pNMHDR);
    if (pInfo->item.pszText != nullptr && pInfo->item.iSubItem != 0)
        SetItemText(pInfo->item.iItem, pInfo->item.iSubItem, pInfo->item.pszText);
    return FALSE;
}

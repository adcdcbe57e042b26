// List-view wrapper: one-line calls on the HWND it holds. The base is CWindow for a plain list and
// CControlWnd for a list that handles its own messages.
#pragma once
#include "framework/Window.h"

#include <commctrl.h>
#include <string>
#include <vector>

template <class TBase>
class CListViewT : public TBase {
public:
    void AttachDlgItem(HWND hDlg, int id) { this->m_hWnd = ::GetDlgItem(hDlg, id); }

    LRESULT Send(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::SendMessageA(this->m_hWnd, msg, wParam, lParam);
    }

    int GetItemCount() const { return static_cast<int>(Send(LVM_GETITEMCOUNT)); }
    BOOL DeleteAllItems() const { return static_cast<BOOL>(Send(LVM_DELETEALLITEMS)); }
    BOOL DeleteItem(int item) const { return static_cast<BOOL>(Send(LVM_DELETEITEM, item)); }
    int GetNextItem(int start, UINT flags) const { return static_cast<int>(Send(LVM_GETNEXTITEM, start, MAKELPARAM(flags, 0))); }
    int GetFirstSelected() const { return GetNextItem(-1, LVNI_SELECTED); }
    int GetTopIndex() const { return static_cast<int>(Send(LVM_GETTOPINDEX)); }
    int GetCountPerPage() const { return static_cast<int>(Send(LVM_GETCOUNTPERPAGE)); }
    int GetColumnWidth(int col) const { return static_cast<int>(Send(LVM_GETCOLUMNWIDTH, col)); }
    int GetColumnCount() const
    {
        HWND hHeader = reinterpret_cast<HWND>(Send(LVM_GETHEADER));
        return hHeader ? static_cast<int>(::SendMessageA(hHeader, HDM_GETITEMCOUNT, 0, 0)) : 0;
    }
    BOOL EnsureVisible(int item, BOOL partialOK) const { return static_cast<BOOL>(Send(LVM_ENSUREVISIBLE, item, partialOK)); }
    BOOL Scroll(int dx, int dy) const { return static_cast<BOOL>(Send(LVM_SCROLL, dx, dy)); }
    BOOL GetItemRect(int item, RECT* rc, int code) const
    {
        rc->left = code;
        return static_cast<BOOL>(Send(LVM_GETITEMRECT, item, reinterpret_cast<LPARAM>(rc)));
    }
    DWORD SetExtendedStyle(DWORD exStyle) const
    {
        DWORD current = static_cast<DWORD>(Send(LVM_GETEXTENDEDLISTVIEWSTYLE));
        return static_cast<DWORD>(Send(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, current | exStyle));
    }
    BOOL SetBkColor(COLORREF c) const { return static_cast<BOOL>(Send(LVM_SETBKCOLOR, 0, c)); }
    BOOL SetTextBkColor(COLORREF c) const { return static_cast<BOOL>(Send(LVM_SETTEXTBKCOLOR, 0, c)); }

    int InsertColumn(int col, const char* heading, int format, int width) const
    {
        LVCOLUMNA column = {};
        column.mask = LVCF_TEXT | LVCF_FMT | LVCF_WIDTH;
        column.fmt = format;
        column.cx = width;
        column.pszText = const_cast<char*>(heading);
        return static_cast<int>(Send(LVM_INSERTCOLUMNA, col, reinterpret_cast<LPARAM>(&column)));
    }
    int GetColumnFormat(int col) const
    {
        LVCOLUMNA column = {};
        column.mask = LVCF_FMT;
        return Send(LVM_GETCOLUMNA, col, reinterpret_cast<LPARAM>(&column)) ? column.fmt : -1;
    }
    int InsertItem(int item, const char* text) const
    {
        LVITEMA lvi = {};
        lvi.mask = LVIF_TEXT;
        lvi.iItem = item;
        lvi.pszText = const_cast<char*>(text);
        return static_cast<int>(Send(LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&lvi)));
    }
    int AddItem(const char* text) const { return InsertItem(GetItemCount(), text); }
    BOOL SetItemText(int item, int subItem, const char* text) const
    {
        LVITEMA lvi = {};
        lvi.iSubItem = subItem;
        lvi.pszText = const_cast<char*>(text);
        return static_cast<BOOL>(Send(LVM_SETITEMTEXTA, item, reinterpret_cast<LPARAM>(&lvi)));
    }
    // The whole text of a cell, however long.
    std::string GetItemText(int item, int subItem) const
    {
        for (size_t size = 256;; size *= 2) {
            std::vector<char> buffer(size, '\0');
            LVITEMA lvi = {};
            lvi.iSubItem = subItem;
            lvi.pszText = buffer.data();
            lvi.cchTextMax = static_cast<int>(size);
            LRESULT n = Send(LVM_GETITEMTEXTA, item, reinterpret_cast<LPARAM>(&lvi));
            if (static_cast<size_t>(n) + 1 < size || size >= (1u << 20))
                return std::string(lvi.pszText);
        }
    }
    BOOL GetCheck(int item) const
    {
        UINT state = static_cast<UINT>(Send(LVM_GETITEMSTATE, item, LVIS_STATEIMAGEMASK));
        return (state >> 12) == 2;
    }
    BOOL SetCheck(int item, BOOL check) const
    {
        LVITEMA lvi = {};
        lvi.stateMask = LVIS_STATEIMAGEMASK;
        lvi.state = INDEXTOSTATEIMAGEMASK(check ? 2 : 1);
        return static_cast<BOOL>(Send(LVM_SETITEMSTATE, item, reinterpret_cast<LPARAM>(&lvi)));
    }
    int HitTest(POINT pt) const
    {
        LVHITTESTINFO info = {};
        info.pt = pt;
        return static_cast<int>(Send(LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&info)));
    }
};

typedef CListViewT<CWindow> CListView;

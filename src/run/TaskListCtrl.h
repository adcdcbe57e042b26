// The export dialog's task list: column 1 (the export start time) is edited in place by a CCellEdit.
// When an edit ends the cell takes the text, and LVN_ENDLABELEDIT goes on to the list's parent.
#pragma once
#include "framework/Control.h"
#include "framework/ListView.h"

class CTaskListCtrl : public CListViewT<CControlWnd> {
public:
    // The row under a point in client coordinates, or -1; *pColumn receives the column (0 when none).
    int HitTestCell(POINT pt, int* pColumn) const;
    // Opens an editor over the cell. False when the row cannot be shown or the column does not exist.
    bool EditCell(int nRow, int nColumn);

    BOOL OnChildNotify(NMHDR* pNMHDR, LRESULT& result) override;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    // The distance from a row's left edge to the column's left edge: the widths of the columns before it.
    int ColumnOffset(int nColumn) const;
};

#include "setup/RowEdits.h"

namespace setup {

void ShowRow(const CListView& list, int row, HWND hDlg, int idFirst, int idSecond)
{
    ::SetDlgItemTextA(hDlg, idFirst, list.GetItemText(row, 0).c_str());
    ::SetDlgItemTextA(hDlg, idSecond, list.GetItemText(row, 1).c_str());
}

bool ShowSelectedRows(const CListView& list, HWND hDlg, int idFirst, int idSecond)
{
    bool shown = false;
    for (int row = list.GetFirstSelected(); row >= 0; row = list.GetNextItem(row, LVNI_SELECTED)) {
        ShowRow(list, row, hDlg, idFirst, idSecond);
        shown = true;
    }
    return shown;
}

} // namespace setup

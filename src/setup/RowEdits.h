// The two-column list pages (organisation mapping, suppliers) show a row's first two columns in their
// two edits, set directly rather than through the bound members.
#pragma once
#include "framework/ListView.h"

namespace setup {

void ShowRow(const CListView& list, int row, HWND hDlg, int idFirst, int idSecond);
// Shows each selected row in turn, so the last one stays. False when no row is selected.
bool ShowSelectedRows(const CListView& list, HWND hDlg, int idFirst, int idSecond);

} // namespace setup

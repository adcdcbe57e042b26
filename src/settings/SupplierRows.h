// The supplier list as both lists that show it hold it: one row per supplier, its code in column 0,
// its name in column 1, its tick in the check box. Written for any list wrapper with AddItem,
// SetItemText, SetCheck, GetItemText, GetCheck and GetItemCount, so that this layer needs no window.
#pragma once
#include "settings/Settings.h"

namespace settings {

template <class TList>
void ShowSuppliers(TList& list, const std::vector<Supplier>& suppliers)
{
    for (const Supplier& supplier : suppliers) {
        const int row = list.AddItem(supplier.code.c_str());
        list.SetCheck(row, supplier.valid);
        list.SetItemText(row, 1, supplier.name.c_str());
    }
}

template <class TList>
std::vector<Supplier> SuppliersIn(const TList& list)
{
    std::vector<Supplier> suppliers(list.GetItemCount());
    for (size_t row = 0; row < suppliers.size(); ++row) {
        const int item = static_cast<int>(row);
        suppliers[row].code = list.GetItemText(item, 0);
        suppliers[row].name = list.GetItemText(item, 1);
        suppliers[row].valid = list.GetCheck(item) != 0;
    }
    return suppliers;
}

} // namespace settings

// "供商表管理": the supplier table of OrgMap.ini with each supplier's tick. Every apply once the page
// has been shown rewrites the section, TempSQL last.
#pragma once
#include "framework/ListView.h"
#include "framework/PropertySheet.h"

#include <string>

class CPropPageSupplier : public CPropertyPage {
public:
    CPropPageSupplier();

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnCommand(UINT id, UINT code, HWND hCtl) override;
    BOOL OnNotify(NMHDR* pNMHDR, LRESULT& result) override;
    void OnOK() override;

private:
    void LoadSuppliers();
    void SaveSuppliers();
    void OnAddSupplier();
    void OnDeleteSupplier();
    void OnClickSupplierList(NMHDR* pNMHDR, LRESULT& result);

    CListView m_listSuppliers;
    std::string m_strSupplierName;
    std::string m_strSupplierCode;
};

#include "setup/PropPageSupplier.h"

#include "framework/App.h"
#include "resource.h"
#include "settings/SupplierRows.h"
#include "setup/RowEdits.h"

#include <vector>

CPropPageSupplier::CPropPageSupplier() : CPropertyPage(IDD_PROP_SUPPLIER)
{
}

BOOL CPropPageSupplier::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    m_listSuppliers.SetExtendedStyle(LVS_EX_GRIDLINES | LVS_EX_SUBITEMIMAGES | LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT
                                     | LVS_EX_INFOTIP);
    m_listSuppliers.InsertColumn(0, "供商代码", LVCFMT_LEFT, 100);
    m_listSuppliers.InsertColumn(1, "供商名称", LVCFMT_LEFT, 220);
    LoadSuppliers();
    if (m_listSuppliers.GetItemCount() > 0)
        setup::ShowRow(m_listSuppliers, 0, m_hWnd, IDC_SUPPLIER_CODE, IDC_SUPPLIER_NAME);
    return TRUE;
}

void CPropPageSupplier::DoDataExchange(CDataExchange* pDX)
{
    m_listSuppliers.AttachDlgItem(pDX->m_hDlg, IDC_SUPPLIER_LIST);
    DDX_Text(pDX, IDC_SUPPLIER_NAME, m_strSupplierName);
    DDX_Text(pDX, IDC_SUPPLIER_CODE, m_strSupplierCode);
}

BOOL CPropPageSupplier::OnCommand(UINT id, UINT code, HWND hCtl)
{
    if (code == BN_CLICKED && id == IDC_SUPPLIER_ADD) {
        OnAddSupplier();
        return TRUE;
    }
    if (code == BN_CLICKED && id == IDC_SUPPLIER_DELETE) {
        OnDeleteSupplier();
        return TRUE;
    }
    return CPropertyPage::OnCommand(id, code, hCtl);
}

BOOL CPropPageSupplier::OnNotify(NMHDR* pNMHDR, LRESULT& result)
{
    if (pNMHDR->idFrom == IDC_SUPPLIER_LIST && pNMHDR->code == static_cast<UINT>(NM_CLICK)) {
        OnClickSupplierList(pNMHDR, result);
        return TRUE;
    }
    return CPropertyPage::OnNotify(pNMHDR, result);
}

void CPropPageSupplier::OnOK()
{
    SaveSuppliers();
    CPropertyPage::OnOK();
}

void CPropPageSupplier::LoadSuppliers()
{
    settings::ShowSuppliers(m_listSuppliers, settings::ReadSuppliers());
}

void CPropPageSupplier::SaveSuppliers()
{
    settings::WriteSuppliers(settings::SuppliersIn(m_listSuppliers));
}

void CPropPageSupplier::OnAddSupplier()
{
    UpdateData(true);
    if (m_strSupplierCode.empty()) {
        CApp::Get()->MessageBox(m_hWnd, "请输入要添加的供商代码！");
        GotoDlgCtrl(IDC_SUPPLIER_CODE);
        return;
    }
    int row = m_listSuppliers.AddItem(m_strSupplierCode.c_str());
    m_listSuppliers.SetItemText(row, 1, m_strSupplierName.c_str());
    m_strSupplierCode.clear();
    m_strSupplierName.clear();
    UpdateData(false);
    GotoDlgCtrl(IDC_SUPPLIER_CODE);
    SetModified();
}

void CPropPageSupplier::OnDeleteSupplier()
{
    int row = m_listSuppliers.GetFirstSelected();
    if (row < 0)
        return;
    const std::string question = "是否要删除供商 " + m_listSuppliers.GetItemText(row, 0) + " ( "
                                 + m_listSuppliers.GetItemText(row, 1) + " )？";
    if (CApp::Get()->MessageBox(m_hWnd, question.c_str(), MB_OKCANCEL | MB_ICONEXCLAMATION) != IDOK)
        return;
    m_listSuppliers.DeleteItem(row);
    SetModified();
    m_listSuppliers.SetFocus();
}

void CPropPageSupplier::OnClickSupplierList(NMHDR* pNMHDR, LRESULT& result)
{
    if (setup::ShowSelectedRows(m_listSuppliers, m_hWnd, IDC_SUPPLIER_CODE, IDC_SUPPLIER_NAME))
        result = 0;
}

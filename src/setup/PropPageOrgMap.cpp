#include "setup/PropPageOrgMap.h"

#include "framework/App.h"
#include "resource.h"
#include "settings/Settings.h"
#include "setup/ChildDirectory.h"
#include "setup/RowEdits.h"

#include <vector>

CPropPageOrgMap::CPropPageOrgMap() : CPropertyPage(IDD_PROP_ORGMAP), m_bMappingChanged(0)
{
}

BOOL CPropPageOrgMap::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    m_listMapping.SetExtendedStyle(LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP);
    m_listMapping.InsertColumn(0, "客户代码", LVCFMT_CENTER, 150);
    m_listMapping.InsertColumn(1, "网商代码", LVCFMT_CENTER, 150);
    LoadMappings();
    if (m_listMapping.GetItemCount() > 0)
        setup::ShowRow(m_listMapping, 0, m_hWnd, IDC_ORGMAP_CLIENT, IDC_ORGMAP_PLATFORM);
    return TRUE;
}

void CPropPageOrgMap::DoDataExchange(CDataExchange* pDX)
{
    m_listMapping.AttachDlgItem(pDX->m_hDlg, IDC_ORGMAP_LIST);
    DDX_Text(pDX, IDC_ORGMAP_CLIENT, m_strClientCode);
    DDX_Text(pDX, IDC_ORGMAP_PLATFORM, m_strPlatformCode);
}

BOOL CPropPageOrgMap::OnCommand(UINT id, UINT code, HWND hCtl)
{
    if (code == BN_CLICKED && id == IDC_ORGMAP_ADD) {
        OnAddMapping();
        return TRUE;
    }
    if (code == BN_CLICKED && id == IDC_ORGMAP_DELETE) {
        OnDeleteMapping();
        return TRUE;
    }
    return CPropertyPage::OnCommand(id, code, hCtl);
}

BOOL CPropPageOrgMap::OnNotify(NMHDR* pNMHDR, LRESULT& result)
{
    if (pNMHDR->idFrom == IDC_ORGMAP_LIST && pNMHDR->code == static_cast<UINT>(NM_CLICK)) {
        OnClickMappingList(pNMHDR, result);
        return TRUE;
    }
    return CPropertyPage::OnNotify(pNMHDR, result);
}

void CPropPageOrgMap::OnOK()
{
    if (m_bMappingChanged)
        SaveMappings();
    CPropertyPage::OnOK();
}

void CPropPageOrgMap::LoadMappings()
{
    for (const settings::OrgMapping& pair : settings::ReadOrgMappings()) {
        int row = m_listMapping.AddItem(pair.clientCode.c_str());
        m_listMapping.SetItemText(row, 1, pair.platformCode.c_str());
    }
}

void CPropPageOrgMap::SaveMappings()
{
    std::vector<settings::OrgMapping> mappings;
    for (int row = 0; row < m_listMapping.GetItemCount(); ++row)
        mappings.push_back({ m_listMapping.GetItemText(row, 0), m_listMapping.GetItemText(row, 1) });
    settings::WriteOrgMappings(mappings);
}

void CPropPageOrgMap::OnAddMapping()
{
    UpdateData(true);
    if (m_strClientCode.empty()) {
        CApp::Get()->MessageBox(m_hWnd, "请输入要添加的客户代码！");
        GotoDlgCtrl(IDC_ORGMAP_CLIENT);
        return;
    }
    if (m_strPlatformCode.empty()) {
        CApp::Get()->MessageBox(m_hWnd, "请输入客户代码相对应的网商代码！");
        GotoDlgCtrl(IDC_ORGMAP_PLATFORM);
        return;
    }
    int row = m_listMapping.AddItem(m_strClientCode.c_str());
    m_listMapping.SetItemText(row, 1, m_strPlatformCode.c_str());
    setup::CreateChildDirectory(settings::GetString(settings::kExportLocation), m_strPlatformCode);
    setup::CreateChildDirectory(settings::GetString(settings::kSourcePath), m_strClientCode);
    m_strClientCode.clear();
    m_strPlatformCode.clear();
    UpdateData(false);
    m_bMappingChanged = 1;
    SetModified();
}

void CPropPageOrgMap::OnDeleteMapping()
{
    int row = m_listMapping.GetFirstSelected();
    if (row < 0)
        return;
    const std::string clientCode = m_listMapping.GetItemText(row, 0);
    const std::string platformCode = m_listMapping.GetItemText(row, 1);
    const std::string question = "是否要删除客户代码与网商代码的对应( " + clientCode + " - " + platformCode + " )？";
    if (CApp::Get()->MessageBox(m_hWnd, question.c_str(), MB_OKCANCEL | MB_ICONEXCLAMATION) != IDOK)
        return;
    setup::RemoveChildDirectory(settings::GetString(settings::kExportLocation), platformCode);
    setup::RemoveChildDirectory(settings::GetString(settings::kSourcePath), clientCode);
    m_listMapping.DeleteItem(row);
    m_bMappingChanged = 1;
    SetModified();
    m_listMapping.SetFocus();
}

void CPropPageOrgMap::OnClickMappingList(NMHDR* pNMHDR, LRESULT& result)
{
    if (setup::ShowSelectedRows(m_listMapping, m_hWnd, IDC_ORGMAP_CLIENT, IDC_ORGMAP_PLATFORM))
        result = 0;
}

#include "setup/PropPageDatabase.h"

#include "resource.h"
#include "settings/Settings.h"

CPropPageDatabase::CPropPageDatabase() : CPropertyPage(IDD_PROP_DATABASE)
{
    m_strDataSource = settings::GetString(settings::kOrgID);
    m_strUserName = settings::GetString(settings::kUsername);
    m_strPassword = settings::GetString(settings::kPassword);
}

void CPropPageDatabase::DoDataExchange(CDataExchange* pDX)
{
    DDX_Text(pDX, IDC_DB_DATASOURCE, m_strDataSource);
    DDX_Text(pDX, IDC_DB_PASSWORD, m_strPassword);
    DDX_Text(pDX, IDC_DB_USERNAME, m_strUserName);
}

BOOL CPropPageDatabase::OnCommand(UINT id, UINT code, HWND hCtl)
{
    if (code == EN_CHANGE && (id == IDC_DB_DATASOURCE || id == IDC_DB_PASSWORD || id == IDC_DB_USERNAME)) {
        OnChangeEdit();
        return TRUE;
    }
    return CPropertyPage::OnCommand(id, code, hCtl);
}

void CPropPageDatabase::OnChangeEdit()
{
    SetModified();
}

void CPropPageDatabase::OnOK()
{
    settings::SetString(settings::kOrgID, m_strDataSource.c_str());
    settings::SetString(settings::kUsername, m_strUserName.c_str());
    settings::SetString(settings::kPassword, m_strPassword.c_str());
    CPropertyPage::OnOK();
}

#include "setup/PropPageFilePath.h"

#include "resource.h"
#include "settings/Settings.h"

#include <shlobj.h>

CPropPageFilePath::CPropPageFilePath() : CPropertyPage(IDD_PROP_FILEPATH), m_bIsDeleted(0)
{
    m_strDestPath = settings::GetString(settings::kDestPath);
    m_strExportLocation = settings::GetString(settings::kExportLocation);
    m_strSourcePath = settings::GetString(settings::kSourcePath);
    // Unlike the export engine, the page shows an absent flag ticked.
    m_bIsDeleted = settings::GetInt(settings::kIsDeleted, 1);
}

void CPropPageFilePath::DoDataExchange(CDataExchange* pDX)
{
    DDX_Text(pDX, IDC_PATH_DEST, m_strDestPath);
    DDX_Text(pDX, IDC_PATH_SOURCE, m_strSourcePath);
    DDX_Text(pDX, IDC_PATH_EXPORT_LOCATION, m_strExportLocation);
    DDX_Check(pDX, IDC_PATH_IS_DELETED, m_bIsDeleted);
}

BOOL CPropPageFilePath::OnCommand(UINT id, UINT code, HWND hCtl)
{
    if (code == BN_CLICKED && id == IDC_PATH_BROWSE_DEST) {
        OnBrowseDestPath();
        return TRUE;
    }
    if (code == BN_CLICKED && id == IDC_PATH_BROWSE_SOURCE) {
        OnBrowseSourcePath();
        return TRUE;
    }
    if (code == EN_CHANGE && (id == IDC_PATH_DEST || id == IDC_PATH_EXPORT_LOCATION || id == IDC_PATH_SOURCE)) {
        OnChangeEdit();
        return TRUE;
    }
    return CPropertyPage::OnCommand(id, code, hCtl);
}

void CPropPageFilePath::OnBrowseDestPath()
{
    BrowseFolder("请选择源数据接收目录：", m_strDestPath);
}

void CPropPageFilePath::OnBrowseSourcePath()
{
    BrowseFolder("请选择源数据发送目录：", m_strSourcePath);
}

void CPropPageFilePath::BrowseFolder(const char* title, std::string& member)
{
    char path[MAX_PATH] = "";
    BROWSEINFOA bi = {};
    bi.hwndOwner = m_hWnd;
    bi.pszDisplayName = path;
    bi.lpszTitle = title;
    bi.ulFlags = BIF_RETURNONLYFSDIRS;
    LPITEMIDLIST pidl = ::SHBrowseForFolderA(&bi);
    if (pidl == nullptr)
        return;
    if (::SHGetPathFromIDListA(pidl, path)) {
        // Keep what was typed into the other edits.
        UpdateData(true);
        member = path;
        SetModified();
        UpdateData(false);
    }
    ::CoTaskMemFree(pidl);
}

void CPropPageFilePath::OnChangeEdit()
{
    SetModified();
}

void CPropPageFilePath::OnOK()
{
    settings::SetString(settings::kDestPath, m_strDestPath.c_str());
    settings::SetString(settings::kExportLocation, m_strExportLocation.c_str());
    settings::SetString(settings::kSourcePath, m_strSourcePath.c_str());
    settings::SetInt(settings::kIsDeleted, m_bIsDeleted ? 1 : 0);
    CPropertyPage::OnOK();
}

#include "setup/PropPageFilePath.h"

#include "resource.h"
#include "framework/App.h"
#include "framework/Path.h"
#include "settings/Settings.h"

#include <shlobj.h>

CPropPageFilePath::CPropPageFilePath() : CPropertyPage(IDD_PROP_FILEPATH), m_bIsDeleted(0)
{
    m_strDestPath = settings::GetString(settings::kDestPath);
    m_strExportLocation = settings::GetString(settings::kExportLocation);
    m_strSourcePath = settings::GetString(settings::kSourcePath);
    m_bIsDeleted = settings::GetShownInt(settings::kIsDeleted);
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

bool CPropPageFilePath::OnKillActive()
{
    UpdateData(true);
    const struct {
        const char* name;
        const std::string& value;
        int id;
    } folders[] = { { settings::kDestPath, m_strDestPath, IDC_PATH_DEST },
                    { settings::kSourcePath, m_strSourcePath, IDC_PATH_SOURCE } };
    for (const auto& folder : folders) {
        if (folder.value.empty() || IsFullPath(folder.value))
            continue;
        const std::string text = std::string(settings::Row(folder.name).label) + "“" + folder.value
                                 + "”不是完整的路径，运行时会随宿主程序的工作目录指向不同的文件夹。请输入以盘符开头的路径"
                                   "（例如D:\\Dist\\Send）或者网络路径（例如\\\\服务器\\共享\\文件夹），或者按“浏览”选择文件夹";
        CApp::Get()->MessageBox(m_hWnd, text.c_str());
        GotoDlgCtrl(folder.id);
        return false;
    }
    return true;
}

void CPropPageFilePath::OnOK()
{
    settings::SetString(settings::kDestPath, m_strDestPath.c_str());
    settings::SetString(settings::kExportLocation, m_strExportLocation.c_str());
    settings::SetString(settings::kSourcePath, m_strSourcePath.c_str());
    settings::SetInt(settings::kIsDeleted, m_bIsDeleted ? 1 : 0);
    CPropertyPage::OnOK();
}

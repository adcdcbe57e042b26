#include "setup/PropPageTasks.h"

#include "resource.h"
#include "settings/Settings.h"

CPropPageTasks::CPropPageTasks() : CPropertyPage(IDD_PROP_TASKS)
{
}

BOOL CPropPageTasks::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    m_listTasks.SetExtendedStyle(LVS_EX_GRIDLINES | LVS_EX_SUBITEMIMAGES | LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT
                                 | LVS_EX_INFOTIP);
    m_listTasks.InsertColumn(0, "任务名称", LVCFMT_LEFT, 80);
    m_listTasks.InsertColumn(1, "文件名", LVCFMT_LEFT, 120);
    m_listTasks.InsertColumn(2, "上次导出数据时间", LVCFMT_LEFT, 120);
    LoadTasks();
    return TRUE;
}

void CPropPageTasks::DoDataExchange(CDataExchange* pDX)
{
    m_listTasks.AttachDlgItem(pDX->m_hDlg, IDC_TASKS_LIST);
    DDX_Text(pDX, IDC_TASKS_SQL, m_strSQL);
}

BOOL CPropPageTasks::OnNotify(NMHDR* pNMHDR, LRESULT& result)
{
    if (pNMHDR->idFrom == IDC_TASKS_LIST && pNMHDR->code == static_cast<UINT>(LVN_ITEMCHANGED)) {
        OnTaskItemChanged(pNMHDR, result);
        return TRUE;
    }
    return CPropertyPage::OnNotify(pNMHDR, result);
}

void CPropPageTasks::OnOK()
{
    SaveTaskChecks();
    CPropertyPage::OnOK();
}

void CPropPageTasks::LoadTasks()
{
    // Only whole names are listed, so no tick is ever written under a name cut short.
    for (const settings::Task& task : settings::ReadTasks()) {
        const int row = m_listTasks.AddItem(task.name.c_str());
        m_listTasks.SetItemText(row, 1, task.fileName.c_str());
        m_listTasks.SetCheck(row, task.checked);
        m_listTasks.SetItemText(row, 2, task.lastExportTime.c_str());
    }
}

void CPropPageTasks::SaveTaskChecks()
{
    std::vector<settings::TaskKey> checks;
    for (int row = 0; row < m_listTasks.GetItemCount(); ++row)
        checks.push_back({ m_listTasks.GetItemText(row, 0), settings::kChecked, m_listTasks.GetCheck(row) ? "1" : "0" });
    settings::WriteTaskStrings(checks);
}

void CPropPageTasks::OnTaskItemChanged(NMHDR* pNMHDR, LRESULT& result)
{
    const NMLISTVIEW* pItem = reinterpret_cast<const NMLISTVIEW*>(pNMHDR);
    m_strSQL = settings::ReadTaskString(m_listTasks.GetItemText(pItem->iItem, 0), settings::kSQL, "", settings::kSqlBuffer);
    UpdateData(false);
    result = 0;
}

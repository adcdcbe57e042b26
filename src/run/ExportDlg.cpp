#include "run/ExportDlg.h"

#include "framework/App.h"
#include "resource.h"
#include "settings/SupplierRows.h"
#include "settings/Settings.h"

namespace {

const COLORREF kListColour = RGB(240, 240, 240);
// Grid lines, sub-item images, check boxes, full-row selection and info tips.
const DWORD kListExStyle = LVS_EX_GRIDLINES | LVS_EX_SUBITEMIMAGES | LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT
                           | LVS_EX_INFOTIP;

const CRunDlg::Traits kExportTraits = {
    IDD_EXPORT,
    IDC_EXPORT_START_TIME,
    IDC_EXPORT_END_TIME,
    IDC_EXPORT_RUN,
    WM_EXPORT_DONE,
    kModeExport,
    kModeAutoExport,
    "正在导出数据...",
    "正在导出数据，不能关闭本窗口",
    "导出数据结束",
    "正在导出数据",
};

template <class TList>
void SetUpList(const TList& list, const char* heading0, const char* heading1, int width0, int width1)
{
    list.SetBkColor(kListColour);
    list.SetTextBkColor(kListColour);
    list.SetExtendedStyle(kListExStyle);
    list.InsertColumn(0, heading0, LVCFMT_CENTER, width0);
    list.InsertColumn(1, heading1, LVCFMT_LEFT, width1);
}

} // namespace

void ExportTimeWindow(const CDateTime& now, CDateTime* pStart, CDateTime* pEnd)
{
    const CDateTime today = now.DateOnly();
    const CDateTime noon = today + 0.5;
    *pStart = noon.m_dt >= now.m_dt ? today : noon;
    *pEnd = *pStart + 0.5;
}

CExportDlg::CExportDlg(HWND hParent, bool bAuto, const UserOrgID& userOrgID)
    : CRunDlg(kExportTraits, hParent, bAuto, userOrgID)
{
}

void CExportDlg::DefaultTimes(const CDateTime& now, CDateTime* pStart, CDateTime* pEnd) const
{
    ExportTimeWindow(now, pStart, pEnd);
}

void CExportDlg::InitContents()
{
    m_taskList.SubclassDlgItem(IDC_EXPORT_TASKS, m_hWnd);
    m_supplierList.AttachDlgItem(m_hWnd, IDC_EXPORT_SUPPLIERS);
    SetUpList(m_taskList, "任务列表", "导出起始时间", 140, 145);
    SetUpList(m_supplierList, "供商代码", "供商名称", 100, 185);
    LoadLists();
}

BOOL CExportDlg::OnCommand(UINT id, UINT code, HWND hCtl)
{
    if (id == IDC_EXPORT_MODIFY && code == BN_CLICKED) {
        OnModify();
        return TRUE;
    }
    return CRunDlg::OnCommand(id, code, hCtl);
}

BOOL CExportDlg::OnNotify(NMHDR* pNMHDR, LRESULT& result)
{
    if (pNMHDR->code == LVN_ENDLABELEDITA && pNMHDR->hwndFrom == m_taskList.m_hWnd) {
        OnTaskTimeEdited(reinterpret_cast<const NMLVDISPINFOA*>(pNMHDR));
        result = 0;
        return TRUE;
    }
    return CRunDlg::OnNotify(pNMHDR, result);
}

// No message once the dialog is going: the editor loses the focus as the window goes.
void CExportDlg::OnTaskTimeEdited(const NMLVDISPINFOA* pInfo)
{
    const char* text = pInfo->item.pszText;
    if (text == nullptr || pInfo->item.iSubItem == 0)
        return;
    CDateTime date;
    if (!(IsClosing() ? date.ParseDateOnly(text) : CheckDate(m_taskList.m_hWnd, text, &date)))
        return;
    const std::string task = m_taskList.GetItemText(pInfo->item.iItem, pInfo->item.iSubItem - 1);
    if (!settings::WriteTaskString(task, settings::kLastExportTime, text) && !IsClosing())
        CApp::Get()->MessageBox(m_hWnd, "修改导出时间失败！");
}

void CExportDlg::LoadLists()
{
    m_supplierList.DeleteAllItems();
    m_taskList.DeleteAllItems();
    const CRedrawOff supplierRedraw(m_supplierList.m_hWnd);
    const CRedrawOff taskRedraw(m_taskList.m_hWnd);
    settings::ShowSuppliers(m_supplierList, settings::ReadSuppliers());
    for (const settings::Task& task : settings::ReadTasks()) {
        const int row = m_taskList.AddItem(task.name.c_str());
        m_taskList.SetCheck(row, task.checked);
        m_taskList.SetItemText(row, 1, task.lastExportTime.c_str());
    }
}

// Suppliers are rewritten from 0000 (with TempSQL, which other programs read); each task keeps its
// section and gets its tick and export start time.
void CExportDlg::SaveContents()
{
    settings::WriteSuppliers(settings::SuppliersIn(m_supplierList));
    std::vector<settings::TaskKey> taskKeys;
    for (int row = 0; row < m_taskList.GetItemCount(); ++row) {
        const std::string task = m_taskList.GetItemText(row, 0);
        taskKeys.push_back({ task, settings::kChecked, m_taskList.GetCheck(row) ? "1" : "0" });
        taskKeys.push_back({ task, settings::kLastExportTime, m_taskList.GetItemText(row, 1) });
    }
    settings::WriteTaskStrings(taskKeys);
}

void CExportDlg::OnModify()
{
    const std::string text = GetDlgItemText(IDC_EXPORT_START_TIME);
    for (int row = 0; row < m_taskList.GetItemCount(); ++row)
        m_taskList.SetItemText(row, 1, text.c_str());
}

#include "run/ImportDlg.h"

#include "resource.h"

namespace {

const CRunDlg::Traits kImportTraits = {
    IDD_IMPORT,
    IDC_IMPORT_START_TIME,
    IDC_IMPORT_END_TIME,
    IDC_IMPORT_RUN,
    WM_IMPORT_DONE,
    kModeImport,
    kModeAutoImport,
    "正在导入数据...",
    "正在导入数据，不能关闭本窗口",
    "导入数据结束",
    "正在导入数据",
};

} // namespace

void ImportTimeWindow(const CDateTime& now, CDateTime* pStart, CDateTime* pEnd)
{
    *pStart = now.DateOnly();
    *pEnd = *pStart + 1.0;
}

CImportDlg::CImportDlg(HWND hParent, bool bAuto, const UserOrgID& userOrgID)
    : CRunDlg(kImportTraits, hParent, bAuto, userOrgID)
{
}

void CImportDlg::DefaultTimes(const CDateTime& now, CDateTime* pStart, CDateTime* pEnd) const
{
    ImportTimeWindow(now, pStart, pEnd);
}

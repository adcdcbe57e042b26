// The export dialog (template 1000): the task list with its export start times, the supplier list, and
// the export run. Both lists are written back to the INI files at the start of every run, never else.
#pragma once
#include "run/TaskListCtrl.h"
#include "framework/ListView.h"
#include "run/RunDlg.h"

// The default time window: the half day that contains now (noon itself belongs to the morning).
void ExportTimeWindow(const CDateTime& now, CDateTime* pStart, CDateTime* pEnd);

class CExportDlg : public CRunDlg {
public:
    // The user organisation ID tells the export which folder the platform delivers to, which the send
    // directory must not be; without one that is not checked.
    CExportDlg(HWND hParent, bool bAuto, const UserOrgID& userOrgID = UserOrgID());

protected:
    BOOL OnCommand(UINT id, UINT code, HWND hCtl) override;
    BOOL OnNotify(NMHDR* pNMHDR, LRESULT& result) override;
    void InitContents() override;
    void SaveContents() override;
    void DefaultTimes(const CDateTime& now, CDateTime* pStart, CDateTime* pEnd) const override;

private:
    void LoadLists();
    // "修改": the start time edit's text, unchecked, into every task row.
    void OnModify();
    // An edit of a task's export start time ended: a valid date is stored at once, exactly as typed.
    void OnTaskTimeEdited(const NMLVDISPINFOA* pInfo);

    CTaskListCtrl m_taskList;
    CListView m_supplierList;
};

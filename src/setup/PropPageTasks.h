// "任务SQL查看": the export tasks of TaskDefine.ini with their file names, last export times and ticks;
// the SQL of the row that changed last is shown read-only. Apply writes only each listed task's tick.
#pragma once
#include "framework/ListView.h"
#include "framework/PropertySheet.h"

#include <string>

class CPropPageTasks : public CPropertyPage {
public:
    CPropPageTasks();

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnNotify(NMHDR* pNMHDR, LRESULT& result) override;
    void OnOK() override;

private:
    void LoadTasks();
    void SaveTaskChecks();
    void OnTaskItemChanged(NMHDR* pNMHDR, LRESULT& result);

    CListView m_listTasks;
    std::string m_strSQL;
};

// The import dialog (template 1007): a start and an end time, and the import run.
#pragma once
#include "work/RunDlg.h"

// The default time window: today 00:00:00 to tomorrow 00:00:00.
void ImportTimeWindow(const CDateTime& now, CDateTime* pStart, CDateTime* pEnd);

class CImportDlg : public CRunDlg {
public:
    CImportDlg(HWND hParent, int bAuto);

protected:
    CWorkThread* CreateWorker(int nMode) override;
    void DefaultTimes(const CDateTime& now, CDateTime* pStart, CDateTime* pEnd) const override;
};

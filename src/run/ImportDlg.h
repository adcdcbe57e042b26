// The import dialog (template 1007): a start and an end time, and the import run.
#pragma once
#include "run/RunDlg.h"

// The default time window: today 00:00:00 to tomorrow 00:00:00.
void ImportTimeWindow(const CDateTime& now, CDateTime* pStart, CDateTime* pEnd);

class CImportDlg : public CRunDlg {
public:
    // Runs import for the user organisation its creator names.
    CImportDlg(HWND hParent, bool bAuto, const UserOrgID& userOrgID);

protected:
    void DefaultTimes(const CDateTime& now, CDateTime* pStart, CDateTime* pEnd) const override;
};

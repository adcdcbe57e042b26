// The worker of one run: waits until no other run of the process transfers, creates the engine for
// its mode, runs it, deletes it, posts the completion message to the run window, and deletes itself
// when its thread ends. Allocate on the heap; never delete.
#pragma once
#include "framework/Thread.h"
#include "run/RunWindow.h"

#include <string>

class CTransferEngine;

// The user organisation ID that the application read at load, as an import run receives it. A stored
// ID longer than 16 bytes is never cut (a cut ID could name another organisation's folder): the value
// stays empty and bTooLong is set.
struct UserOrgID {
    std::string strValue;
    bool bTooLong = false;
};

class CWorkThread : public CThread {
public:
    // Export runs (kModeExport or kModeAutoExport).
    CWorkThread(IRunWindow* pOwner, RunMode nMode);
    // Import runs (kModeImport or kModeAutoImport) for that user organisation.
    CWorkThread(IRunWindow* pOwner, RunMode nMode, const UserOrgID& userOrgID);

    IRunWindow* m_pOwner;
    RunMode m_nMode;
    UserOrgID m_userOrgID;
    // Pause after each progress step of an export; tests set 0.
    DWORD m_dwPauseMs;

protected:
    // Waits for its turn, creates the engine, runs it, deletes it, then posts the completion message:
    // result 1 or 0, and 0 when the run was refused or anything failed.
    int Run() override;
    // The engine of the mode, on the heap; Run deletes it. Null when the run is refused, after the
    // refusal has been shown.
    virtual CTransferEngine* CreateEngine();
    bool IsImport() const;

private:
    void PostDone(int result);
};

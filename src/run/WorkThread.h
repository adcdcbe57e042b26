// The worker of one run: waits until no other run of the process transfers, creates the engine for
// its mode, runs it, deletes it, posts the completion message to the run window, and deletes itself
// when its thread ends. Allocate on the heap; never delete.
#pragma once
#include "engine/RunInput.h"
#include "framework/Thread.h"
#include "run/RunWindow.h"

class CTransferEngine;

class CWorkThread : public CThread {
public:
    // A run of that mode for the user organisation ID the application read at load.
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
    // The engine of the mode, on the heap, with the settings as they are now; Run deletes it.
    virtual CTransferEngine* CreateEngine();
    bool IsImport() const;

private:
    void PostDone(int result);
};

// The worker of one run: creates the engine for its mode, runs it, deletes it, posts the completion
// message to the run window, and deletes itself when its thread ends. Allocate on the heap; never delete.
#pragma once
#include "framework/DateTime.h"
#include "framework/Thread.h"
#include "work/RunView.h"

class CTransferEngine;

class CWorkThread : public CThread {
public:
    CWorkThread();
    // Export runs (mode 0 or 2): the times are zero.
    CWorkThread(IRunView* pOwner, int nMode);
    // Import runs (mode 1 or 3).
    CWorkThread(IRunView* pOwner, int nMode, const CDateTime& startTime, const CDateTime& endTime);

    IRunView* m_pOwner;
    int m_nMode;
    CDateTime m_startTime;
    CDateTime m_endTime;
    // Pause after each progress step of an export; tests set 0.
    DWORD m_dwPauseMs;

protected:
    BOOL InitInstance() override { return TRUE; }
    // Waits until no other run of the process is under way, creates the engine, runs it, deletes it,
    // then posts the completion message: result 1 or 0, and 0 when anything failed.
    int Run() override;
    // The engine of the mode, on the heap; Run deletes it.
    virtual CTransferEngine* CreateEngine();
    bool IsImport() const;

private:
    void PostDone(int result);
};

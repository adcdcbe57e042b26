#include "run/WorkThread.h"

#include "engine/ExportEngine.h"
#include "engine/ImportEngine.h"
#include "settings/Settings.h"

#include <memory>

namespace {

// How often a worker waiting for another run of the process looks for a stop request.
const DWORD kRunLockPollMs = 100;
// Attempts at posting the completion message while the run window's queue is full.
const int kPostAttempts = 50;
const DWORD kPostRetryMs = 100;

// One run of the process transfers at a time: two runs would take the same files. The mutex lives as
// long as the module; a worker that dies holding it leaves it abandoned, which the next one takes.
HANDLE RunMutex()
{
    static HANDLE s_hMutex = ::CreateMutexA(nullptr, FALSE, nullptr);
    return s_hMutex;
}

class CRunLock {
public:
    // Waits for the other runs of the process to end; false when a stop was requested meanwhile.
    bool Acquire(const IRunView& view)
    {
        for (;;) {
            const DWORD rc = ::WaitForSingleObject(RunMutex(), kRunLockPollMs);
            if (rc == WAIT_OBJECT_0 || rc == WAIT_ABANDONED) {
                m_bHeld = true;
                return true;
            }
            if (rc != WAIT_TIMEOUT || view.IsStopRequested())
                return false;
        }
    }
    ~CRunLock()
    {
        if (m_bHeld)
            ::ReleaseMutex(RunMutex());
    }

private:
    bool m_bHeld = false;
};

} // namespace

CWorkThread::CWorkThread(IRunWindow* pOwner, RunMode nMode, const UserOrgID& userOrgID)
    : m_pOwner(pOwner), m_nMode(nMode), m_userOrgID(userOrgID), m_dwPauseMs(CExportEngine::kDefaultPauseMs)
{
}

bool CWorkThread::IsImport() const
{
    return m_nMode == kModeImport || m_nMode == kModeAutoImport;
}

CTransferEngine* CWorkThread::CreateEngine()
{
    const RunInput input = ReadRunInput(m_userOrgID);
    if (IsImport())
        return new CImportEngine(m_pOwner, input);
    return new CExportEngine(m_pOwner, input, m_dwPauseMs);
}

int CWorkThread::Run()
{
    int result = 0;
    std::unique_ptr<CTransferRecord> record;
    CTransferRecord::End end = CTransferRecord::End::kBroken;
    try {
        const bool bAuto = m_nMode == kModeAutoExport || m_nMode == kModeAutoImport;
        record.reset(new CTransferRecord(settings::RecordPath(), IsImport() ? RunKind::kImport : RunKind::kExport, bAuto));
        // The start line comes before the wait for the turn, so that a run stopped while it waits
        // ends a run that the record has.
        std::unique_ptr<CTransferEngine> engine(CreateEngine());
        record->RunStarted(engine->Input());
        CRunLock lock;
        end = CTransferRecord::End::kStopped;
        if (lock.Acquire(*m_pOwner)) {
            engine->SetRecord(record.get());
            result = engine->Run() != 0 ? 1 : 0;
            end = engine->WasStopped() ? CTransferRecord::End::kStopped : CTransferRecord::End::kDone;
        }
    } catch (...) {
        result = 0;
        end = CTransferRecord::End::kBroken;
    }
    try {
        if (record)
            record->RunEnded(end);
    } catch (...) {
    }
    PostDone(result);
    return 1;
}

// Every end of a run is told, however it ended; a window that is gone needs no message.
void CWorkThread::PostDone(int result)
{
    const HWND hWnd = m_pOwner->GetRunWindow();
    const UINT msg = IsImport() ? WM_IMPORT_DONE : WM_EXPORT_DONE;
    for (int attempt = 1; attempt <= kPostAttempts; ++attempt) {
        if (::PostMessageA(hWnd, msg, static_cast<WPARAM>(m_nMode), result) || !::IsWindow(hWnd))
            return;
        ::Sleep(kPostRetryMs);
    }
}

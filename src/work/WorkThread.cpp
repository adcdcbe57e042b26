#include "work/WorkThread.h"

#include "export/ExportEngine.h"
#include "import/ImportEngine.h"

#include <memory>

CWorkThread::CWorkThread() : CWorkThread(nullptr, kModeExport)
{
}

CWorkThread::CWorkThread(IRunView* pOwner, int nMode) : CWorkThread(pOwner, nMode, CDateTime(), CDateTime())
{
}

CWorkThread::CWorkThread(IRunView* pOwner, int nMode, const CDateTime& startTime, const CDateTime& endTime)
    : m_pOwner(pOwner), m_nMode(nMode), m_startTime(startTime), m_endTime(endTime),
      m_dwPauseMs(CExportEngine::kDefaultPauseMs)
{
}

bool CWorkThread::IsImport() const
{
    return m_nMode == kModeImport || m_nMode == kModeAutoImport;
}

CTransferEngine* CWorkThread::CreateEngine()
{
    const bool bAuto = m_nMode == kModeAutoExport || m_nMode == kModeAutoImport;
    if (IsImport())
        return new CImportEngine(m_pOwner, bAuto, m_startTime, m_endTime);
    return new CExportEngine(m_pOwner, bAuto, m_dwPauseMs);
}

int CWorkThread::Run()
{
    std::unique_ptr<CTransferEngine> engine(CreateEngine());
    const int result = engine->Run() != 0 ? 1 : 0;
    engine.reset();
    ::PostMessageA(m_pOwner->GetRunWindow(), IsImport() ? WM_IMPORT_DONE : WM_EXPORT_DONE,
                   static_cast<WPARAM>(m_nMode), result);
    return 1;
}

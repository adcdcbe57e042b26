#include "engine/ExportEngine.h"

#include "engine/ClientCode.h"
#include "engine/OrgCodeTable.h"
#include "framework/Path.h"

CExportEngine::CExportEngine(IRunView* pOwner, const RunInput& input, DWORD dwPauseMs, DWORD dwRetryPauseMs)
    : CTransferEngine(pOwner, input, dwRetryPauseMs), m_dwPauseMs(dwPauseMs), m_nProgress(0), m_pCodes(nullptr)
{
}

int CExportEngine::Run()
{
    m_pOwner->SetPos(0);
    if (!Transfer())
        return 0;
    m_pOwner->SetPos(100);
    m_pOwner->SetStatus("文件导出完成！");
    return 1;
}

bool CExportEngine::Transfer()
{
    if (!MayStart(RunKind::kExport))
        return false;
    m_nProgress = 0;
    m_cleanedFolders.clear();
    const COrgCodeTable codes(m_input.mappings);
    m_pCodes = &codes;
    WalkFolder(m_input.strSourcePath);
    m_pCodes = nullptr;
    return true;
}

EntryDecision CExportEngine::Decide(const RunInput& input, const COrgCodeTable& codes, const WIN32_FIND_DATAA& entry)
{
    EntryDecision decision;
    decision.name = entry.cFileName;
    decision.source = Join(input.strSourcePath, decision.name);
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        decision.reason = EntryReason::kFolder;
        return decision;
    }
    if (IsTemporaryName(entry.cFileName)) {
        decision.reason = EntryReason::kTemporary;
        return decision;
    }
    decision.action = EntryAction::kStay;
    if (!ClientCodeOf(decision.name.c_str(), decision.clientCode)) {
        decision.reason = EntryReason::kNoClientCode;
        return decision;
    }
    const char* platformCode = codes.Lookup(decision.clientCode.c_str());
    if (platformCode == nullptr) {
        decision.reason = codes.IsRefused(decision.clientCode.c_str()) ? EntryReason::kCodeRefused
                                                                       : EntryReason::kCodeNotMapped;
        return decision;
    }
    decision.platformCode = platformCode;
    decision.targetFolder = Join(input.strExportLocation, platformCode);
    decision.target = Join(decision.targetFolder, decision.name);
    if (!FitsMaxPath(decision.target)) {
        decision.reason = EntryReason::kTargetTooLong;
        return decision;
    }
    decision.action = EntryAction::kCopy;
    return decision;
}

void CExportEngine::OnEntry(const WIN32_FIND_DATAA& data)
{
    const EntryDecision decision = Decide(m_input, *m_pCodes, data);
    if (decision.reason == EntryReason::kTemporary)
        return;
    if (decision.reason != EntryReason::kFolder) {
        m_pOwner->SetStatus(("正在导出文件" + decision.name).c_str());
        if ((decision.action == EntryAction::kCopy || decision.reason == EntryReason::kTargetTooLong)
            && !Deliver(decision, StampOf(data)))
            return;
    }
    Step();
}

bool CExportEngine::Deliver(const EntryDecision& decision, const FileStamp& listed)
{
    CopyResult result = kCopyFailed;
    if (decision.action == EntryAction::kCopy) {
        ::CreateDirectoryA(decision.targetFolder.c_str(), nullptr);
        if (m_cleanedFolders.insert(decision.targetFolder).second)
            RemoveTemporaryFiles(decision.targetFolder);
        result = CopyWithRetry(decision.source, decision.targetFolder, decision.name);
    }
    if (result == kCopyFailed) {
        m_pOwner->ShowError(("文件拷贝出错：" + decision.source + " ==> " + decision.target).c_str());
        return false;
    }
    // A file that changed since it was listed may hold data the copy missed: it stays for the next run.
    if (result == kCopied && m_input.bDeleteAfterCopy && IsUnchanged(decision.source, listed))
        ::DeleteFileA(decision.source.c_str());
    return true;
}

void CExportEngine::Step()
{
    m_pOwner->SetPos(m_nProgress < 100 ? m_nProgress : 100);
    m_nProgress += 10;
    if (m_dwPauseMs != 0)
        ::Sleep(m_dwPauseMs);
}

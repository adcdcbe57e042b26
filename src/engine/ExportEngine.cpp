#include "engine/ExportEngine.h"

#include "engine/ClientCode.h"
#include "engine/OrgCodeTable.h"
#include "framework/Path.h"

namespace {

// True for a reason that an export tells as a failed copy, with its box.
bool FailsAsCopy(EntryReason reason)
{
    return reason == EntryReason::kTargetTooLong || reason == EntryReason::kTargetIsFolder;
}

} // namespace

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

EntryDecision CExportEngine::Decide(const RunInput& input, const COrgCodeTable& codes, const FolderEntry& entry)
{
    EntryDecision decision = Listed(input.strSourcePath, entry);
    if (decision.reason != EntryReason::kNone)
        return decision;
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
    for (const std::string& code : input.deliveryPairCodes) {
        if (code == platformCode) {
            decision.reason = EntryReason::kPairToDelivery;
            return decision;
        }
    }
    decision.targetFolder = JoinPath(input.strExportLocation, platformCode);
    decision.target = JoinPath(decision.targetFolder, decision.name);
    // The platform renames no copy over a folder.
    if (!FitsMaxPath(decision.target) || IsFolder(decision.target)) {
        decision.reason = FitsMaxPath(decision.target) ? EntryReason::kTargetIsFolder : EntryReason::kTargetTooLong;
        return decision;
    }
    decision.action = EntryAction::kCopy;
    return decision;
}

void CExportEngine::OnEntry(const FolderEntry& entry)
{
    const EntryDecision decision = Decide(m_input, *m_pCodes, entry);
    if (decision.action == EntryAction::kPassOver) {
        if (decision.reason == EntryReason::kFolder)
            Step();
        return;
    }
    m_pOwner->SetStatus(("正在导出文件" + decision.name).c_str());
    if (decision.action == EntryAction::kStay && !FailsAsCopy(decision.reason)) {
        Record(decision, entry.size, Outcome::kLeft);
        Step();
        return;
    }
    if (Deliver(decision, entry))
        Step();
}

bool CExportEngine::Deliver(const EntryDecision& decision, const FolderEntry& listed)
{
    // A target that no copy can take fails as its copy would.
    DWORD error = decision.reason == EntryReason::kTargetTooLong ? ERROR_FILENAME_EXCED_RANGE : 0;
    CopyResult result = kCopyFailed;
    FileStamp copied = StampOf(listed);
    if (decision.action == EntryAction::kCopy) {
        ::CreateDirectoryA(decision.targetFolder.c_str(), nullptr);
        if (m_cleanedFolders.insert(decision.targetFolder).second)
            RemoveTemporaryFiles(decision.targetFolder);
        result = CopyWithRetry(decision.source, decision.targetFolder, decision.name, &copied, &error);
    }
    if (result == kCopyFailed) {
        const Box box = BoxColumn();
        Record(decision, listed.size, Outcome::kCopyFailed, error, std::string(), box);
        ShowAfterLine("文件拷贝出错：" + decision.source + " ==> " + decision.target, box);
        return false;
    }
    if (result != kCopied) {
        Record(decision, listed.size, result == kSourceGone ? Outcome::kTakenByAnotherRun : Outcome::kSourceNowFolder);
        return true;
    }
    Outcome outcome = Outcome::kCopied;
    error = 0;
    if (m_input.bDeleteAfterCopy) {
        // A file that changed since the copy read it holds data the copy missed: it stays for the next
        // run. One that is gone was taken by another run.
        if (IsGone(decision.source))
            outcome = Outcome::kTakenByAnotherRun;
        else if (!IsUnchanged(decision.source, copied))
            outcome = Outcome::kSourceChanged;
        else if (::DeleteFileW(WidePath(decision.source).c_str()))
            outcome = Outcome::kSourceDeleted;
        else {
            error = ::GetLastError();
            outcome = IsGone(decision.source) ? Outcome::kTakenByAnotherRun : Outcome::kDeleteFailed;
        }
    }
    Record(decision, copied.size, outcome, outcome == Outcome::kDeleteFailed ? error : 0);
    return true;
}

void CExportEngine::Step()
{
    m_pOwner->SetPos(m_nProgress < 100 ? m_nProgress : 100);
    m_nProgress += 10;
    if (m_dwPauseMs != 0)
        ::Sleep(m_dwPauseMs);
}

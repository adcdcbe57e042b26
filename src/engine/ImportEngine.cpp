#include "engine/ImportEngine.h"

#include "framework/Handle.h"
#include "framework/Path.h"
#include "framework/SameName.h"

#include <algorithm>

namespace {

// The copy number of entry as an archive of name: 0 for name itself, n for name + "." + n (n decimal
// without a leading zero), names compared without regard to case as the file system compares them;
// false for any other entry.
bool CopyNumber(const std::string& entry, const std::string& name, unsigned long long* pNumber)
{
    if (entry.size() < name.size() || !IsSameName(entry.substr(0, name.size()), name))
        return false;
    *pNumber = 0;
    if (entry.size() == name.size())
        return true;
    if (entry.size() < name.size() + 2 || entry.size() > name.size() + 19 || entry[name.size()] != '.'
        || entry[name.size() + 1] == '0')
        return false;
    for (size_t i = name.size() + 1; i < entry.size(); ++i) {
        if (entry[i] < '0' || entry[i] > '9')
            return false;
        *pNumber = *pNumber * 10 + (entry[i] - '0');
    }
    return true;
}

} // namespace

CImportEngine::CImportEngine(IRunView* pOwner, const RunInput& input, DWORD dwRetryPauseMs)
    : CTransferEngine(pOwner, input, dwRetryPauseMs), m_blocked(Outcome::kArchived), m_dwBlockError(0),
      m_bClaimTried(false)
{
}

int CImportEngine::Run()
{
    if (!MayStart(RunKind::kImport))
        return 0;
    const std::string backup = JoinPath(DeliveryFolder(m_input), kBackupFolder);
    ::CreateDirectoryW(WidePath(backup).c_str(), nullptr);
    // A receive directory that leads into Backup only now that it is made (a link to it given before)
    // is refused all the same, before anything is copied.
    if (!MayStart(RunKind::kImport))
        return 0;
    RemoveTemporaryFiles(m_input.strDestPath);
    CClaimLock lock;
    PrepareClaims(backup, lock);
    if (lock.IsHeld() && m_blocked == Outcome::kArchived)
        RemoveOrphanedClaimCopies(m_claims, m_input.strDestPath);
    TellClaimsElsewhere(backup);
    WalkFolder(DeliveryFolder(m_input));
    // The claim folder goes when it is empty.
    if (lock.IsHeld())
        ::RemoveDirectoryW(WidePath(m_claims.path).c_str());
    return 1;
}

void CImportEngine::PrepareClaims(const std::string& backupFolder, CClaimLock& lock)
{
    m_claims.path = ClaimFolderOf(backupFolder, m_input.strDestPath);
    if (m_claims.path.empty()) {
        m_blocked = Outcome::kCopyFailed;
        m_dwBlockError = ::GetLastError();
        return;
    }
    m_claims.mark = ClaimCopyMark(backupFolder);
    m_dwBlockError = m_claims.mark.empty() ? ::GetLastError() : lock.Take(m_claims.path, RetryPauseMs());
    if (m_dwBlockError == ERROR_SHARING_VIOLATION) {
        m_blocked = Outcome::kTakenByAnotherRun;
        return;
    }
    const WideText folder = WidePath(m_claims.path);
    if (m_dwBlockError == 0 && !::CreateDirectoryW(folder.c_str(), nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS)
        m_dwBlockError = ::GetLastError();
    const DWORD attributes = ::GetFileAttributesW(folder.c_str());
    if (m_dwBlockError == 0 && (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0))
        m_dwBlockError = ERROR_DIRECTORY;
    if (m_dwBlockError != 0) {
        m_blocked = Outcome::kClaimFailed;
        return;
    }
    ::SetFileAttributesW(folder.c_str(), FILE_ATTRIBUTE_HIDDEN);
    for (const FolderEntry& entry : ListFolder(m_claims.path)) {
        const EntryDecision decision = DecideClaim(m_input, m_claims, entry);
        if (decision.action == EntryAction::kPassOver)
            continue;
        m_pOwner->SetStatus(("正在转移文件：" + decision.name).c_str());
        if (!HandOver(decision, decision.source, StampOf(entry), decision.action == EntryAction::kCopy, true))
            m_pending.push_back(decision.name);
    }
}

EntryDecision CImportEngine::Decide(const RunInput& input, const FolderEntry& entry)
{
    EntryDecision decision = Listed(DeliveryFolder(input), entry);
    if (decision.reason != EntryReason::kNone)
        return decision;
    decision.targetFolder = input.strDestPath;
    decision.target = JoinPath(decision.targetFolder, decision.name);
    decision.backupFolder = JoinPath(DeliveryFolder(input), kBackupFolder);
    decision.action = EntryAction::kStay;
    if (IsSameName(decision.name, kBackupFolder))
        decision.reason = EntryReason::kBackupName;
    else if (!FitsMaxPath(decision.target))
        decision.reason = EntryReason::kTargetTooLong;
    else if (IsFolder(decision.target))
        decision.reason = EntryReason::kTargetIsFolder;
    else if (!FitsMaxPath(JoinPath(decision.backupFolder, decision.name)))
        decision.reason = EntryReason::kArchiveTooLong;
    else
        decision.action = EntryAction::kCopy;
    return decision;
}

EntryDecision CImportEngine::DecideClaim(const RunInput& input, const ClaimFolder& claims, const FolderEntry& entry)
{
    EntryDecision decision = Listed(claims.path, entry);
    if (decision.reason != EntryReason::kNone) {
        decision.action = EntryAction::kPassOver;
        return decision;
    }
    decision.reason = EntryReason::kUnfinishedClaim;
    decision.targetFolder = input.strDestPath;
    decision.target = JoinPath(decision.targetFolder, decision.name);
    decision.backupFolder = JoinPath(DeliveryFolder(input), kBackupFolder);
    const WideText copy = WidePath(JoinPath(decision.targetFolder, ClaimCopyName(claims.mark, decision.name)));
    decision.action = ::GetFileAttributesW(copy.c_str()) != INVALID_FILE_ATTRIBUTES ? EntryAction::kCopy
                                                                                    : EntryAction::kArchive;
    return decision;
}

EntryDecision CImportEngine::DecideClaimElsewhere(const ClaimElsewhere& claim)
{
    EntryDecision decision;
    decision.action = EntryAction::kStay;
    decision.reason = EntryReason::kClaimOfOtherReceiveDirectory;
    decision.name = claim.entry.name;
    decision.source = JoinPath(claim.folder, claim.entry.name);
    return decision;
}

void CImportEngine::TellClaimsElsewhere(const std::string& backupFolder)
{
    if (m_claims.path.empty())
        return;
    for (const ClaimElsewhere& claim : ClaimsOfOtherReceiveDirectories(backupFolder, m_claims.path))
        Record(DecideClaimElsewhere(claim), claim.entry.size, Outcome::kLeft);
}

DWORD CImportEngine::ClaimBlocker(const EntryDecision& decision, bool bMayBeMade)
{
    const DWORD attributes = ::GetFileAttributesW(WidePath(decision.backupFolder).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = ::GetLastError();
        if (!bMayBeMade || (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND))
            return error;
    } else if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        return ERROR_DIRECTORY;
    }
    // The claim reads the file while it renames it, and lets no writer in.
    CFileHandle file(::CreateFileW(WidePath(decision.source).c_str(), GENERIC_READ | DELETE,
                                   FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                   nullptr));
    return file.IsValid() ? 0 : ::GetLastError();
}

void CImportEngine::OnEntry(const FolderEntry& entry)
{
    const EntryDecision decision = Decide(m_input, entry);
    if (decision.action == EntryAction::kPassOver)
        return;
    m_pOwner->SetStatus(("正在转移文件：" + decision.name).c_str());
    // A folder where the copy goes fails the copy, as it fails an export's.
    if (decision.action == EntryAction::kStay)
        Record(decision, entry.size,
               decision.reason == EntryReason::kTargetIsFolder ? Outcome::kCopyFailed : Outcome::kLeft);
    else
        Deliver(decision, entry);
    m_pOwner->SetPos(5);
}

void CImportEngine::Deliver(const EntryDecision& decision, const FolderEntry& listed)
{
    const std::string claimed = JoinPath(m_claims.path, decision.name);
    if (m_blocked != Outcome::kArchived) {
        Record(decision, listed.size, m_blocked, m_dwBlockError);
        return;
    }
    // The copy of an earlier claim of this name waits where this one would be written.
    for (const std::string& pending : m_pending) {
        if (IsSameName(pending, decision.name)) {
            Record(decision, listed.size, Outcome::kUnfinishedClaim);
            return;
        }
    }
    FileStamp copied = StampOf(listed);
    DWORD error = 0;
    switch (CopyWithRetry(decision.source, decision.targetFolder, decision.name, &copied, &error)) {
    case kSourceGone:
        Record(decision, listed.size, Outcome::kTakenByAnotherRun);
        return;
    case kSourceNowFolder:
        Record(decision, listed.size, Outcome::kSourceNowFolder);
        return;
    case kCopyFailed:
        if (m_bClaimTried)
            Record(decision, listed.size, Outcome::kClaimFailed, error);
        else if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION)
            Record(decision, listed.size, Outcome::kSourceBeingWritten);
        else
            Record(decision, listed.size, Outcome::kCopyFailed, error);
        return;
    case kCopied:
        break;
    }
    HandOver(decision, claimed, copied, true, false);
}

bool CImportEngine::CopyOnce(const std::string& source, const std::string& folder, const std::string& name,
                             FileStamp* pCopied)
{
    m_bClaimTried = false;
    CFileHandle from(OpenSource(source, true));
    const std::string copy = JoinPath(folder, ClaimCopyName(m_claims.mark, name));
    if (!from.IsValid() || !WriteCopy(from, source, copy, CREATE_ALWAYS, pCopied))
        return false;
    // Only one run wins the rename, and only now that its copy is whole; no writer gets in meanwhile.
    m_bClaimTried = true;
    if (::MoveFileExW(WidePath(source).c_str(), WidePath(JoinPath(m_claims.path, name)).c_str(),
                      m_bFlushCopies ? MOVEFILE_WRITE_THROUGH : 0))
        return true;
    const DWORD error = ::GetLastError();
    ::DeleteFileW(WidePath(copy).c_str());
    ::SetLastError(error);
    return false;
}

bool CImportEngine::HandOver(const EntryDecision& decision, const std::string& claimed, const FileStamp& copied,
                             bool bPlace, bool bEarlier)
{
    DWORD error = 0;
    if (bPlace && !PlaceClaimCopy(decision, claimed, copied, &error)) {
        // A claim without its copy would count as handed over: one whose copy is gone, or whose target no
        // copy replaces (a folder, a read-only file), gives the delivery back, then removes the copy. It
        // stays as a failed copy would leave it.
        const WideText copy = WidePath(JoinPath(decision.targetFolder, ClaimCopyName(m_claims.mark, decision.name)));
        const DWORD target = ::GetFileAttributesW(WidePath(decision.target).c_str());
        const bool giveBack = ::GetFileAttributesW(copy.c_str()) == INVALID_FILE_ATTRIBUTES
                              || (target != INVALID_FILE_ATTRIBUTES
                                  && (target & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) != 0);
        if (giveBack
            && ::MoveFileW(WidePath(claimed).c_str(),
                           WidePath(JoinPath(DeliveryFolder(m_input), decision.name)).c_str())) {
            ::DeleteFileW(copy.c_str());
            Record(decision, copied.size, Outcome::kCopyFailed, error);
            return true;
        }
        Record(decision, copied.size, Outcome::kPlaceFailed, error);
        return false;
    }
    std::string archive;
    if (!MoveToBackup(claimed, decision, &archive, &error)) {
        Record(decision, copied.size, Outcome::kArchiveFailed, error);
        return false;
    }
    Record(decision, copied.size,
           !bEarlier ? Outcome::kArchived : bPlace ? Outcome::kClaimFinished : Outcome::kArchivedOnly, 0, archive);
    return true;
}

std::string CImportEngine::BackupName(const std::string& name, unsigned long long suffix)
{
    return suffix == 0 ? name : name + "." + std::to_string(suffix);
}

std::string CImportEngine::FreeBackupName(const std::string& backupFolder, const std::string& name,
                                          const std::vector<std::string>& alsoTaken)
{
    std::vector<unsigned long long> used;
    unsigned long long number = 0;
    for (const std::string& taken : alsoTaken) {
        if (CopyNumber(taken, name, &number))
            used.push_back(number);
    }
    CFolderList list(backupFolder, name + "*");
    FolderEntry entry;
    while (list.Next(&entry)) {
        if (CopyNumber(entry.name, name, &number))
            used.push_back(number);
    }
    std::sort(used.begin(), used.end());
    unsigned long long free = 0;
    for (unsigned long long taken : used) {
        if (taken == free)
            ++free;
        else if (taken > free)
            break;
    }
    return BackupName(name, free);
}

bool CImportEngine::PlaceClaimCopy(const EntryDecision& decision, const std::string& claimed, const FileStamp& copied,
                                   DWORD* pError)
{
    const std::string copyName = ClaimCopyName(m_claims.mark, decision.name);
    for (int attempt = 1; !PlaceCopy(decision.targetFolder, copyName, decision.name, copied); ++attempt) {
        *pError = ::GetLastError();
        if (attempt >= kCopyAttempts)
            return false;
        // A copy that another program's clean-up took is made again from the claimed file; a target
        // that the receive side holds for a moment is tried again.
        if (*pError == ERROR_RETRY) {
            CFileHandle from(OpenSource(claimed, true));
            FileStamp again;
            if (!from.IsValid()
                || !WriteCopy(from, claimed, JoinPath(decision.targetFolder, copyName), CREATE_ALWAYS, &again))
                return false;
        } else if (*pError != ERROR_SHARING_VIOLATION && *pError != ERROR_LOCK_VIOLATION) {
            return false;
        } else {
            ::Sleep(RetryPauseMs());
        }
    }
    return true;
}

bool CImportEngine::MoveToBackup(const std::string& claimed, const EntryDecision& decision, std::string* pArchive,
                                 DWORD* pError)
{
    // A copy number may lengthen the path past the platform's limit: both paths go in their long form.
    const WideText source = WidePath(claimed);
    std::vector<std::string> taken;
    for (std::string archive = decision.name;; archive = FreeBackupName(decision.backupFolder, decision.name, taken)) {
        if (::MoveFileW(source.c_str(), WidePath(JoinPath(decision.backupFolder, archive)).c_str())) {
            *pArchive = archive;
            return true;
        }
        // A name taken (also since the listing, by another run) sends the file on to the next free one.
        *pError = ::GetLastError();
        if (*pError != ERROR_ALREADY_EXISTS && *pError != ERROR_FILE_EXISTS)
            return false;
        taken.push_back(archive);
    }
}

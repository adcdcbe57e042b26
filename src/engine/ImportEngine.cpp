#include "engine/ImportEngine.h"

#include "framework/Handle.h"
#include "framework/Path.h"

#include <algorithm>
#include <cstring>

namespace {

// The copy number of entry as an archive of name: 0 for name itself, n for name + "." + n (n decimal
// without a leading zero), names compared without regard to case as the file system compares them;
// false for any other entry.
bool CopyNumber(const std::string& entry, const std::string& name, unsigned long long* pNumber)
{
    if (entry.size() < name.size() || ::lstrcmpiA(entry.substr(0, name.size()).c_str(), name.c_str()) != 0)
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

// True when the file at target has the size and the bytes of the file at source. The source is opened as
// a copy opens it.
bool HoldsSameBytes(const std::string& target, const std::string& source, ULONGLONG size)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!::GetFileAttributesExW(WidePath(target).c_str(), GetFileExInfoStandard, &data)
        || (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0
        || ((static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow) != size)
        return false;
    CFileHandle there(::CreateFileW(WidePath(target).c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    CFileHandle here(::CreateFileW(WidePath(source).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                   FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!there.IsValid() || !here.IsValid())
        return false;
    const DWORD kChunk = 64 * 1024;
    std::vector<char> a(kChunk), b(kChunk);
    for (;;) {
        DWORD readA = 0, readB = 0;
        if (!::ReadFile(there, a.data(), kChunk, &readA, nullptr) || !::ReadFile(here, b.data(), kChunk, &readB, nullptr)
            || readA != readB || std::memcmp(a.data(), b.data(), readA) != 0)
            return false;
        if (readA == 0)
            return true;
    }
}

} // namespace

CImportEngine::CImportEngine(IRunView* pOwner, const RunInput& input, DWORD dwRetryPauseMs)
    : CTransferEngine(pOwner, input, dwRetryPauseMs)
{
}

int CImportEngine::Run()
{
    if (!MayStart(RunKind::kImport))
        return 0;
    ::CreateDirectoryW(WidePath(JoinPath(DeliveryFolder(m_input), kBackupFolder)).c_str(), nullptr);
    RemoveTemporaryFiles(m_input.strDestPath);
    WalkFolder(DeliveryFolder(m_input));
    return 1;
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
    if (::lstrcmpiA(decision.name.c_str(), kBackupFolder) == 0)
        decision.reason = EntryReason::kBackupName;
    else if (!FitsMaxPath(decision.target))
        decision.reason = EntryReason::kTargetTooLong;
    else if (!FitsMaxPath(JoinPath(decision.backupFolder, decision.name)))
        decision.reason = EntryReason::kArchiveTooLong;
    else
        decision.action = HoldsSameBytes(decision.target, decision.source, entry.size) ? EntryAction::kArchive
                                                                                     : EntryAction::kCopy;
    return decision;
}

DWORD CImportEngine::ArchiveBlocker(const EntryDecision& decision, bool bMayBeMade)
{
    const DWORD attributes = ::GetFileAttributesW(WidePath(decision.backupFolder).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = ::GetLastError();
        if (!bMayBeMade || (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND))
            return error;
    } else if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        return ERROR_DIRECTORY;
    }
    // A move opens the file for deleting it under its old name, and shares it with everyone.
    CFileHandle file(::CreateFileW(WidePath(decision.source).c_str(), DELETE,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    return file.IsValid() ? 0 : ::GetLastError();
}

void CImportEngine::OnEntry(const FolderEntry& entry)
{
    const EntryDecision decision = Decide(m_input, entry);
    if (decision.action == EntryAction::kPassOver)
        return;
    m_pOwner->SetStatus(("正在转移文件：" + decision.name).c_str());
    if (decision.action == EntryAction::kStay)
        Record(decision, entry, Outcome::kLeft);
    else
        Deliver(decision, entry);
    m_pOwner->SetPos(5);
}

void CImportEngine::Deliver(const EntryDecision& decision, const FolderEntry& listed)
{
    DWORD error = 0;
    if (decision.action == EntryAction::kCopy) {
        // A file copied but not archived would be copied again by every run, over whatever the receive
        // side has made of it since: nothing is copied that cannot be archived.
        error = ArchiveBlocker(decision, false);
        if (error != 0) {
            if (IsGone(decision.source))
                Record(decision, listed, Outcome::kSourceGone);
            else
                Record(decision, listed, Outcome::kArchiveImpossible, error);
            return;
        }
        switch (CopyWithRetry(decision.source, decision.targetFolder, decision.name, &error)) {
        case kSourceGone:
            Record(decision, listed, Outcome::kSourceGone);
            return;
        case kCopyFailed:
            Record(decision, listed, Outcome::kCopyFailed, error);
            return;
        case kCopied:
            break;
        }
    }
    // A file that changed since it was listed stays for the next run, which copies it again.
    if (!IsUnchanged(decision.source, StampOf(listed))) {
        Record(decision, listed, IsGone(decision.source) ? Outcome::kSourceGone : Outcome::kSourceChanged);
        return;
    }
    std::string archive;
    if (MoveToBackup(decision, &archive, &error))
        Record(decision, listed, decision.action == EntryAction::kArchive ? Outcome::kArchivedOnly : Outcome::kArchived,
               0, archive);
    else
        Record(decision, listed, Outcome::kArchiveFailed, error);
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

bool CImportEngine::MoveToBackup(const EntryDecision& decision, std::string* pArchive, DWORD* pError)
{
    // A copy number may lengthen the path past the platform's limit: both paths go in their long form.
    const CWidePath source = WidePath(decision.source);
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

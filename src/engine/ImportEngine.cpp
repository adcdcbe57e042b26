#include "engine/ImportEngine.h"

#include "framework/Handle.h"
#include "framework/Path.h"

#include <algorithm>

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

} // namespace

CImportEngine::CImportEngine(IRunView* pOwner, const RunInput& input, DWORD dwRetryPauseMs)
    : CTransferEngine(pOwner, input, dwRetryPauseMs)
{
}

int CImportEngine::Run()
{
    if (!MayStart(RunKind::kImport))
        return 0;
    const std::string delivery = DeliveryFolder(m_input);
    ::CreateDirectoryA(Join(delivery, kBackupFolder).c_str(), nullptr);
    RemoveTemporaryFiles(m_input.strDestPath);
    WalkFolder(delivery);
    return 1;
}

EntryDecision CImportEngine::Decide(const RunInput& input, const WIN32_FIND_DATAA& entry)
{
    EntryDecision decision = Listed(DeliveryFolder(input), entry);
    if (decision.reason != EntryReason::kNone)
        return decision;
    decision.targetFolder = input.strDestPath;
    decision.target = Join(decision.targetFolder, decision.name);
    decision.backupFolder = Join(DeliveryFolder(input), kBackupFolder);
    decision.action = EntryAction::kStay;
    if (!FitsMaxPath(decision.target))
        decision.reason = EntryReason::kTargetTooLong;
    else if (!FitsMaxPath(Join(decision.backupFolder, decision.name)))
        decision.reason = EntryReason::kArchiveTooLong;
    else
        decision.action = EntryAction::kCopy;
    return decision;
}

void CImportEngine::OnEntry(const WIN32_FIND_DATAA& data)
{
    const EntryDecision decision = Decide(m_input, data);
    if (decision.action == EntryAction::kPassOver)
        return;
    m_pOwner->SetStatus(("正在转移文件：" + decision.name).c_str());
    if (decision.action == EntryAction::kStay)
        Record(decision, data, Outcome::kLeft);
    else
        Deliver(decision, data);
    m_pOwner->SetPos(5);
}

void CImportEngine::Deliver(const EntryDecision& decision, const WIN32_FIND_DATAA& listed)
{
    DWORD error = 0;
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
    // A file that changed since it was listed stays for the next run, which copies it again.
    if (!IsUnchanged(decision.source, StampOf(listed))) {
        Record(decision, listed, Outcome::kSourceChanged);
        return;
    }
    std::string archive;
    if (MoveToBackup(decision, &archive, &error))
        Record(decision, listed, Outcome::kArchived, 0, archive);
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
    WIN32_FIND_DATAA data;
    CFindHandle find(::FindFirstFileA((Join(backupFolder, name) + "*").c_str(), &data));
    if (find.IsValid()) {
        do {
            if (CopyNumber(data.cFileName, name, &number))
                used.push_back(number);
        } while (::FindNextFileA(find, &data));
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
        if (::MoveFileW(source.c_str(), WidePath(Join(decision.backupFolder, archive)).c_str())) {
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

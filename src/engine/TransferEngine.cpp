#include "engine/TransferEngine.h"

#include "engine/Claim.h"
#include "framework/Handle.h"
#include "framework/Path.h"

#include <objbase.h>

#include <cstring>

namespace {

const char kTempPrefix[] = ".~qrvlnk-";
const char kTempSuffix[] = ".part";
// Hex digits of the time in a temporary name.
const size_t kTimeDigits = 16;
const size_t kCopyBufferBytes = 256 * 1024;

ULONGLONG ToNumber(const FILETIME& time)
{
    return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// The time a temporary name was made at, when it carries one.
bool TimeInName(const char* name, ULONGLONG* pTime)
{
    const char* digits = name + sizeof(kTempPrefix) - 1;
    ULONGLONG time = 0;
    for (size_t i = 0; i < kTimeDigits; ++i) {
        const char c = digits[i];
        const int value = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
        if (value < 0)
            return false;
        time = time << 4 | static_cast<ULONGLONG>(value);
    }
    *pTime = time;
    return digits[kTimeDigits] == '-';
}

// Makes the entries of folder durable: what the platform offers beyond the write-through rename (Wine
// syncs the folder on Linux, for one). Where it offers nothing the call just fails.
void FlushFolder(const std::string& folder)
{
    CFileHandle dir(::CreateFileW(WidePath(folder).c_str(), GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (dir.IsValid())
        ::FlushFileBuffers(dir);
}

EntryReason ReasonOf(NameFault fault)
{
    switch (fault) {
    case NameFault::kNotGbk:
        return EntryReason::kNameNotGbk;
    case NameFault::kTrailingDotOrBlank:
        return EntryReason::kNameTrailingDotOrBlank;
    case NameFault::kDeviceName:
        return EntryReason::kNameDevice;
    case NameFault::kCaseTwin:
        return EntryReason::kNameCaseTwin;
    default:
        return EntryReason::kNone;
    }
}

} // namespace

CTransferEngine::CTransferEngine(IRunView* pOwner, const RunInput& input, DWORD dwRetryPauseMs)
    : m_bFlushCopies(true), m_pOwner(pOwner), m_input(input), m_pRecord(nullptr), m_dwRetryPauseMs(dwRetryPauseMs),
      m_bStopped(false)
{
}

bool CTransferEngine::IsTemporaryName(const char* name)
{
    const size_t length = std::strlen(name);
    const size_t prefix = sizeof(kTempPrefix) - 1;
    const size_t suffix = sizeof(kTempSuffix) - 1;
    return length >= prefix + suffix && std::strncmp(name, kTempPrefix, prefix) == 0
           && std::strcmp(name + length - suffix, kTempSuffix) == 0;
}

std::string CTransferEngine::MakeTemporaryName(const FILETIME& made)
{
    GUID random = {};
    if (FAILED(::CoCreateGuid(&random))) {
        LARGE_INTEGER counter;
        ::QueryPerformanceCounter(&counter);
        random.Data1 = counter.LowPart;
        random.Data2 = static_cast<WORD>(counter.HighPart);
    }
    char name[128];
    ::wsprintfA(name, "%s%08lx%08lx-%lx-%lx-%08lx%04x%04x%02x%02x%02x%02x%02x%02x%02x%02x%s", kTempPrefix,
                made.dwHighDateTime, made.dwLowDateTime, ::GetCurrentProcessId(), ::GetCurrentThreadId(),
                random.Data1, random.Data2, random.Data3, random.Data4[0], random.Data4[1], random.Data4[2],
                random.Data4[3], random.Data4[4], random.Data4[5], random.Data4[6], random.Data4[7], kTempSuffix);
    return name;
}

bool CTransferEngine::IsStaleTemporary(const FolderEntry& entry, const FILETIME& now)
{
    if (IsClaimCopyName(entry.name.c_str()))
        return false;
    ULONGLONG made = 0;
    if (!TimeInName(entry.name.c_str(), &made))
        made = ToNumber(entry.lastWrite);
    const ULONGLONG current = ToNumber(now);
    return current > made && current - made >= kStaleTemporaryAge;
}

CTransferEngine::FileStamp CTransferEngine::StampOf(const FolderEntry& entry)
{
    return FileStamp{ entry.size, entry.lastWrite, entry.attributes };
}

bool CTransferEngine::IsGone(const std::string& path)
{
    if (::GetFileAttributesW(WidePath(path).c_str()) != INVALID_FILE_ATTRIBUTES)
        return false;
    const DWORD error = ::GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

bool CTransferEngine::IsFolder(const std::string& path)
{
    const DWORD attributes = ::GetFileAttributesW(WidePath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool CTransferEngine::IsUnchanged(const std::string& path, const FileStamp& stamp)
{
    WIN32_FILE_ATTRIBUTE_DATA now;
    if (!::GetFileAttributesExW(WidePath(path).c_str(), GetFileExInfoStandard, &now))
        return false;
    const ULONGLONG size = (static_cast<ULONGLONG>(now.nFileSizeHigh) << 32) | now.nFileSizeLow;
    return size == stamp.size && ::CompareFileTime(&now.ftLastWriteTime, &stamp.lastWrite) == 0;
}

EntryDecision CTransferEngine::Listed(const std::string& folder, const FolderEntry& entry)
{
    EntryDecision decision;
    decision.name = entry.name;
    decision.source = JoinPath(folder, decision.name);
    // A temporary copy is passed over whatever its name shares with another one's.
    if (entry.IsFolder()) {
        decision.reason = EntryReason::kFolder;
    } else if (IsTemporaryName(entry.name.c_str())) {
        decision.reason = EntryReason::kTemporary;
    } else if (entry.fault != NameFault::kNone) {
        decision.action = EntryAction::kStay;
        decision.reason = ReasonOf(entry.fault);
    }
    return decision;
}

bool CTransferEngine::MayStart(RunKind kind)
{
    const RunRefusal refused = RefusalOf(m_input, kind);
    if (refused.value == Refusal::kNone)
        return true;
    const std::string refusal = RefusalText(refused);
    const Box box = BoxColumn();
    if (m_pRecord != nullptr)
        m_pRecord->Refused(refusal, box);
    ShowAfterLine(refusal, box);
    return false;
}

void CTransferEngine::ShowAfterLine(const std::string& text, Box box)
{
    const BoxAnswer answer = m_pOwner->ShowError(text.c_str());
    if (box == Box::kShowing && m_pRecord != nullptr)
        m_pRecord->BoxClosed(answer);
}

void CTransferEngine::Record(const EntryDecision& decision, ULONGLONG size, Outcome outcome, DWORD error,
                             const std::string& archive, Box box)
{
    if (m_pRecord != nullptr)
        m_pRecord->Entry(decision, size, outcome, error, archive, box);
}

void CTransferEngine::WalkFolder(const std::string& dir)
{
    for (const FolderEntry& entry : ListFolder(dir)) {
        if (m_pOwner->IsStopRequested()) {
            m_bStopped = true;
            return;
        }
        OnEntry(entry);
    }
}

CTransferEngine::CopyResult CTransferEngine::CopyWithRetry(const std::string& source, const std::string& folder,
                                                           const std::string& name, FileStamp* pCopied,
                                                           DWORD* pError)
{
    for (int attempt = 1;; ++attempt) {
        if (CopyOnce(source, folder, name, pCopied))
            return kCopied;
        const DWORD error = ::GetLastError();
        *pError = error;
        const DWORD attributes = ::GetFileAttributesW(WidePath(source).c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES && IsGone(source))
            return kSourceGone;
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
            return kSourceNowFolder;
        if ((error != ERROR_SHARING_VIOLATION && error != ERROR_LOCK_VIOLATION && error != ERROR_RETRY)
            || attempt >= kCopyAttempts)
            return kCopyFailed;
        ::Sleep(m_dwRetryPauseMs);
    }
}

HANDLE CTransferEngine::OpenSource(const std::string& source, bool bMayMove)
{
    return ::CreateFileW(WidePath(source).c_str(), GENERIC_READ, FILE_SHARE_READ | (bMayMove ? FILE_SHARE_DELETE : 0),
                         nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
}

bool CTransferEngine::CopyOnce(const std::string& source, const std::string& folder, const std::string& name,
                               FileStamp* pCopied)
{
    CFileHandle from(OpenSource(source, false));
    FILETIME now;
    ::GetSystemTimeAsFileTime(&now);
    const std::string temp = MakeTemporaryName(now);
    if (!from.IsValid() || !WriteCopy(from, source, JoinPath(folder, temp), CREATE_NEW, pCopied))
        return false;
    if (PlaceCopy(folder, temp, name, *pCopied))
        return true;
    const DWORD error = ::GetLastError();
    ::DeleteFileW(WidePath(JoinPath(folder, temp)).c_str());
    ::SetLastError(error);
    return false;
}

bool CTransferEngine::WriteCopy(HANDLE from, const std::string& source, const std::string& temp, DWORD creation,
                                FileStamp* pCopied)
{
    // (Not GetFileInformationByHandle, which asks for the volume too: under Wine that costs more than
    // the copy of a small file.)
    pCopied->size = 0;
    pCopied->attributes = ::GetFileAttributesW(WidePath(source).c_str());
    if (!::GetFileTime(from, nullptr, nullptr, &pCopied->lastWrite) || pCopied->attributes == INVALID_FILE_ATTRIBUTES)
        return false;
    // The temporary path may pass the platform's path limit where the target's does not: it goes in its
    // long form then.
    const WideText path = WidePath(temp);
    {
        // Nobody else may open it while it is written.
        CFileHandle to(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, creation, FILE_ATTRIBUTE_HIDDEN, nullptr));
        if (!to.IsValid())
            return false;
        if (!CopyData(from, to, &pCopied->size) || !::SetFileTime(to, nullptr, nullptr, &pCopied->lastWrite)
            || (m_bFlushCopies && !::FlushFileBuffers(to))) {
            const DWORD error = ::GetLastError();
            to.Close();
            ::DeleteFileW(path.c_str());
            ::SetLastError(error);
            return false;
        }
    }
    // Only the bytes just written go under the final name. A temporary file that another program's
    // clean-up took, or that is not what was written, is left alone and the copy made again.
    WIN32_FILE_ATTRIBUTE_DATA onDisk;
    if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &onDisk)
        || ((static_cast<ULONGLONG>(onDisk.nFileSizeHigh) << 32) | onDisk.nFileSizeLow) != pCopied->size) {
        ::SetLastError(ERROR_RETRY);
        return false;
    }
    return true;
}

bool CTransferEngine::PlaceCopy(const std::string& folder, const std::string& temp, const std::string& name,
                                const FileStamp& copied)
{
    const WideText from = WidePath(JoinPath(folder, temp));
    const WideText target = WidePath(JoinPath(folder, name));
    const DWORD flags = MOVEFILE_REPLACE_EXISTING | (m_bFlushCopies ? MOVEFILE_WRITE_THROUGH : 0);
    if (!::MoveFileExW(from.c_str(), target.c_str(), flags)) {
        const DWORD error = ::GetLastError();
        ::SetLastError(::GetFileAttributesW(from.c_str()) == INVALID_FILE_ATTRIBUTES ? ERROR_RETRY : error);
        return false;
    }
    // The target takes the source's attributes, as a plain file copy gives them.
    ::SetFileAttributesW(target.c_str(), copied.attributes);
    if (m_bFlushCopies)
        FlushFolder(folder);
    return true;
}

bool CTransferEngine::CopyData(HANDLE hFrom, HANDLE hTo, ULONGLONG* pWritten)
{
    m_buffer.resize(kCopyBufferBytes);
    for (;;) {
        DWORD read = 0;
        if (!::ReadFile(hFrom, m_buffer.data(), static_cast<DWORD>(m_buffer.size()), &read, nullptr))
            return false;
        if (read == 0)
            return true;
        DWORD written = 0;
        if (!::WriteFile(hTo, m_buffer.data(), read, &written, nullptr))
            return false;
        // A write that takes less than it was given has met the end of the disk's free space.
        if (written != read) {
            ::SetLastError(ERROR_DISK_FULL);
            return false;
        }
        *pWritten += written;
    }
}

void CTransferEngine::RemoveTemporaryFiles(const std::string& folder)
{
    FILETIME now;
    ::GetSystemTimeAsFileTime(&now);
    CFolderList list(folder, std::string(kTempPrefix) + "*" + kTempSuffix);
    FolderEntry entry;
    while (list.Next(&entry)) {
        if (!entry.IsFolder() && entry.fault == NameFault::kNone && IsTemporaryName(entry.name.c_str())
            && IsStaleTemporary(entry, now))
            ::DeleteFileW(WidePath(JoinPath(folder, entry.name)).c_str());
    }
}

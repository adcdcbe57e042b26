#include "engine/TransferEngine.h"

#include "framework/Handle.h"

#include <cstdio>
#include <cstring>

namespace {

// Hidden temporary copies: ".~qrvlnk-<process>-<thread>.part", one per copying thread.
const char kTempPrefix[] = ".~qrvlnk-";
const char kTempSuffix[] = ".part";
const size_t kCopyBufferBytes = 256 * 1024;

std::string TemporaryName()
{
    char name[64];
    std::snprintf(name, sizeof(name), "%s%lx-%lx%s", kTempPrefix, ::GetCurrentProcessId(), ::GetCurrentThreadId(),
                  kTempSuffix);
    return name;
}

bool IsGone(const std::string& path)
{
    if (::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES)
        return false;
    const DWORD error = ::GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

} // namespace

CTransferEngine::CTransferEngine(IRunView* pOwner, DWORD dwRetryPauseMs)
    : m_pOwner(pOwner), m_dwRetryPauseMs(dwRetryPauseMs)
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

CTransferEngine::FileStamp CTransferEngine::StampOf(const WIN32_FIND_DATAA& data)
{
    FileStamp stamp;
    stamp.size = (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    stamp.lastWrite = data.ftLastWriteTime;
    return stamp;
}

bool CTransferEngine::IsUnchanged(const std::string& path, const FileStamp& stamp)
{
    WIN32_FILE_ATTRIBUTE_DATA now;
    if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &now))
        return false;
    const ULONGLONG size = (static_cast<ULONGLONG>(now.nFileSizeHigh) << 32) | now.nFileSizeLow;
    return size == stamp.size && ::CompareFileTime(&now.ftLastWriteTime, &stamp.lastWrite) == 0;
}

std::string CTransferEngine::Join(const std::string& dir, const std::string& name)
{
    return dir + "\\" + name;
}

bool CTransferEngine::IsSet(const std::string& value, const char* missingText)
{
    if (!value.empty())
        return true;
    m_pOwner->ShowError(missingText);
    return false;
}

void CTransferEngine::WalkFolder(const std::string& dir)
{
    WIN32_FIND_DATAA data;
    CFindHandle find(::FindFirstFileA(Join(dir, "*.*").c_str(), &data));
    if (!find.IsValid())
        return;
    do {
        if (m_pOwner->IsStopRequested())
            return;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            OnDirectory();
        else if (!IsTemporaryName(data.cFileName))
            OnFile(data);
    } while (::FindNextFileA(find, &data));
}

CTransferEngine::CopyResult CTransferEngine::CopyWithRetry(const std::string& source, const std::string& folder,
                                                           const std::string& name)
{
    for (int attempt = 1;; ++attempt) {
        if (CopyOnce(source, folder, name))
            return kCopied;
        const DWORD error = ::GetLastError();
        if (IsGone(source))
            return kSourceGone;
        if ((error != ERROR_SHARING_VIOLATION && error != ERROR_LOCK_VIOLATION) || attempt >= kCopyAttempts)
            return kCopyFailed;
        ::Sleep(m_dwRetryPauseMs);
    }
}

bool CTransferEngine::CopyOnce(const std::string& source, const std::string& folder, const std::string& name)
{
    CFileHandle from(::CreateFileA(source.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                   FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    BY_HANDLE_FILE_INFORMATION info;
    if (!from.IsValid() || !::GetFileInformationByHandle(from, &info))
        return false;
    const std::string temp = Join(folder, TemporaryName());
    const std::string target = Join(folder, name);
    bool bCopied = false;
    {
        CFileHandle to(::CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_HIDDEN,
                                     nullptr));
        if (!to.IsValid())
            return false;
        bCopied = CopyData(from, to) && ::SetFileTime(to, nullptr, nullptr, &info.ftLastWriteTime);
    }
    if (bCopied && ::MoveFileExA(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        // The target takes the source's attributes, as a plain file copy gives them.
        ::SetFileAttributesA(target.c_str(), info.dwFileAttributes);
        return true;
    }
    const DWORD error = ::GetLastError();
    ::DeleteFileA(temp.c_str());
    ::SetLastError(error);
    return false;
}

bool CTransferEngine::CopyData(HANDLE hFrom, HANDLE hTo)
{
    m_buffer.resize(kCopyBufferBytes);
    for (;;) {
        DWORD read = 0;
        if (!::ReadFile(hFrom, m_buffer.data(), static_cast<DWORD>(m_buffer.size()), &read, nullptr))
            return false;
        if (read == 0)
            return true;
        DWORD written = 0;
        if (!::WriteFile(hTo, m_buffer.data(), read, &written, nullptr) || written != read)
            return false;
    }
}

void CTransferEngine::RemoveTemporaryFiles(const std::string& folder)
{
    WIN32_FIND_DATAA data;
    CFindHandle find(::FindFirstFileA(Join(folder, std::string(kTempPrefix) + "*" + kTempSuffix).c_str(), &data));
    if (!find.IsValid())
        return;
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && IsTemporaryName(data.cFileName))
            ::DeleteFileA(Join(folder, data.cFileName).c_str());
    } while (::FindNextFileA(find, &data));
}

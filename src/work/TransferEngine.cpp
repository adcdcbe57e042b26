#include "work/TransferEngine.h"

#include "framework/Handle.h"
#include "settings/Settings.h"

CTransferEngine::CTransferEngine(IRunView* pOwner, bool bAuto, DWORD dwRetryPauseMs)
    : m_pOwner(pOwner), m_bAuto(bAuto), m_dwRetryPauseMs(dwRetryPauseMs)
{
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

bool CTransferEngine::ReadRequiredSetting(const char* name, const char* missingText, std::string& value)
{
    value = settings::GetString(name);
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
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            OnDirectory();
        else
            OnFile(data);
    } while (::FindNextFileA(find, &data));
}

bool CTransferEngine::CopyWithRetry(const std::string& source, const std::string& target)
{
    for (int attempt = 1;; ++attempt) {
        if (CopyOnce(source, target))
            return true;
        const DWORD error = ::GetLastError();
        if ((error != ERROR_SHARING_VIOLATION && error != ERROR_LOCK_VIOLATION) || attempt >= kCopyAttempts)
            return false;
        ::Sleep(m_dwRetryPauseMs);
    }
}

bool CTransferEngine::CopyOnce(const std::string& source, const std::string& target)
{
    return ::CopyFileA(source.c_str(), target.c_str(), FALSE) != FALSE;
}

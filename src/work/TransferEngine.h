// What the export and the import engine share: the owner they report to, the directory settings a run
// needs, the walk over one folder, and the careful copy of one file.
#pragma once
#include "work/RunView.h"

#include <string>

class CTransferEngine {
public:
    virtual ~CTransferEngine() {}
    CTransferEngine(const CTransferEngine&) = delete;
    CTransferEngine& operator=(const CTransferEngine&) = delete;

    // 1 when the run took place, 0 when it was refused.
    virtual int Run() = 0;

    // Pause between two attempts at a copy that another program blocks for a moment.
    static constexpr DWORD kDefaultRetryPauseMs = 200;
    // Attempts at such a copy before it counts as failed.
    static constexpr int kCopyAttempts = 5;

    // dir + "\" + name, whether or not dir already ends in a backslash.
    static std::string Join(const std::string& dir, const std::string& name);

protected:
    CTransferEngine(IRunView* pOwner, bool bAuto, DWORD dwRetryPauseMs);

    // A file's size and last-write time.
    struct FileStamp {
        ULONGLONG size;
        FILETIME lastWrite;
    };
    static FileStamp StampOf(const WIN32_FIND_DATAA& data);
    // True when the file still has that size and last-write time.
    static bool IsUnchanged(const std::string& path, const FileStamp& stamp);

    // Reads a directory setting of the profile; when it is empty, shows missingText and returns false.
    bool ReadRequiredSetting(const char* name, const char* missingText, std::string& value);
    // Offers every entry of dir to OnFile, in the file system's order; directories (".", ".." and
    // subfolders) go to OnDirectory and are never entered.
    void WalkFolder(const std::string& dir);
    virtual void OnFile(const WIN32_FIND_DATAA& data) = 0;
    virtual void OnDirectory() {}

    // Copies, replacing a target of that name. A copy refused for a sharing or lock violation is tried
    // again, kCopyAttempts times in all.
    bool CopyWithRetry(const std::string& source, const std::string& target);
    // One copy attempt; the error is left in GetLastError.
    virtual bool CopyOnce(const std::string& source, const std::string& target);

    IRunView* m_pOwner;
    bool m_bAuto;

private:
    DWORD m_dwRetryPauseMs;
};

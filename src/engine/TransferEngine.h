// What the export and the import engine share: the owner they report to, the directory settings a run
// needs, the walk over one folder, and the careful copy of one file.
//
// A copy never appears under its final name before it is whole: it is written to a hidden temporary
// file in the target folder and renamed over the target at the end. The source stays open without
// write sharing for the whole copy, so a writer that still holds it (or opens it meanwhile) fails the
// copy instead of handing over half a file.
#pragma once
#include "engine/RunView.h"

#include <windows.h>

#include <string>
#include <vector>

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

    // True for the names of the temporary files that copies are written to.
    static bool IsTemporaryName(const char* name);

    // dir + "\" + name; the backslash is added even when dir already ends in one.
    static std::string Join(const std::string& dir, const std::string& name);

protected:
    CTransferEngine(IRunView* pOwner, DWORD dwRetryPauseMs);

    // A file's size and last-write time.
    struct FileStamp {
        ULONGLONG size;
        FILETIME lastWrite;
    };
    static FileStamp StampOf(const WIN32_FIND_DATAA& data);
    // True when the file still has that size and last-write time.
    static bool IsUnchanged(const std::string& path, const FileStamp& stamp);

    // True when a directory the run needs is set; otherwise shows missingText.
    bool IsSet(const std::string& value, const char* missingText);
    // Offers every entry of dir to OnFile, in the file system's order, until a stop is requested;
    // directories (".", ".." and subfolders) go to OnDirectory and are never entered. Temporary copy
    // files are passed over.
    void WalkFolder(const std::string& dir);
    virtual void OnFile(const WIN32_FIND_DATAA& data) = 0;
    virtual void OnDirectory() {}

    enum CopyResult { kCopied, kSourceGone, kCopyFailed };
    // Copies source to folder\name, replacing a file of that name. A copy refused for a sharing or lock
    // violation is tried again, kCopyAttempts times in all. A source that no longer exists is reported
    // as gone, not as a failure.
    CopyResult CopyWithRetry(const std::string& source, const std::string& folder, const std::string& name);
    // One copy attempt; the error is left in GetLastError.
    virtual bool CopyOnce(const std::string& source, const std::string& folder, const std::string& name);
    // Removes the temporary files that an interrupted run left in folder; files still open are kept.
    static void RemoveTemporaryFiles(const std::string& folder);

    IRunView* m_pOwner;

private:
    bool CopyData(HANDLE hFrom, HANDLE hTo);

    DWORD m_dwRetryPauseMs;
    std::vector<char> m_buffer;
};

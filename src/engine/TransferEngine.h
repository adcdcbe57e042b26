// What the export and the import engine share: the owner they report to, the input of the run and
// its refusal, the walk over one folder, and the careful copy of one file.
//
// A copy never appears under its final name before it is whole and on disk: it is written to a hidden
// temporary file in the target folder, flushed, checked to be the bytes just written, and renamed over
// the target with write-through; then the folder is flushed as far as the platform allows. Only then
// may the caller delete or archive the source. The source
// stays open without write sharing for the whole copy, so a writer that still holds it (or opens it
// meanwhile) fails the copy instead of handing over half a file.
//
// Temporary names carry the time they were made and a random part, so that no other process, user or
// machine writing to the same folder ever makes the same one. A run removes only temporary files older
// than kStaleTemporaryAge, which no copy takes: a younger one may belong to a copy still under way
// elsewhere. Should one vanish all the same before its rename, the copy is made again.
#pragma once
#include "engine/EntryDecision.h"
#include "engine/RunInput.h"
#include "engine/RunView.h"
#include "engine/TransferRecord.h"
#include "framework/FolderList.h"

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
    // A temporary file this old (100 ns units: one day) belongs to no copy still under way.
    static constexpr ULONGLONG kStaleTemporaryAge = 24ULL * 60 * 60 * 10000000;

    // True for the names of the temporary files that copies are written to.
    static bool IsTemporaryName(const char* name);
    // The temporary name of a copy begun at made: ".~qrvlnk-<made>-<process>-<thread>-<random>.part".
    static std::string MakeTemporaryName(const FILETIME& made);
    // True for a temporary file that a run removes at now: older than kStaleTemporaryAge by the time in
    // its name, or, for a name without one, by its last-write time; never the copy of a claimed delivery,
    // which waits for the next import into its folder.
    static bool IsStaleTemporary(const FolderEntry& entry, const FILETIME& now);

    // Copies are flushed to disk before their rename and renamed with write-through; the benchmark
    // turns this off to measure what it costs.
    bool m_bFlushCopies;

    const RunInput& Input() const { return m_input; }
    // True when the run ended early, at a stop request.
    bool WasStopped() const { return m_bStopped; }
    // The record that the run's refusal and each file's outcome are written to; none when null.
    void SetRecord(CTransferRecord* pRecord) { m_pRecord = pRecord; }

protected:
    CTransferEngine(IRunView* pOwner, const RunInput& input, DWORD dwRetryPauseMs);

    // A file's size and last-write time (and, for a copy, the attributes that its target takes).
    struct FileStamp {
        ULONGLONG size;
        FILETIME lastWrite;
        DWORD attributes;
    };
    static FileStamp StampOf(const FolderEntry& entry);
    // True when nothing is at path any more.
    static bool IsGone(const std::string& path);
    // True when a folder stands at path.
    static bool IsFolder(const std::string& path);
    // True when the file still has that size and last-write time.
    static bool IsUnchanged(const std::string& path, const FileStamp& stamp);

    // The decision for an entry of folder as far as both runs make it alike: a folder or a temporary
    // copy (even one whose name differs from another's only in case) is passed over, and a file whose
    // name cannot be opened as listed stays, each with its reason; any other file has none yet.
    static EntryDecision Listed(const std::string& folder, const FolderEntry& entry);
    // False, after showing why, when a run of that kind must not start.
    bool MayStart(RunKind kind);
    // The box column of a line whose error box follows it: the line goes to the record first, so that
    // its cause is kept whatever becomes of the box and of the host.
    Box BoxColumn() const { return m_pOwner->CanShowError() ? Box::kShowing : Box::kNotShown; }
    // Shows text in the error box of a line written with box.
    void ShowAfterLine(const std::string& text, Box box);
    // Writes what became of a file of that size to the record.
    void Record(const EntryDecision& decision, ULONGLONG size, Outcome outcome, DWORD error = 0,
                const std::string& archive = std::string(), Box box = Box::kNone);
    // Offers every entry of dir (ListFolder), "." and ".." included, to OnEntry in the file system's
    // order, until a stop is requested.
    void WalkFolder(const std::string& dir);
    virtual void OnEntry(const FolderEntry& entry) = 0;

    enum CopyResult { kCopied, kSourceGone, kSourceNowFolder, kCopyFailed };
    // Copies source to folder\name, replacing a file of that name; *pCopied is the stamp of what was
    // copied, as the open source gave it. A copy refused for a sharing or lock violation, or whose
    // temporary file vanished, is tried again, kCopyAttempts times in all. A source that no longer
    // exists, or is a folder now, is reported so, not as a failure. *pError is the last attempt's error.
    CopyResult CopyWithRetry(const std::string& source, const std::string& folder, const std::string& name,
                             FileStamp* pCopied, DWORD* pError);
    // One copy attempt; the error is left in GetLastError (ERROR_RETRY when another attempt may work).
    virtual bool CopyOnce(const std::string& source, const std::string& folder, const std::string& name,
                          FileStamp* pCopied);
    // Opens source for a copy: readers may share it, writers may not; with bMayMove it may be renamed
    // meanwhile (by this run, or by another one that wins it).
    static HANDLE OpenSource(const std::string& source, bool bMayMove);
    // Writes the bytes of the open source from to a new hidden file at temp (creation: CREATE_NEW, or
    // CREATE_ALWAYS for a name that only this run writes to now), flushed and checked to be the bytes
    // read; *pCopied is their stamp. On failure temp is removed again.
    bool WriteCopy(HANDLE from, const std::string& source, const std::string& temp, DWORD creation,
                   FileStamp* pCopied);
    // Renames the written copy folder\temp over folder\name with the attributes of copied, then
    // flushes the folder. A copy that vanished meanwhile fails with ERROR_RETRY.
    bool PlaceCopy(const std::string& folder, const std::string& temp, const std::string& name,
                   const FileStamp& copied);
    // The pause before another attempt at a step that another program blocks for a moment.
    DWORD RetryPauseMs() const { return m_dwRetryPauseMs; }
    // Removes the stale temporary files that interrupted copies left in folder; files still open, and an
    // import's copies of claimed deliveries, are kept.
    static void RemoveTemporaryFiles(const std::string& folder);

    IRunView* m_pOwner;
    const RunInput m_input;
    CTransferRecord* m_pRecord;

private:
    bool CopyData(HANDLE hFrom, HANDLE hTo, ULONGLONG* pWritten);

    DWORD m_dwRetryPauseMs;
    bool m_bStopped;
    std::vector<char> m_buffer;
};

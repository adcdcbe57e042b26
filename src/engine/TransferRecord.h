// The transfer record: a line for the start and the end of every run and for every file a run handles,
// appended to "传送记录.csv" beside the INI files, as GBK comma-separated text that Excel and WPS on a
// Chinese Windows open with a double-click. Paths are written whole, so no field starts with a formula
// character.
//
// It never costs a run its work: a record that cannot be opened or written is passed over. Each line
// goes to the end of the file with one write under a lock that all writers take, so that lines of two
// processes never mix; a line that cannot be written whole is taken back, and a file that does not end
// in a line end (cut by a power cut, or saved so by an editor) gets one first. While a run lives it
// holds a lock of its own on the file it writes, so that a reader tells a run under way from one that
// was cut off (the lock goes with the process, whatever ends it).
//
// When a run starts, a record of kRotateBytes or more becomes "传送记录.1.csv" and the older ones move
// on to .2 and .3: each into the first free place, the oldest going only when every place is taken, so
// that nothing but the oldest is lost, also when a rotation was left half done. Runs of every process
// and computer rotate and start one at a time, under a lock on a file beside the record
// ("传送记录.lock"). A record that another program holds open (Excel) is left as it is, and the run
// writes its lines beside it ("传送记录.待写入.csv", the same way); the next run that can write the
// record adds them to it.
#pragma once
#include "engine/EntryDecision.h"
#include "engine/RunInput.h"
#include "engine/RunView.h"
#include "framework/Handle.h"

#include <windows.h>

#include <string>
#include <vector>

// What became of a file that a run handled.
enum class Outcome {
    kLeft,          // the run leaves it where it is, for the decision's reason
    kTakenByAnotherRun, // gone between the listing and its copy (or, export, before its delete): another
                        // run (or another program) took it
    kSourceBeingWritten, // import: another program still writes the delivery: it stays for the next run
    kSourceNowFolder, // a folder stands under its name since the listing
    kUnfinishedClaim, // import: an earlier run's claim of that name waits in Backup to be finished
    kCopyFailed,    // the copy failed (or its path does not fit): the source stays
    kCopied,        // copied; the export keeps its source
    kSourceDeleted, // copied, then the source deleted
    kSourceChanged, // export: copied, but the source changed since the copy read it: it stays
    kDeleteFailed,  // copied, but the source could not be deleted: the next export sends it again
    kClaimFailed,   // import: not copied, because it could not be claimed (moved into Backup): it stays
    kArchived,      // import: claimed, copied, then archived in Backup
    kPlaceFailed,   // import: claimed, but its copy could not be put in place: the next import does
    kArchiveFailed, // import: handed over, but not archived: the next import archives it
    kClaimFinished, // import: an earlier run's claim, its copy put in place and archived
    kArchivedOnly,  // import: an earlier run's claim whose copy was in place already: only archived
};

// A line's message box: none, up as the line is written (the line goes first, so that its cause is
// kept whatever becomes of the box and of the host), or not shown because the run window is gone.
enum class Box { kNone, kShowing, kNotShown };

class CTransferRecord {
public:
    static constexpr ULONGLONG kRotateBytes = 4ULL << 20;
    static constexpr int kOlderFiles = 3;

    // The columns, in their order.
    // Records written before the last column was added have lines of one column less.
    enum Column { kTime, kNumber, kRun, kSource, kTarget, kSize, kResult, kDetail, kError, kBox, kWho, kColumns };
    // The values of the result column.
    static const char kStarted[];
    static const char kMoved[];
    static const char kLeft[];
    static const char kFailed[];
    static const char kEnded[];
    static const char kRefused[];
    static const char kStopped[];
    static const char kBroken[];

    // The record of one run of that kind, at path; "" keeps none. The run takes the next run number.
    CTransferRecord(const std::string& path, RunKind kind, bool bAuto);
    ~CTransferRecord();
    CTransferRecord(const CTransferRecord&) = delete;
    CTransferRecord& operator=(const CTransferRecord&) = delete;

    void RunStarted(const RunInput& input);
    // The run was refused with that message: its end line.
    void Refused(const std::string& why, Box box);
    // The box of the last line written with Box::kShowing has gone; the end line tells the boxes that
    // nobody saw.
    void BoxClosed(BoxAnswer answer);
    void Entry(const EntryDecision& decision, ULONGLONG size, Outcome outcome, DWORD error = 0,
               const std::string& archive = std::string(), Box box = Box::kNone);
    enum class End { kDone, kStopped, kBroken };
    void RunEnded(End end);

    // The run column of a run of that kind: "导出（自动）", ...
    static std::string RunLabel(RunKind kind, bool bAuto);
    // True for a value that the result column holds.
    static bool IsResult(const std::string& text);
    // "传送记录.N.csv" beside path, the n-th older record; n = 0 is the record while it is set aside.
    static std::string OlderFile(const std::string& path, int n);
    // "传送记录.待写入.csv" beside path: the lines of runs that could not write the record.
    static std::string WaitingFile(const std::string& path);
    // "传送记录.lock" beside path, whose lock serialises the rotation and the start of runs.
    static std::string LockFile(const std::string& path);
    // The fields of one line of a record.
    static std::vector<std::string> ParseLine(const std::string& line);
    // True while the run of that computer and user ("计算机\用户") and number writes to the record at
    // path: its process lives and holds the record open.
    static bool IsBeingWritten(const std::string& path, const std::string& who, const std::string& number);

private:
    void Open(const std::string& path);
    // Opens file for the run's lines: a new or empty one gets the header.
    bool OpenForLines(const std::string& file);
    // Adds the lines of the waiting file to the record and removes it; left while a run writes to it.
    void AddWaitingLines(const std::string& path);
    void Write(const char* const fields[kColumns]);
    void Write(const char* result, const std::string& detail, const std::string& source = std::string(),
               const std::string& target = std::string(), const std::string& size = std::string(),
               const std::string& error = std::string(), Box box = Box::kNone);

    RunKind m_kind;
    CFileHandle m_file;
    OVERLAPPED m_runLock;
    bool m_bRunLocked;
    unsigned m_nNumber;
    std::string m_strRun;
    std::string m_strWho;
    int m_nMoved;
    int m_nLeft;
    int m_nFailed;
    bool m_bRefused;
    int m_nBoxesUnshown;
    int m_nBoxesClosedByThemselves;
};

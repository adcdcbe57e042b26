// The transfer record: a line for the start and the end of every run and for every file a run handles,
// appended to "传送记录.csv" beside the INI files, as GBK comma-separated text that Excel and WPS on a
// Chinese Windows open with a double-click. Paths are written whole, so no field starts with a formula
// character.
//
// It never costs a run its work: a record that cannot be opened or written is passed over. Each line
// goes to the end of the file with one write under a lock that all writers take, so that lines of two
// processes never mix, and a line that cannot be written whole is taken back. While a run lives it holds
// a lock of its own on the record, so that a reader tells a run under way from one that was cut off
// (the lock goes with the process, whatever ends it). When a run starts, a
// record of kRotateBytes or more becomes "传送记录.1.csv", the older ones move on to .2 and .3, and
// the oldest goes; a record that another program holds open is left as it is.
#pragma once
#include "engine/EntryDecision.h"
#include "engine/RunInput.h"
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

// Whether a run's message box told someone.
enum class Box { kNone, kShown, kNotShown };

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
    // The run was refused with that message.
    void Refused(const std::string& why, Box box);
    void Entry(const EntryDecision& decision, ULONGLONG size, Outcome outcome, DWORD error = 0,
               const std::string& archive = std::string(), Box box = Box::kNone);
    enum class End { kDone, kStopped, kBroken };
    void RunEnded(End end);

    // "传送记录.N.csv" beside path, the n-th older record; n = 0 is the record while it is set aside.
    static std::string OlderFile(const std::string& path, int n);
    // The fields of one line of a record.
    static std::vector<std::string> ParseLine(const std::string& line);
    // True while the run of that computer and user ("计算机\用户") and number writes to the record at
    // path: its process lives and holds the record open.
    static bool IsBeingWritten(const std::string& path, const std::string& who, const std::string& number);

private:
    void Open(const std::string& path);
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
    std::string m_strRefusal;
    Box m_refusalBox;
};

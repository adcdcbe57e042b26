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
    static constexpr char kStarted[] = "开始";
    static constexpr char kMoved[] = "已传送";
    static constexpr char kLeft[] = "未传送";
    static constexpr char kFailed[] = "失败";
    static constexpr char kEnded[] = "结束";
    static constexpr char kRefused[] = "拒绝";
    static constexpr char kStopped[] = "中止";
    static constexpr char kBroken[] = "出错";

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

// The catalogue of outcomes: for each, the record's result, its code, its words in the record (%r
// stands for the words of the decision's reason, %: for "：" before them when there are any, %a for
// the archive's name in Backup) and what the settings check tells to do about it ("" where the next
// run sees to it, or, for kLeft, the reason's).
struct OutcomeRow {
    Outcome value;
    const char* result;
    const char* code;
    const char* words;
    const char* remedy;
};

inline constexpr OutcomeRow kOutcomes[] = {
    { Outcome::kLeft, CTransferRecord::kLeft, "left", "%r", "" },
    { Outcome::kTakenByAnotherRun, CTransferRecord::kLeft, "taken-by-another-run",
      "另一个运行已经取走了它（或者别的程序把它移走或删除了），本次不传送", "" },
    { Outcome::kSourceBeingWritten, CTransferRecord::kLeft, "source-being-written",
      "送来的文件还在被别的程序写入，下次导入再传送", "" },
    { Outcome::kSourceNowFolder, CTransferRecord::kLeft, "source-now-folder",
      "列出之后它变成了一个文件夹，插件不进入文件夹", "" },
    { Outcome::kUnfinishedClaim, CTransferRecord::kLeft, "earlier-claim-waiting",
      "上次导入取走的同名文件还没有做完（在Backup里等着），这个文件下次导入再传送", "" },
    { Outcome::kCopyFailed, CTransferRecord::kFailed, "copy-failed", "文件拷贝出错%:%r。源文件留在原处，下次再传送",
      "请按“系统错误”一栏的原因检查源文件和目标文件夹" },
    { Outcome::kCopied, CTransferRecord::kMoved, "copied", "已复制，源文件保留（传送后不删除源文件）", "" },
    { Outcome::kSourceDeleted, CTransferRecord::kMoved, "source-deleted", "已复制，已删除源文件", "" },
    { Outcome::kSourceChanged, CTransferRecord::kMoved, "source-changed",
      "已复制；源文件在复制之后有改动，没有删除，下次导出再传送", "" },
    { Outcome::kDeleteFailed, CTransferRecord::kFailed, "delete-failed", "已复制，但是源文件无法删除，下次导出会再传送它",
      "请让运行宿主程序的Windows用户有权删除发送目录里的文件，并去掉它们的只读属性" },
    { Outcome::kClaimFailed, CTransferRecord::kFailed, "archive-blocked",
      "无法移到Backup（导入先把送来的文件移进Backup，再放到接收目录），没有传送。文件留在交付文件夹，下次再传送",
      "请让运行宿主程序的Windows用户有权删除交付文件夹里的文件" },
    { Outcome::kArchived, CTransferRecord::kMoved, "archived", "已复制，备份为 %a", "" },
    { Outcome::kPlaceFailed, CTransferRecord::kFailed, "place-failed",
      "已取走并复制，但是无法放到接收目录；文件在Backup里等着，下次导入会完成", "请按“系统错误”一栏的原因检查源数据接收目录" },
    { Outcome::kArchiveFailed, CTransferRecord::kFailed, "archive-failed",
      "已放到接收目录，但是无法备份；文件在Backup里等着，下次导入会补做备份", "请按“系统错误”一栏的原因检查交付文件夹里的Backup" },
    { Outcome::kClaimFinished, CTransferRecord::kMoved, "claim-finished", "上次导入没有做完：现在已放到接收目录，备份为 %a", "" },
    { Outcome::kArchivedOnly, CTransferRecord::kMoved, "archived-only",
      "上次导入已经把它放到接收目录，只是没有备份：现在备份为 %a", "" },
};
static_assert(HasOneRowPerValue(kOutcomes, Outcome::kArchivedOnly), "one row for each outcome, in order");

// The words of the outcome of decision in the record, archive being its name in Backup.
std::string OutcomeText(Outcome outcome, const EntryDecision& decision, const std::string& archive = std::string());

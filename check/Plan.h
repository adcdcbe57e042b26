// The dry run: what an export and an import would do now, entry by entry, without doing any of it.
// Lines tagged "导出"/"导入" name where a file would go, "未传送" why it would stay where it is, "跳过"
// an entry a run passes over (a folder, a temporary copy) and "清理" a temporary copy a run removes;
// a copy whose read-only source an export could not delete is an error line; a line on the free space
// follows when a disk would have too little room for the copies.
//
// Each entry's verdict is one value (PlannedEntry): its line is printed from it, and so is its row of
// the table that --plan-table prints for programs (tab-separated, GBK, a header first):
//   run      export | import
//   entry    the name as listed ("" for a run that would be refused)
//   action   pass (a folder or temporary copy) | stay | copy | archive (an earlier import's claim that
//            was handed over already: only moved into Backup) | refused (the whole run)
//   reason   why the run would be refused, why it stays or why a copy keeps its source, "" for none
//            (PlanReasonCode)
//   target   where the copy goes (copy, archive)
//   archive  where in Backup the delivery goes (import: copy, archive)
//   source   what becomes of the source: stays | deleted | archived
#pragma once
#include "Mappings.h"
#include "Report.h"
#include "SettingsCheck.h"
#include "engine/EntryDecision.h"
#include "engine/TransferRecord.h"

#include <string>
#include <vector>

namespace check {

// What the plan sees that the engines' decision does not: a copy it expects to fail, or a source that
// an export could not delete. kNone leaves the decision's own reason.
enum class PlanObstacle {
    kNone,
    kLocationUnusable,      // export: the data-file location cannot be used
    kPlatformFolderIsFile,  // export: a file stands where the platform folder belongs
    kSourceInUse,           // another program holds the source
    kSourceUnreadable,      // the source cannot be opened for another reason
    kTargetReadOnly,        // the copy would replace a read-only file
    kSourceReadOnly,        // export with delete: copied, but the read-only source stays
    kBackupIsFile,          // import: a file named Backup stands where the archive folder belongs
    kArchiveBlocked,        // import: the delivery cannot be moved into Backup
    kSourceBeingWritten,    // import: another program still writes the delivery
    kDestUnusable,          // import: the receive directory cannot be used
};

// The catalogue of obstacles: for each, its code in the table, its words in the plan (%s stands for
// what the plan saw: a path, or the system's error) and what to do about it. Where the run records the
// obstacle as an outcome of its own, the row is that outcome's.
struct ObstacleRow {
    PlanObstacle value;
    const char* code;
    const char* words;
    const char* remedy;
};

constexpr ObstacleRow AsOutcome(PlanObstacle value, Outcome outcome)
{
    return { value, RowOf(kOutcomes, outcome).code, RowOf(kOutcomes, outcome).words, RowOf(kOutcomes, outcome).remedy };
}

inline constexpr ObstacleRow kObstacles[] = {
    { PlanObstacle::kNone, "", "", "" },
    { PlanObstacle::kLocationUnusable, "location-unusable", "数据文件存放路径%s不可用", "请先解决上面数据文件存放路径的问题" },
    { PlanObstacle::kPlatformFolderIsFile, "platform-folder-is-file", "网商代码的文件夹位置%s是一个文件",
      "请把这个文件改名或移走" },
    { PlanObstacle::kSourceInUse, "source-in-use", "源文件正被其他程序使用（例如还在写入）",
      "请等那个程序写完并关闭这个文件；运行时插件会重试几次" },
    { PlanObstacle::kSourceUnreadable, "source-unreadable", "无法读取源文件（%s）", "请检查这个文件的权限" },
    { PlanObstacle::kTargetReadOnly, "target-read-only", "目标文件%s是只读的，不能被替换", "请去掉它的只读属性，或者删除它" },
    { PlanObstacle::kSourceReadOnly, "source-read-only",
      "但源文件是只读的，插件删不掉它：它留在发送目录，每次导出都会再传送一次", "请去掉源文件的只读属性" },
    { PlanObstacle::kBackupIsFile, "backup-is-file", "无法移到%s，导入不复制它，文件留在交付文件夹",
      "请按上面的[错误]行处理名为Backup的文件" },
    AsOutcome(PlanObstacle::kArchiveBlocked, Outcome::kClaimFailed),
    AsOutcome(PlanObstacle::kSourceBeingWritten, Outcome::kSourceBeingWritten),
    { PlanObstacle::kDestUnusable, "dest-unusable", "源数据接收目录%s", "请先解决上面源数据接收目录的问题" },
};
static_assert(HasOneRowPerValue(kObstacles, PlanObstacle::kDestUnusable), "one row for each obstacle, in order");

// The words of obstacle, with what the plan saw.
std::string ObstacleText(PlanObstacle obstacle, const std::string& seen = std::string());

enum class SourceFate { kStays, kDeleted, kArchived };

struct PlannedEntry {
    RunKind run = RunKind::kExport;
    bool refused = false; // the run would be refused: no entry
    Refusal refusal = Refusal::kNone; // why, when its input tells
    EntryDecision decision;
    EntryAction action = EntryAction::kPassOver;
    PlanObstacle obstacle = PlanObstacle::kNone;
    std::string archive;
    SourceFate source = SourceFate::kStays;
    // The words of its line (its tag and level follow from the action and the obstacle); "" for an
    // entry passed over without a word.
    std::string text;
};

// What the runs would do with the entries of their folders: each engine's own decision for the entry,
// and what can be seen of its copy without writing (the source opened for reading as the run opens it,
// the target, the free space). Each entry's line goes into report, its verdict into entries.
void PlanExport(const RunSettings& run, const RunInput& input, const std::vector<MappingEntry>& mappings,
                CReport& report, std::vector<PlannedEntry>& entries);
void PlanImport(const RunSettings& run, const RunInput& input, CReport& report, std::vector<PlannedEntry>& entries);

// The table's header and an entry's row, without a line end.
extern const char kPlanTableHeader[];
std::string PlanTableRow(const PlannedEntry& entry);
// The reason column: the refusal's code, else the obstacle's, else the decision's; "" for none.
const char* PlanReasonCode(const PlannedEntry& entry);

} // namespace check

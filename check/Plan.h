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
//   reason   why it stays or why a copy keeps its source, "" for none (PlanReasonCode)
//   target   where the copy goes (copy, archive)
//   archive  where in Backup the delivery goes (import: copy, archive)
//   source   what becomes of the source: stays | deleted | archived
#pragma once
#include "Mappings.h"
#include "Report.h"
#include "SettingsCheck.h"
#include "engine/EntryDecision.h"

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

enum class SourceFate { kStays, kDeleted, kArchived };

struct PlannedEntry {
    RunKind run = RunKind::kExport;
    bool refused = false; // the run would be refused: no entry
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
// The reason column: the obstacle's code, else the decision's; "" for none.
const char* PlanReasonCode(const PlannedEntry& entry);

} // namespace check

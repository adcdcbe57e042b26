// The dry run: what an export and an import would do now, entry by entry, without doing any of it.
// Lines tagged "导出"/"导入" name where a file would go, "未传送" why it would stay where it is, "跳过"
// an entry a run passes over (a folder, a temporary copy) and "清理" a temporary copy a run removes;
// a copy whose read-only source an export could not delete is an error line; a line on the free space
// follows when a disk would have too little room for the copies.
#pragma once
#include "Mappings.h"
#include "Report.h"
#include "SettingsCheck.h"

#include <vector>

namespace check {

// What the runs would do with the entries of their folders: each engine's own decision for the entry,
// and what can be seen of its copy without writing (the source opened for reading as the run opens it,
// the target, the free space).
void PlanExport(const RunSettings& run, const RunInput& input, const std::vector<MappingEntry>& mappings,
                CReport& report);
void PlanImport(const RunSettings& run, const RunInput& input, CReport& report);

} // namespace check

// What the settings check said before the runs: its plan in Chinese for people (qrvcheck --plan) and the
// same decisions as a table for the laws (qrvcheck --plan-table, one row per entry of the folders the
// runs walk).
#pragma once
#include "Workspace.h"

#include <string>
#include <vector>

namespace hostile {

// One row of the table, its texts GBK as the check prints them.
struct PlanRow {
    Run run = Run::kExport;
    std::string entry;
    std::string action; // pass, stay, copy, archive or refused
    std::string reason;
    std::string target;
    std::string archive;
    std::string source; // stays, deleted or archived
};

struct Plan {
    unsigned long exitCode = 0;
    std::string output; // GBK
    std::vector<PlanRow> rows;
    std::string unread; // GBK: table lines not in the table's form
};

// The rows of qrvcheck --plan-table's output; lines not in the table's form go to plan->unread.
void ReadPlanTable(const std::string& output, Plan* plan);

} // namespace hostile

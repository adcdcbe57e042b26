// What a failing seed prints, in UTF-8: the broken laws, then the workspace (folders and how the
// settings name them, the settings, OrgMap.ini), the tree before, the plan, each run with its boxes, the
// neighbour's doings and the record lines it wrote, and the tree after.
#pragma once
#include "Laws.h"
#include "Model.h"
#include "PlanTable.h"
#include "Workspace.h"

#include <string>
#include <vector>

namespace hostile {

std::string Report(const Workspace& ws, const CModel& model, const Plan& plan, const CCensus& first,
                   const std::vector<RunSeen>& runs, const std::vector<Violation>& violations);
// "law 1 conservation" and so on.
std::string LawName(int law);

} // namespace hostile

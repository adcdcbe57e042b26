// The registry settings that runs read, checked the way a run reads them.
#pragma once
#include "Report.h"
#include "StoredValue.h"
#include "engine/RunInput.h"

#include <string>

namespace check {

// The settings as a run would read them now.
struct RunSettings {
    std::string sourcePath;
    std::string exportLocation;
    std::string destPath;
    std::string userOrgID;
    bool deleteAfterCopy = false;
    // OrgMap.ini is not GBK text: the pairs a run reads from it are wrong.
    bool orgMapMisread = false;
    // A run that would stop at once with a message box.
    bool exportRefused = false;
    bool importRefused = false;
};

// The registry section of the plug-in named plugin, read as its runs read it.
RunSettings CheckSettings(const std::string& plugin, CReport& report);

// What a run would work on with these settings and the pairs of OrgMap.ini.
RunInput InputOf(const RunSettings& run);
// Reports folders that overlap so that a run refuses to start, and marks that run refused.
void CheckFolderOverlaps(const RunInput& input, RunSettings& run, CReport& report);

// The import's refusal of a user organisation code, or "" when an import takes it (an empty code makes
// the data-file location itself the delivery folder).
std::string UserOrgIDProblem(const std::string& userOrgID);

} // namespace check

// The settings of a generated workspace where the plug-in reads them: its registry section (the host
// sets ExportLocation and UserOrgID through the exports) and the INI files in the host's working directory.
#pragma once
#include "Model.h"
#include "Workspace.h"
#include "support/TestSupport.h"

#include <string>

namespace hostile {

// The plug-in's name, which names its registry key.
extern const char kPluginName[];

// SourcePath, DestPath, IsDeleted and RecordTransfers into profile.
void StoreSettings(const Workspace& ws, const CModel& model, const test::PluginProfile& profile);
// OrgMap.ini and TaskDefine.ini into the working directory; false when they could not be written.
bool WriteIniFiles(const Workspace& ws);
std::string OrgMapText(const Workspace& ws);

} // namespace hostile

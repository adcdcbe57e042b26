// The plug-in DLL that qrvcheck.exe sits beside and the version in its version resource, read without
// loading the DLL; the first lines of the report.
#pragma once
#include "Report.h"

#include <string>

namespace check {

// The full path of qrvcheck.exe itself.
std::string OwnPath();

// "2.0.0.1" from the file version of path's version resource; "" when it has none.
std::string FileVersionOf(const std::string& path);

// Reports <plugin>.dll in the folder of qrvcheck.exe with its file version, and says so when it is
// missing or of another version than this program.
void CheckPluginVersion(const std::string& plugin, CReport& report);

} // namespace check

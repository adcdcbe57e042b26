// The last runs from the transfer record: when, what kind, how many files were moved, left and failed,
// and each failure with its reason. A failure of the last run of a kind (a file that failed, a refused
// or broken run) is a problem and decides the exit code.
#pragma once
#include "Report.h"

#include <string>

namespace check {

// The last count runs of the record at path and of its older files.
void ReportHistory(const std::string& path, int count, CReport& report);

} // namespace check

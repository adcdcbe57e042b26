// The last runs from the transfer record: when, what kind, how many files were moved, left and failed,
// and each failure with its reason. A failure of the last run of a kind (a file that failed, a refused
// run, one that did not finish) is a problem and decides the conclusion. A run without an end line is
// told apart: still under way (its process holds the record) or cut off; one under way for more than an
// hour is most likely waiting for someone to answer its error box, and counts as a problem. Only lines
// in the plug-in's own form make or end runs.
#pragma once
#include "Report.h"

#include <string>

namespace check {

enum class HistoryVerdict {
    kNoRecord, // no record file, or no run in any
    kFailed,   // the last export or import had failures, was refused or did not finish
    kNoFailure,
};

struct HistoryResult {
    HistoryVerdict verdict;
    // Lines that the plug-in did not write as they are (a record saved by another program): what was
    // read may be incomplete.
    bool foreign;
    // The last export or import is older than the hours asked for, or missing.
    bool stale;
};

// The last count runs of the record at path and of its older files, with the last export and the last
// import always among them, then the conclusion with the time and age of the last export and import;
// withinHours (0: none) is how old they may be. planCommand shows where the files stand now.
HistoryResult ReportHistory(const std::string& path, int count, int withinHours, const std::string& planCommand,
                            CReport& report);

} // namespace check

// The transfer record as the laws read it: 传送记录.csv beside the INI files and its older files (lines
// are split by the tests' own CSV reader, test::SplitCsvLine).
#pragma once
#include "Workspace.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace hostile {

// The record and its older files (.1 to .3) as they are at one moment.
struct RecordFiles {
    bool exists = false;
    std::string main;
    bool olderExists[3] = { false, false, false };
    uint64_t older[3] = { 0, 0, 0 };
    std::string waiting; // the lines kept aside while the record could not be written
};

// The size from which a run moves the record aside and starts a new one.
const size_t kRecordRotateBytes = 4u << 20;

RecordFiles ReadRecordFiles(const Workspace& ws);
std::wstring RecordPath(const Workspace& ws);
// The older file n (1 to 3) of the record.
std::wstring OlderPath(const Workspace& ws, int n);
std::wstring WaitingPath(const Workspace& ws);

} // namespace hostile

// The organisation mapping ("OrgMapping" of OrgMap.ini) as the export's code table reads it: which
// numbered entries it takes, and why it passes over the others.
#pragma once
#include "Report.h"

#include <string>
#include <vector>

namespace check {

struct MappingEntry {
    std::string key;          // "ClientID0003"
    std::string clientCode;   // as read
    std::string platformCode; // as read, "" for a half pair
    std::string skipReason;   // "" when the table takes the pair
    std::string remedy;       // what to do about a pair skipped
    bool shadowed = false;    // an earlier usable pair has the same client code
};

// Every entry with a client code: the rows the table reads, then those hidden behind a gap.
std::vector<MappingEntry> ReadMappingEntries();

// One line for each entry the table passes over or shadows, and the count of usable pairs.
void CheckMappings(const std::vector<MappingEntry>& entries, CReport& report);

} // namespace check

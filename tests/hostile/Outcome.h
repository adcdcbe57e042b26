// What a run did with each file of the folder it walked, read from the disk alone: what the record's
// lines (law 4) are held to, and what the check's plan, once a program can read it, will be (law 3).
#pragma once
#include "Laws.h"
#include "Model.h"

#include <string>
#include <vector>

namespace hostile {

struct EntryOutcome {
    enum What {
        kStayed,        // the source is where it was, with its bytes, and no copy was made
        kCopied,        // a copy is where a rule sends it and the source stayed
        kCopiedAndGone, // a copy is where a rule sends it and the source is gone (deleted or archived)
        kGone,          // the source is gone and no copy is anywhere a rule sends it
        kChanged,       // the source is there with other bytes
    };
    std::wstring name;    // as listed
    std::wstring source;  // the walked folder\name
    What what = kStayed;
    std::wstring target;  // where the copy is (import: in the receive directory)
    bool newCopy = false; // the run wrote it: the target held other bytes, or nothing, before
    std::wstring archive; // import: where in Backup
    bool touched = false; // a neighbour touched it during the run: no plan holds for it
    bool claim = false;   // import: a claim an earlier run left, which this one finishes
};

// True when the neighbour touched a file that the narrow functions give as name (GBK).
bool TouchedSpelling(const RunSeen& seen, const std::string& name);
// Every file the run found in the folder it walks (temporary copies left out), in the folder's order,
// then the claims an earlier import left.
std::vector<EntryOutcome> Observe(const CModel& model, const RunSeen& seen);

} // namespace hostile

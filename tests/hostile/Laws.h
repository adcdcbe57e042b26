// The laws every run is held to, from what the disk, the record and the host show before and after it:
//   1 conservation: every file's bytes are still somewhere a rule allows; no bytes that no file had; no
//     temporary copy left;
//   2 routing: bytes only go where a rule sends them, a run refused for its folders touches nothing, and
//     the refusals follow the folders as they are, not as they are spelled;
//   3 the plan: what the settings check's plan said of each entry is what the run did with it, as long
//     as nothing the run reads changed since the plan was taken and no neighbour touched the entry;
//   4 the record: whole lines, a start and an end for every run, one line per listed file saying what
//     became of it;
//   5 the host: the call returns 1 and leaves no window behind;
//   6 a run ended at any file call (the host's process ended, as by a power cut) and made again leaves
//     every file in one place a rule allows, handed over once, no claim waiting, no claim's copy in the
//     receive directory (also when the run was ended just before a claim and its delivery withdrawn
//     since), and a record that accounts for each;
//   7 liveness: what a rule sends somewhere and nothing blocks is there after a run that went ahead.
#pragma once
#include "Census.h"
#include "Host.h"
#include "Model.h"
#include "Neighbour.h"
#include "PlanTable.h"
#include "Record.h"

#include <string>
#include <vector>

namespace hostile {

struct Violation {
    int law;
    std::string text; // UTF-8
};

// One run and everything seen around it.
struct RunSeen {
    Run run = Run::kExport;
    size_t index = 0;
    CCensus before;
    CCensus after;
    RecordFiles recordBefore;
    RecordFiles recordAfter;
    CallResult call;
    std::vector<Fact> facts;
    bool planHolds = false;  // nothing the run reads changed since the plan was taken
    std::vector<std::string> between; // what was done between the runs before this one
    bool alongside = false;  // another host ran an import on the same workspace at the same time
    // Law 6: the run was ended at this file call (0: it was not), then run again; before is the census
    // before the ended run, after the one after the run again, ended and recordEnded in between.
    unsigned endedAt = 0;
    CCensus ended;
    RecordFiles recordEnded;
};

// The lines the run added to the record (whole or not), each split into its fields.
std::vector<std::vector<std::string>> AddedLines(const RunSeen& seen, std::string* tail);
// True when the run was refused: its record says so, or a box said it would not start.
bool WasRefused(const RunSeen& seen);
// A line that waited beside the record before the run (Unattended.cpp).
bool IsWaitingLine(const RunSeen& seen, const std::string& line);
// The line of an automatic call that did not run because one of its kind was open.
bool IsCallThatDidNotRun(const std::string& line);
// Law 4 for an unattended night: every line once, none lost, calls again told, --history true.
void CheckUnattended(const Workspace& ws, const RunSeen& seen, std::vector<Violation>* violations);

void CheckFiles(const Workspace& ws, const CModel& model, const RunSeen& seen, std::vector<Violation>* violations);
// Only for a run that the plan holds for: the folders it reads are as they were when the plan was taken.
void CheckPlan(const Workspace& ws, const CModel& model, const Plan& plan, const RunSeen& seen,
               std::vector<Violation>* violations);
void CheckRecord(const Workspace& ws, const CModel& model, const RunSeen& seen, std::vector<Violation>* violations);
void CheckHost(const RunSeen& seen, std::vector<Violation>* violations);
// Law 6, for a run ended at a file call and made again.
void CheckEnded(const Workspace& ws, const CModel& model, const RunSeen& seen, std::vector<Violation>* violations);
// Law 7, for a run that was not refused and that nobody disturbed.
void CheckLiveness(const Workspace& ws, const CModel& model, const RunSeen& seen, std::vector<Violation>* violations);

} // namespace hostile

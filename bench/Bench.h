// What the benchmark's parts share: timed passes of two sides, alternating, each on the same fresh
// layout; the report; sample files, folders and INI text; a view that swallows what an engine reports.
#pragma once
#include "engine/RunView.h"

#include <windows.h>
#include <functional>
#include <string>
#include <vector>

namespace bench {

// The seconds that work takes.
double Seconds(const std::function<void()>& work);
// A pass that is timed whole.
std::function<double()> Timed(std::function<void()> work);

// The times of one side's passes, in seconds.
struct Times {
    std::vector<double> seconds;
    double Median() const;
    double Min() const;
    double Max() const;
};

// One way of doing the work: prepare (not timed) lays out the fresh state, measure runs one pass and
// returns its time.
struct Side {
    std::string name;
    std::function<void()> prepare;
    std::function<double()> measure;
};

// rounds passes of one side.
Times Repeat(int rounds, const Side& side);
// rounds passes of each side, a first in even rounds and b first in odd ones. Prints each side's
// median and spread (min..max) and the ratio of b's median to a's; returns that ratio.
double Compare(const std::string& what, int rounds, const Side& a, const Side& b);
// "median 1.234 s (1.200..1.300)".
std::string Describe(const Times& times);

std::string Join(const std::string& dir, const std::string& name);
void MakeDir(const std::string& dir);
// dir and everything below it.
void RemoveTree(const std::string& dir);
// n files of size bytes in dir, named by a printf pattern of the index.
void MakeFiles(const std::string& dir, const char* pattern, int n, size_t size);
// Calls visit for every file (not folder) in dir, listed with FindFirstFileA.
void ForEachFile(const std::string& dir, const std::function<void(const WIN32_FIND_DATAA&)>& visit);
// Writes text as the file's whole content and dates it an hour back: a file written long before the
// run, as the profile functions find one that the setup wrote on another day.
void WriteOldFile(const std::string& path, const std::string& text);

// OrgMap.ini with pairs mapping entries (ClientID0000=C0 to QRVID0000=P0, ...) and suppliers supplier
// entries with GBK names.
std::string OrgMapText(int pairs, int suppliers);

class NullView : public IRunView {
public:
    void SetStatus(const char*) override {}
    void SetPos(int) override {}
    BoxAnswer ShowError(const char* text) override;
    bool CanShowError() const override { return true; }
    bool IsStopRequested() const override { return false; }
};

// One benchmark run: its folders, below a root that is also the current directory; the passes of each
// side; the numbers of small files the transfers and the dialog runs move.
struct Workspace {
    std::string root;
    int rounds;
    std::vector<int> fileCounts;
    std::string Path(const char* name) const { return Join(root, name); }
};

// The parts.
void ListRewrites(const Workspace& ws);
void ProgressAppearance(const Workspace& ws);
void SmallTransfers(const Workspace& ws);
void DurableTransfers(const Workspace& ws);
void FlushCost(const Workspace& ws);
void RecordCost(const Workspace& ws);
void LargeTransfers(const Workspace& ws);
void DialogRuns(const Workspace& ws);
void HistoryGrowth(const Workspace& ws);

} // namespace bench

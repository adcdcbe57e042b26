// One seed from start to end: the workspace generated and made, its settings stored, the plan taken, the
// runs made with a neighbour at work, every law checked after each run, then (law 6) runs ended at a file
// call and made again in the workspace laid out afresh, and the workspace taken away.
#pragma once
#include "Host.h"

#include <cstdint>
#include <string>

namespace hostile {

struct Options {
    std::wstring root;        // where each workspace is made
    wchar_t driveLetter = 0;  // a free drive letter for the second names of folders
    unsigned timeDivisor = 20;
    unsigned cuts = 1;        // law 6: how many runs of each seed to end at a file call
    DWORD timeoutMs = 120000;
    bool keep = false;        // leave a failing workspace on disk
    bool show = false;        // print the report of a seed that passed too
};

// Prints "seed S: passed", or a failure's report and "seed S: FAILED (...)"; true when every law held.
bool RunSeed(uint64_t seed, CHost& host, const Options& options);
// Writes UTF-8 text to the standard output at once.
void Print(const std::string& text);

} // namespace hostile

// The plug-in's calls into kernel32 and user32 as its host sees them, through the plug-in's import table.
// Its pauses (Sleep, and the timers: the two seconds at a run's end) take a fraction of their time, so
// that an automatic run with its pause after every exported file and at its end takes a fraction of a
// second; its file calls are counted, so that a neighbour acts before a given one of them: the same one
// every time a seed is run.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace hostile {
namespace hooks {

// Patches the import table of the loaded dll; false, with the names of the calls it does not import, when
// one of the counted file calls, Sleep or SetTimer could not be patched: a neighbour would act, or a run
// end, at another call than the seed says.
bool Install(HMODULE dll, unsigned timeDivisor, std::string* missing);
// From now on until Disarm, before(n) runs on the calling thread ahead of the plug-in's n-th file call.
void Arm(const std::function<void(unsigned)>& before);
void Disarm();
// The file calls counted since Arm.
unsigned Calls();
// The numbers of those that renamed a file into an import's claim folder: its claims.
std::vector<unsigned> ClaimCalls();

} // namespace hooks
} // namespace hostile

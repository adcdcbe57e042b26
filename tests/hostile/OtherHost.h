// A second host process on the same workspace: another importer at the same time (two hosts, or two
// computers sharing the delivery folder), or a host whose process ends at a given file call of its run,
// as a power cut or Task Manager ends it, without any clean-up.
#pragma once
#include "Workspace.h"
#include "framework/Handle.h"

#include <string>

namespace hostile {

// The exit code of a host process ended at a file call.
const UINT kEndedAtCall = 9;

// What the program does when started as another host (--host): loads the plug-in with the current
// directory as its working directory, runs once, and returns 0 when the call returned 1. With endAt the
// process ends at the plug-in's endAt-th file call; with ready it sets the named event just before the call.
int HostOnce(Run run, unsigned endAt, const std::string& ready, unsigned timeDivisor, DWORD timeoutMs);

class COtherHost {
public:
    // Starts this program as another host running run in the workspace's working directory; with
    // together, returns once that host is about to call, so that the two runs overlap.
    COtherHost(const Workspace& ws, Run run, unsigned endAt, bool together, unsigned timeDivisor);
    // Waits for the host to end; its exit code, or -1 when it could not start or did not end in time.
    int Wait(DWORD timeoutMs);

private:
    CHandle m_process;
};

} // namespace hostile

// The host's command line: a list of steps run in order against the loaded plug-in.
#pragma once
#include <string>
#include <vector>

struct Step {
    std::string name;     // info, export, autoexport, import, autoimport, setup, set-data-path, set-user-org
    std::string argument; // for set-data-path and set-user-org
};

struct CommandLine {
    std::vector<Step> steps;
    int everyMinutes = 0; // > 0: repeat the steps at this interval until the window is closed
    bool help = false;
    std::string error;    // non-empty when the arguments are wrong
};

CommandLine ParseCommandLine(const std::vector<std::string>& args);
extern const char kUsage[];

// Exit codes a script can rely on.
enum ExitCode {
    kExitOk = 0,
    kExitUsage = 1,
    kExitNoPlugin = 2,
    kExitCallFailed = 3,
    kExitNoWindow = 4,
};

#include "Commands.h"

#include <cstdlib>

const char kUsage[] =
    "Usage: qrvhub.exe [STEP ...] [--every MINUTES]\n"
    "Runs QRVLNK.dll from the folder of qrvhub.exe the way the exchange host does.\n"
    "Without steps the main window opens with a menu for every export.\n"
    "\n"
    "Steps, run in the order given:\n"
    "  info                  print the interface identity (GetInterfaceInfo, QueryFunctions)\n"
    "  export | import       open the export or import dialog (Export, Import)\n"
    "  autoexport            run an export unattended (AutoExport)\n"
    "  autoimport            run an import unattended (AutoImport)\n"
    "  setup                 open the interface parameter sheet (Setup)\n"
    "  set-data-path PATH    store the data-file location (SetDataFilePath)\n"
    "  set-user-org CODE     store the user's organisation code (SetUserOrgID)\n"
    "\n"
    "Options:\n"
    "  --every MINUTES       repeat the steps every MINUTES minutes until the window is closed\n"
    "  --help                show this text\n"
    "\n"
    "Exit codes: 0 done, 1 wrong arguments, 2 QRVLNK.dll missing or incomplete,\n"
    "            3 a settings call reported failure, 4 the main window could not be created.\n";

CommandLine ParseCommandLine(const std::vector<std::string>& args)
{
    CommandLine cmd;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h" || a == "/?" || a == "help") {
            cmd.help = true;
        } else if (a == "--every") {
            if (i + 1 >= args.size()) {
                cmd.error = "--every needs a number of minutes";
                return cmd;
            }
            char* end = nullptr;
            long minutes = std::strtol(args[++i].c_str(), &end, 10);
            if (end == args[i].c_str() || *end != '\0' || minutes <= 0 || minutes > 24 * 60) {
                cmd.error = "--every takes a whole number of minutes from 1 to 1440, not \"" + args[i] + "\"";
                return cmd;
            }
            cmd.everyMinutes = static_cast<int>(minutes);
        } else if (a == "info" || a == "export" || a == "autoexport" || a == "import" || a == "autoimport" || a == "setup") {
            cmd.steps.push_back({ a, "" });
        } else if (a == "set-data-path" || a == "set-user-org") {
            if (i + 1 >= args.size()) {
                cmd.error = a + " needs a value";
                return cmd;
            }
            cmd.steps.push_back({ a, args[++i] });
        } else {
            cmd.error = "unknown step \"" + a + "\"";
            return cmd;
        }
    }
    if (cmd.everyMinutes > 0 && cmd.steps.empty())
        cmd.error = "--every needs at least one step to repeat";
    return cmd;
}

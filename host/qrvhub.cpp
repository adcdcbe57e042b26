// qrvhub.exe: a substitute for the exchange host. It owns the window the plug-in looks for, loads
// QRVLNK.dll by name and calls its exports from the menu or from the command line.
#include "Commands.h"
#include "MainWindow.h"
#include "Plugin.h"

#include <windows.h>
#include <commctrl.h>
#include <cstdio>
#include <cstdlib>

namespace {

// A GUI program started from a console writes its output there.
void AttachOutput()
{
    HANDLE out = ::GetStdHandle(STD_OUTPUT_HANDLE);
    if ((out == nullptr || out == INVALID_HANDLE_VALUE) && ::AttachConsole(ATTACH_PARENT_PROCESS)) {
        std::freopen("CONOUT$", "w", stdout);
        std::freopen("CONOUT$", "w", stderr);
    }
}

int RunStep(Plugin& plugin, MainWindow& window, const Step& step)
{
    char line[1200];
    if (step.name == "info") {
        std::printf("%s\n", plugin.Describe().c_str());
        return kExitOk;
    }
    if (step.name == "set-data-path" || step.name == "set-user-org") {
        bool path = step.name == "set-data-path";
        BOOL ok = path ? plugin.SetDataFilePath(step.argument.c_str()) : plugin.SetUserOrgID(step.argument.c_str());
        std::snprintf(line, sizeof(line), "%s(\"%s\") = %d", path ? "SetDataFilePath" : "SetUserOrgID",
                      step.argument.c_str(), ok);
        window.Log(line);
        std::printf("%s\n", line);
        return ok ? kExitOk : kExitCallFailed;
    }
    if (step.name == "setup") {
        plugin.Setup();
        std::printf("Setup()\n");
        return kExitOk;
    }
    struct { const char* step; const char* name; Plugin::RunFn fn; } runs[] = {
        { "export", "Export", plugin.Export },
        { "autoexport", "AutoExport", plugin.AutoExport },
        { "import", "Import", plugin.Import },
        { "autoimport", "AutoImport", plugin.AutoImport },
    };
    for (const auto& run : runs) {
        if (step.name == run.step) {
            int result = run.fn();
            std::snprintf(line, sizeof(line), "%s() = %d", run.name, result);
            window.Log(line);
            std::printf("%s\n", line);
            std::fflush(stdout);
            return kExitOk;
        }
    }
    return kExitUsage;
}

int RunSteps(Plugin& plugin, MainWindow& window, const CommandLine& cmd)
{
    int status = kExitOk;
    for (const Step& step : cmd.steps) {
        int rc = RunStep(plugin, window, step);
        if (rc != kExitOk)
            status = rc;
    }
    std::fflush(stdout);
    return status;
}

// Runs the steps now and then every interval, serving the window in between, until it is closed.
int RunScheduled(Plugin& plugin, MainWindow& window, const CommandLine& cmd)
{
    const UINT_PTR kTimer = 1;
    int status = RunSteps(plugin, window, cmd);
    ::SetTimer(nullptr, kTimer, cmd.everyMinutes * 60u * 1000u, nullptr);
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_TIMER && msg.hwnd == nullptr) {
            status = RunSteps(plugin, window, cmd);
            continue;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    return status;
}

} // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int nCmdShow)
{
    AttachOutput();
    std::vector<std::string> args(__argv + 1, __argv + __argc);
    CommandLine cmd = ParseCommandLine(args);
    if (!cmd.error.empty()) {
        std::fprintf(stderr, "qrvhub: %s\n\n%s", cmd.error.c_str(), kUsage);
        return kExitUsage;
    }
    if (cmd.help) {
        std::printf("%s", kUsage);
        return kExitOk;
    }

    INITCOMMONCONTROLSEX icc = { sizeof(icc), ICC_WIN95_CLASSES };
    ::InitCommonControlsEx(&icc);

    Plugin plugin;
    if (!plugin.Load()) {
        std::fprintf(stderr, "qrvhub: %s\n", plugin.Error().c_str());
        if (cmd.steps.empty())
            ::MessageBoxA(nullptr, plugin.Error().c_str(), kHostTitle, MB_OK | MB_ICONERROR);
        return kExitNoPlugin;
    }

    MainWindow window(plugin);
    if (!window.Create(hInstance, nCmdShow)) {
        std::fprintf(stderr, "qrvhub: cannot create the main window\n");
        return kExitNoWindow;
    }
    if (cmd.steps.empty())
        return window.MessageLoop();
    if (cmd.everyMinutes > 0)
        return RunScheduled(plugin, window, cmd);
    int status = RunSteps(plugin, window, cmd);
    ::DestroyWindow(window.Handle());
    return status;
}

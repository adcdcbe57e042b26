// The engines (pause 0) against plain loops that list the same folder and make the same file calls
// with CopyFileA, each pass on the same fresh layout: small files, and 20 files of 50 MB.
#include "Layouts.h"

#include "engine/ExportEngine.h"
#include "engine/ImportEngine.h"

namespace bench {

namespace {

void CompareEngines(const Workspace& ws, const std::string& what, const Fill& fill)
{
    NullView view;
    const ExportLayout exportLayout(ws, fill);
    Compare("export " + what, ws.rounds,
            { "CopyFileA loop", [&] { exportLayout.Prepare(); }, Timed([&] { exportLayout.PlainLoop(); }) },
            { "export engine", [&] { exportLayout.Prepare(); }, Timed([&] { CExportEngine(&view, ReadExportInput(), 0).Run(); }) });
    const ImportLayout importLayout(ws, fill);
    Compare("import " + what, ws.rounds,
            { "CopyFileA loop", [&] { importLayout.Prepare(); }, Timed([&] { importLayout.PlainLoop(); }) },
            { "import engine", [&] { importLayout.Prepare(); },
              Timed([&] { CImportEngine(&view, ReadImportInput("ORG1"), 0).Run(); }) });
}

} // namespace

void SmallTransfers(const Workspace& ws)
{
    for (int n : ws.fileCounts)
        CompareEngines(ws, std::to_string(n) + " files of 64 bytes", SmallFiles(n));
}

void LargeTransfers(const Workspace& ws)
{
    const std::string master = ws.Path("master");
    CompareEngines(ws, "20 files of 50 MB", LargeFiles(master, 20, 50u << 20));
    RemoveTree(master);
}

} // namespace bench

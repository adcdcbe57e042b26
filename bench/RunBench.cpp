// Whole automatic runs through the real dialog and its progress window (engine pause 0, end pause 0)
// against the engine alone on the same fresh layout: what the dialog and the progress round trips cost.
#include "Layouts.h"

#include "engine/ExportEngine.h"
#include "engine/ImportEngine.h"
#include "run/ExportDlg.h"
#include "run/ImportDlg.h"

namespace bench {

void DialogRuns(const Workspace& ws)
{
    NullView view;
    for (int n : ws.fileCounts) {
        const std::string what = std::to_string(n) + " files";
        const ExportLayout exportLayout(ws, SmallFiles(n));
        Compare("automatic export, " + what, ws.rounds,
                { "export engine alone", [&] { exportLayout.Prepare(); },
                  Timed([&] { CExportEngine(&view, ReadRunInput(UserOrgID()), 0).Run(); }) },
                { "export dialog and progress", [&] { exportLayout.Prepare(); }, Timed([] {
                      CExportDlg dlg(NULL, true);
                      dlg.m_dwEnginePauseMs = 0;
                      dlg.m_dwEndPauseMs = 0;
                      dlg.DoModal();
                  }) });
        const ImportLayout importLayout(ws, SmallFiles(n));
        Compare("automatic import, " + what, ws.rounds,
                { "import engine alone", [&] { importLayout.Prepare(); },
                  Timed([&] { CImportEngine(&view, ReadRunInput(UserOrgID{ "ORG1", false }), 0).Run(); }) },
                { "import dialog and progress", [&] { importLayout.Prepare(); }, Timed([] {
                      CImportDlg dlg(NULL, true, UserOrgID{ "ORG1", false });
                      dlg.m_dwEndPauseMs = 0;
                      dlg.DoModal();
                  }) });
    }
}

} // namespace bench

// Not a check: the export dialog, its task list's cell editor, the progress window of a run and the
// import dialog on the sample installation, for scripts/screenshots.sh.
#include "RunWorkspace.h"

#include "run/ExportDlg.h"
#include "run/ImportDlg.h"
#include "resource.h"
#include "settings/Settings.h"
#include "support/Screenshot.h"

#include <gtest/gtest.h>
#include <commctrl.h>

namespace {

// A left click in the middle of a list cell, posted from the script's thread.
void ClickCell(HWND list, int row, int col)
{
    RECT rc = {};
    rc.top = col;
    rc.left = LVIR_BOUNDS;
    ::SendMessageA(list, LVM_GETSUBITEMRECT, row, reinterpret_cast<LPARAM>(&rc));
    const LPARAM point = MAKELPARAM((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
    ::PostMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, point);
    ::PostMessageA(list, WM_LBUTTONUP, 0, point);
}

TEST(Screenshots, DISABLED_RunDialogs)
{
    ASSERT_NE("", test::ShotDir()) << "QRVLNK_SHOT_DIR names the folder for the marker files";
    ASSERT_NE("", test::SampleWorkDir()) << "QRVLNK_SAMPLE_WORK names the sample installation's working directory";
    const test::CleanProfile profile;
    const test::CurrentDir sample(test::SampleWorkDir());
    test::CopySampleSettings();
    UserOrgID userOrgID;
    userOrgID.strValue = settings::GetString(settings::kUserOrgID);

    CExportDlg exportDlg(NULL, false, userOrgID);
    test::GuiScript exportScript([](test::GuiScript& s) {
        HWND dlg = s.WaitWindow("数据导出");
        test::OfferScreenshot(s, dlg, "export-dialog");
        HWND tasks = ::GetDlgItem(dlg, IDC_EXPORT_TASKS);
        ClickCell(tasks, 1, 1);
        s.WaitFor([&] { return ::GetDlgItem(tasks, IDC_CELL_EDIT) != NULL; }, "the cell editor");
        HWND editor = ::GetDlgItem(tasks, IDC_CELL_EDIT);
        ::SendMessageA(editor, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("2026-12-05 08:00"));
        ::SendMessageA(editor, EM_SETSEL, 16, 16);
        test::OfferScreenshot(s, dlg, "cell-edit");
        ::PostMessageA(editor, WM_KEYDOWN, VK_ESCAPE, 1);
        s.WaitFor([&] { return ::GetDlgItem(tasks, IDC_CELL_EDIT) == NULL; }, "the editor to close");
        s.Press(dlg, IDC_EXPORT_RUN);
        s.WaitFor([] { return test::FindProgress("正在导出数据") != NULL; }, "the progress window");
        s.Sleep(1500);
        test::OfferScreenshot(s, test::FindProgress("正在导出数据"), "progress");
        test::AnswerAppBox(s, "导出数据结束");
        s.Press(dlg, IDOK);
    }, 120000);
    exportDlg.DoModal();
    exportScript.Finish();

    CImportDlg importDlg(NULL, false, userOrgID);
    test::GuiScript importScript([](test::GuiScript& s) {
        HWND dlg = s.WaitWindow("数据导入");
        test::OfferScreenshot(s, dlg, "import-dialog");
        s.Press(dlg, IDOK);
    });
    importDlg.DoModal();
    importScript.Finish();
}

} // namespace

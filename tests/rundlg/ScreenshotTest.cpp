// Not a check: the export dialog, its task list's cell editor, the progress window of a run and the
// import dialog with sample data, for scripts/screenshots.sh.
#include "RunWorkspace.h"

#include "run/ExportDlg.h"
#include "run/ImportDlg.h"
#include "resource.h"
#include "support/Screenshot.h"

#include <gtest/gtest.h>
#include <commctrl.h>

namespace {

const char kOrgMap[] =
    "[OrgMapping]\r\nClientID0000=C001\r\nQRVID0000=Q100\r\nClientID0001=C002\r\nQRVID0001=Q200\r\n"
    "[Suppliers]\r\nSID0000=S01\r\nValid0000=1\r\nName0000=北方食品有限公司\r\nSID0001=S02\r\nValid0001=0\r\n"
    "Name0001=南方日用品公司\r\nSID0002=S03\r\nValid0002=1\r\nName0002=东海水产\r\n";
const char kTaskDefine[] =
    "[销售订单]\r\nFileName=ORD_C001.txt\r\nChecked=1\r\nLastExportTime=2026-12-01 00:00:00\r\n"
    "[库存日报]\r\nFileName=STK_C002.txt\r\nChecked=0\r\nLastExportTime=2026-12-06 12:00:00\r\n"
    "[退货单]\r\nFileName=RET_C001.txt\r\n";
const int kSendFiles = 20;

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
    test::RunWorkspace ws;
    test::WriteFile(ws.Ini("OrgMap.ini"), kOrgMap);
    test::WriteFile(ws.Ini("TaskDefine.ini"), kTaskDefine);
    for (int i = 1; i <= kSendFiles; ++i)
        test::WriteFile(ws.Send() + "\\RPT_C002_" + std::to_string(i) + ".txt", "report");

    CExportDlg exportDlg(NULL, false);
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

    CImportDlg importDlg(NULL, false, UserOrgID());
    test::GuiScript importScript([](test::GuiScript& s) {
        HWND dlg = s.WaitWindow("数据导入");
        test::OfferScreenshot(s, dlg, "import-dialog");
        s.Press(dlg, IDOK);
    });
    importDlg.DoModal();
    importScript.Finish();
}

} // namespace

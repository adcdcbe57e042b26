// Not a check: shows every page of the sheet with sample data for tests/setup/screenshots.sh, which
// photographs the screen. For each page it writes <dir>\page-N.ready holding the sheet's screen
// rectangle, then waits for the script's page-N.done. Run with QRVLNK_SHOT_DIR set and
// --gtest_also_run_disabled_tests.
#include "SheetDriver.h"

#include "resource.h"
#include "settings/Settings.h"

#include <cstdlib>

namespace setuptest {
namespace {

class Screenshots : public SheetTest {};

TEST_F(Screenshots, DISABLED_EveryPage)
{
    const char* shotDir = std::getenv("QRVLNK_SHOT_DIR");
    ASSERT_NE(nullptr, shotDir) << "QRVLNK_SHOT_DIR names the folder for the marker files";
    const std::string dir = shotDir;
    ASSERT_TRUE(test::WriteFile(OrgMapIni(), "[OrgMapping]\r\nClientID0000=A01\r\nQRVID0000=P9\r\n"
                                             "ClientID0001=北京01\r\nQRVID0001=BJ01\r\n"
                                             "[Suppliers]\r\nSID0000=S1\r\nValid0000=1\r\nName0000=华北供应商\r\n"
                                             "SID0001=S2\r\nValid0001=0\r\nName0001=华南供应商\r\n"));
    ASSERT_TRUE(test::WriteFile(TaskDefineIni(),
                                "[日报]\r\nFileName=day.txt\r\nChecked=1\r\nLastExportTime=2024-02-03 04:05:06\r\n"
                                "SQL=select * from 销售 where 日期 >= :start\r\n"
                                "[库存]\r\nFileName=stock.txt\r\nChecked=0\r\n"));
    settings::SetString(settings::kExportLocation, "C:\\QRVHUB\\数据");
    settings::SetString(settings::kSourcePath, "D:\\分销\\发送");
    settings::SetString(settings::kDestPath, "D:\\分销\\接收");
    settings::SetString(settings::kOrgID, "分销库");
    settings::SetString(settings::kUsername, "sa");
    settings::SetString(settings::kPassword, "secret");

    RunSheet([&](test::GuiScript& s, HWND sheet) {
        for (int page = kOrgMapPage; page <= kSupplierPage; ++page) {
            HWND hPage = SelectPage(sheet, page);
            if (page == kTasksPage)
                SelectRow(hPage, IDC_TASKS_LIST, 0);
            ::SetForegroundWindow(sheet);
            RECT rc = {};
            ::GetWindowRect(sheet, &rc);
            const std::string name = dir + "\\page-" + std::to_string(page);
            test::WriteFile(name + ".ready", std::to_string(rc.left) + " " + std::to_string(rc.top) + " "
                                                 + std::to_string(rc.right - rc.left) + " "
                                                 + std::to_string(rc.bottom - rc.top) + "\n");
            s.WaitFor([&] { return test::Exists(name + ".done"); }, "the screenshot", 60000);
        }
        PressCancel(s, sheet);
    });
}

} // namespace
} // namespace setuptest

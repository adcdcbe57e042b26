// Not a check: every page of the sheet with sample data, for scripts/screenshots.sh.
#include "SheetDriver.h"

#include "resource.h"
#include "settings/Settings.h"
#include "support/Screenshot.h"

namespace setuptest {
namespace {

class Screenshots : public SheetTest {};

TEST_F(Screenshots, DISABLED_EveryPage)
{
    ASSERT_NE("", test::ShotDir()) << "QRVLNK_SHOT_DIR names the folder for the marker files";
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

    const char* const names[] = { "setup-orgmap", "setup-filepath", "setup-database", "setup-tasks", "setup-supplier" };
    RunSheet([&](test::GuiScript& s, HWND sheet) {
        for (int page = kOrgMapPage; page <= kSupplierPage; ++page) {
            HWND hPage = SelectPage(sheet, page);
            if (page == kTasksPage)
                SelectRow(hPage, IDC_TASKS_LIST, 0);
            test::OfferScreenshot(s, sheet, names[page]);
        }
        PressCancel(s, sheet);
    });
}

} // namespace
} // namespace setuptest

// Not a check: every page of the sheet on the sample installation, for scripts/screenshots.sh.
#include "SheetDriver.h"

#include "resource.h"
#include "support/Screenshot.h"

namespace setuptest {
namespace {

class Screenshots : public SheetTest {};

TEST_F(Screenshots, DISABLED_EveryPage)
{
    ASSERT_NE("", test::ShotDir()) << "QRVLNK_SHOT_DIR names the folder for the marker files";
    ASSERT_NE("", test::SampleWorkDir()) << "QRVLNK_SAMPLE_WORK names the sample installation's working directory";
    const test::CurrentDir sample(test::SampleWorkDir());
    test::CopySampleSettings();

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

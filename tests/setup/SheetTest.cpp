// The sheet as a whole, the file-path page and the database page, driven through the real sheet.
#include "SheetDriver.h"

#include "framework/Window.h"
#include "resource.h"
#include "settings/Settings.h"

namespace setuptest {
namespace {

const char kOrgMapText[] =
    "[OrgMapping]\r\nClientID0000=A01\r\nQRVID0000=P9\r\nClientID0001=B02\r\nClientID0002=C03\r\nQRVID0002=Q8\r\n"
    "[Suppliers]\r\nSID0000=S1\r\nValid0000=1\r\nName0000=甲\r\n";
const char kTaskText[] = "[日报]\r\nFileName=day.txt\r\nChecked=1\r\n";

class SetupSheet : public SheetTest {};

// The folder browser: a dialog owned by the sheet, found by the title text it shows inside.
HWND WaitFolderBrowser(test::GuiScript& s, HWND sheet, const char* title)
{
    struct Find {
        HWND sheet;
        const char* title;
        HWND found;
        static BOOL CALLBACK Proc(HWND hWnd, LPARAM lParam)
        {
            Find* f = reinterpret_cast<Find*>(lParam);
            if (::GetWindow(hWnd, GW_OWNER) != f->sheet || !::IsWindowVisible(hWnd))
                return TRUE;
            for (HWND child = ::GetWindow(hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
                if (CWindow::GetText(child) == f->title) {
                    f->found = hWnd;
                    return FALSE;
                }
            }
            return TRUE;
        }
    } find = { sheet, title, nullptr };
    s.WaitFor(
        [&] {
            ::EnumWindows(Find::Proc, reinterpret_cast<LPARAM>(&find));
            return find.found != nullptr;
        },
        title);
    return find.found;
}

TEST_F(SetupSheet, OpensOnTheMappingPageWithFiveTabs)
{
    RunSheet([](test::GuiScript& s, HWND sheet) {
        HWND page = CurrentPage(sheet);
        EXPECT_NE(nullptr, ::GetDlgItem(page, IDC_ORGMAP_LIST)) << "the first page is the mapping page";
        HWND tabs = reinterpret_cast<HWND>(::SendMessageA(sheet, PSM_GETTABCONTROL, 0, 0));
        EXPECT_EQ(5, ::SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0));
        const char* captions[] = { "代码对应", "数据文件路径", "数据库参数", "任务SQL查看", "供商表管理" };
        for (int i = 0; i < 5; ++i) {
            char text[64] = "";
            TCITEMA item = {};
            item.mask = TCIF_TEXT;
            item.pszText = text;
            item.cchTextMax = sizeof(text);
            ::SendMessageA(tabs, TCM_GETITEMA, i, reinterpret_cast<LPARAM>(&item));
            EXPECT_EQ(captions[i], std::string(text)) << "tab " << i;
        }
        EXPECT_FALSE(ApplyEnabled(sheet)) << "nothing changed yet";
        PressCancel(s, sheet);
    });
}

TEST_F(SetupSheet, OwnedByTheActiveWindowWhichIsDisabledMeanwhile)
{
    HWND host = ::CreateWindowExA(0, "STATIC", "host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100, nullptr,
                                  nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, host);
    ::SetActiveWindow(host);
    ASSERT_EQ(host, ::GetActiveWindow());
    RunSheet([host](test::GuiScript& s, HWND sheet) {
        EXPECT_EQ(host, ::GetWindow(sheet, GW_OWNER));
        EXPECT_FALSE(::IsWindowEnabled(host)) << "the owner is disabled while the sheet is up";
        PressCancel(s, sheet);
    });
    EXPECT_TRUE(::IsWindowEnabled(host));
    ::DestroyWindow(host);
}

TEST_F(SetupSheet, OkAtOnceStoresNothingFromPagesNeverShown)
{
    ASSERT_TRUE(test::WriteFile(OrgMapIni(), kOrgMapText));
    ASSERT_TRUE(test::WriteFile(TaskDefineIni(), kTaskText));
    ASSERT_TRUE(settings::SetString(settings::kExportLocation, "D:\\Data"));
    RunSheet([](test::GuiScript& s, HWND sheet) { PressOk(s, sheet); });

    EXPECT_EQ(kOrgMapText, test::ReadFile(OrgMapIni())) << "the mapping page saves only after a change";
    EXPECT_EQ(kTaskText, test::ReadFile(TaskDefineIni()));
    EXPECT_EQ("D:\\Data", RegValue(settings::kExportLocation));
    for (const char* name : { settings::kSourcePath, settings::kDestPath, settings::kIsDeleted, settings::kOrgID,
                              settings::kUsername, settings::kPassword })
        EXPECT_EQ("<absent>", RegValue(name)) << name;
}

TEST_F(SetupSheet, CancelStoresNothingFromAnyPage)
{
    ASSERT_TRUE(test::WriteFile(OrgMapIni(), kOrgMapText));
    ASSERT_TRUE(test::WriteFile(TaskDefineIni(), kTaskText));
    RunSheet([](test::GuiScript& s, HWND sheet) {
        for (int i = kSupplierPage; i >= kOrgMapPage; --i)
            SelectPage(sheet, i);
        s.SetText(SelectPage(sheet, kDatabasePage), IDC_DB_USERNAME, "sa");
        s.SetText(SelectPage(sheet, kFilePathPage), IDC_PATH_SOURCE, "C:\\Send");
        SetRowCheck(SelectPage(sheet, kTasksPage), IDC_TASKS_LIST, 0, false);
        EXPECT_TRUE(ApplyEnabled(sheet));
        PressCancel(s, sheet);
    });
    EXPECT_EQ(kOrgMapText, test::ReadFile(OrgMapIni()));
    EXPECT_EQ(kTaskText, test::ReadFile(TaskDefineIni()));
    EXPECT_EQ("<absent>", RegValue(settings::kUsername));
    EXPECT_EQ("<absent>", RegValue(settings::kSourcePath));
}

TEST_F(SetupSheet, FilePathPageVisitedOnceStoresAllFourValues)
{
    ASSERT_TRUE(settings::SetString(settings::kExportLocation, "D:\\Data"));
    ASSERT_TRUE(settings::SetString(settings::kSourcePath, "C:\\Send"));
    RunSheet([](test::GuiScript& s, HWND sheet) {
        HWND page = SelectPage(sheet, kFilePathPage);
        EXPECT_EQ("C:\\Send", test::GuiScript::Text(page, IDC_PATH_SOURCE));
        EXPECT_EQ("", test::GuiScript::Text(page, IDC_PATH_DEST));
        EXPECT_EQ("D:\\Data", test::GuiScript::Text(page, IDC_PATH_EXPORT_LOCATION));
        EXPECT_TRUE(::GetWindowLongA(::GetDlgItem(page, IDC_PATH_EXPORT_LOCATION), GWL_STYLE) & ES_READONLY);
        EXPECT_EQ(BST_CHECKED, ::SendMessageA(::GetDlgItem(page, IDC_PATH_IS_DELETED), BM_GETCHECK, 0, 0))
            << "an absent flag shows ticked";
        SelectPage(sheet, kOrgMapPage);
        PressOk(s, sheet);
    });
    DWORD type = 0;
    EXPECT_EQ("", RegValue(settings::kDestPath, &type));
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
    EXPECT_EQ("C:\\Send", RegValue(settings::kSourcePath));
    EXPECT_EQ("D:\\Data", RegValue(settings::kExportLocation)) << "written back unchanged";
    RegValue(settings::kIsDeleted, &type);
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), type);
    EXPECT_EQ(1, settings::GetInt(settings::kIsDeleted));
    EXPECT_EQ("<absent>", RegValue(settings::kOrgID)) << "the database page was never shown";
}

TEST_F(SetupSheet, FilePathEditsAndTheDeleteBoxAreStoredAsLeft)
{
    ASSERT_TRUE(settings::SetInt(settings::kIsDeleted, 0));
    RunSheet([](test::GuiScript& s, HWND sheet) {
        HWND page = SelectPage(sheet, kFilePathPage);
        HWND box = ::GetDlgItem(page, IDC_PATH_IS_DELETED);
        EXPECT_EQ(BST_UNCHECKED, ::SendMessageA(box, BM_GETCHECK, 0, 0));
        s.SetText(page, IDC_PATH_SOURCE, "E:\\发送\\表");
        s.SetText(page, IDC_PATH_DEST, "E:\\接收");
        EXPECT_TRUE(ApplyEnabled(sheet)) << "typing marks the page modified";
        ::SendMessageA(box, BM_CLICK, 0, 0);
        // Leaving and returning keeps what was typed.
        SelectPage(sheet, kDatabasePage);
        page = SelectPage(sheet, kFilePathPage);
        EXPECT_EQ("E:\\发送\\表", test::GuiScript::Text(page, IDC_PATH_SOURCE));
        PressOk(s, sheet);
    });
    EXPECT_EQ("E:\\发送\\表", RegValue(settings::kSourcePath));
    EXPECT_EQ("E:\\接收", RegValue(settings::kDestPath));
    EXPECT_EQ(1, settings::GetInt(settings::kIsDeleted)) << "the ticked box is stored without Apply";
    EXPECT_EQ("", RegValue(settings::kExportLocation));
}

// A folder that a run would resolve against whatever directory the host has then is refused; the page
// stays until the folder is full.
TEST_F(SetupSheet, FoldersThatAreNoFullPathsAreRefused)
{
    RunSheet([](test::GuiScript& s, HWND sheet) {
        HWND page = SelectPage(sheet, kFilePathPage);
        const struct {
            int id;
            const char* typed;
            const char* label;
        } cases[] = { { IDC_PATH_DEST, "Recv", "源数据接收目录" }, { IDC_PATH_DEST, "D:", "源数据接收目录" },
                      { IDC_PATH_SOURCE, "\\Send", "源数据发送目录" }, { IDC_PATH_SOURCE, "D:Send", "源数据发送目录" } };
        for (const auto& c : cases) {
            TRACE_CASE(cases, c);
            s.SetText(page, c.id, c.typed);
            ::PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
            const std::string text = AnswerMessageBox(s, IDOK);
            EXPECT_EQ(0u, text.find(std::string(c.label) + "“" + c.typed + "”不是完整的路径")) << text;
            s.SetText(page, c.id, "");
        }
        s.SetText(page, IDC_PATH_DEST, "\\\\server\\share\\收");
        s.SetText(page, IDC_PATH_SOURCE, "d:/send");
        PressOk(s, sheet);
    });
    EXPECT_EQ("\\\\server\\share\\收", RegValue(settings::kDestPath));
    EXPECT_EQ("d:/send", RegValue(settings::kSourcePath));
}

TEST_F(SetupSheet, FolderBrowserFillsItsEditAndKeepsWhatWasTyped)
{
    std::string chosen;
    RunSheet([&](test::GuiScript& s, HWND sheet) {
        HWND page = SelectPage(sheet, kFilePathPage);
        s.Press(page, IDC_PATH_BROWSE_SOURCE);
        HWND browser = WaitFolderBrowser(s, sheet, "请选择源数据发送目录：");
        s.Answer(browser, IDCANCEL);
        s.WaitGone(browser);
        EXPECT_EQ("", test::GuiScript::Text(page, IDC_PATH_SOURCE)) << "a cancelled browser changes nothing";

        s.SetText(page, IDC_PATH_SOURCE, "C:\\typed");
        s.Press(page, IDC_PATH_BROWSE_DEST);
        browser = WaitFolderBrowser(s, sheet, "请选择源数据接收目录：");
        s.Answer(browser, IDOK);
        s.WaitGone(browser);
        s.WaitFor([&] { return !test::GuiScript::Text(page, IDC_PATH_DEST).empty(); }, "the chosen folder");
        chosen = test::GuiScript::Text(page, IDC_PATH_DEST);
        EXPECT_EQ("C:\\typed", test::GuiScript::Text(page, IDC_PATH_SOURCE));
        PressOk(s, sheet);
    });
    EXPECT_TRUE(test::IsDirectory(chosen)) << "a file-system folder: " << chosen;
    EXPECT_EQ(chosen, RegValue(settings::kDestPath));
    EXPECT_EQ("C:\\typed", RegValue(settings::kSourcePath));
}

TEST_F(SetupSheet, DatabasePageStoresThePasswordInClearTextAsTyped)
{
    const char kPassword[] = "p'a\\ss 密码 ";
    ASSERT_TRUE(settings::SetString(settings::kOrgID, "dsn"));
    RunSheet([&](test::GuiScript& s, HWND sheet) {
        HWND page = SelectPage(sheet, kDatabasePage);
        EXPECT_EQ("dsn", test::GuiScript::Text(page, IDC_DB_DATASOURCE));
        EXPECT_NE(0, ::SendMessageA(::GetDlgItem(page, IDC_DB_PASSWORD), EM_GETPASSWORDCHAR, 0, 0))
            << "the password is shown masked";
        s.SetText(page, IDC_DB_USERNAME, "用户");
        s.SetText(page, IDC_DB_PASSWORD, kPassword);
        PressApply(sheet);
        EXPECT_EQ(kPassword, RegValue(settings::kPassword)) << "Apply stores while the sheet stays open";
        PressOk(s, sheet);
    });
    DWORD type = 0;
    EXPECT_EQ(kPassword, RegValue(settings::kPassword, &type));
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
    EXPECT_EQ("用户", RegValue(settings::kUsername));
    EXPECT_EQ("dsn", RegValue(settings::kOrgID));
    EXPECT_EQ("<absent>", RegValue(settings::kSourcePath)) << "the file-path page was never shown";

    RunSheet([&](test::GuiScript& s, HWND sheet) {
        HWND page = SelectPage(sheet, kDatabasePage);
        EXPECT_EQ(kPassword, test::GuiScript::Text(page, IDC_DB_PASSWORD));
        PressCancel(s, sheet);
    });
}

} // namespace
} // namespace setuptest

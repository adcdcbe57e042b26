// The import dialog driven through its real window: time edits, runs, refusals while busy and the
// automatic mode.
#include "RunWorkspace.h"

#include "framework/App.h"
#include "run/ImportDlg.h"
#include "resource.h"
#include "settings/Settings.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

const char kTitle[] = "数据导入";
const char kHeading[] = "正在导入数据";

class ImportDlgTest : public ::testing::Test {
protected:
    // Deliveries for organisation P01 wait in data\P01.
    ImportDlgTest()
    {
        test::MakeDir(Delivery());
        test::WriteFile(Delivery() + "\\a.txt", "a");
        test::WriteFile(Delivery() + "\\b.txt", "b");
    }

    const UserOrgID m_userOrgID{ "P01", false };

    INT_PTR Run(CImportDlg& dlg, const std::function<void(test::GuiScript&, HWND)>& body)
    {
        test::GuiScript script([&](test::GuiScript& s) { body(s, s.WaitWindow(kTitle)); });
        INT_PTR result = dlg.DoModal();
        script.Finish();
        return result;
    }

    std::string Delivery() const { return m_ws.Data() + "\\P01"; }
    void ExpectImported() const
    {
        EXPECT_EQ((std::vector<std::string>{ "a.txt", "b.txt" }), test::ListDir(m_ws.Receive()));
        EXPECT_EQ((std::vector<std::string>{ "a.txt", "b.txt" }), test::ListDir(Delivery() + "\\Backup"));
    }

    test::RunWorkspace m_ws;
};

TEST_F(ImportDlgTest, ShowsTodayUntilTomorrowAndARunEndsWithTheEndMessage)
{
    CDateTime start0, end0, start1, end1;
    ImportTimeWindow(CDateTime::Now(), &start0, &end0);
    CImportDlg dlg(NULL, false, m_userOrgID);
    dlg.m_dwEndPauseMs = 0;
    std::string start, end;
    INT_PTR result = Run(dlg, [&](test::GuiScript& s, HWND hDlg) {
        start = s.Text(hDlg, IDC_IMPORT_START_TIME);
        end = s.Text(hDlg, IDC_IMPORT_END_TIME);
        s.Press(hDlg, IDC_IMPORT_RUN);
        test::AnswerAppBox(s, "导入数据结束");
        EXPECT_EQ(NULL, test::FindProgress(kHeading));
        EXPECT_TRUE(::IsWindowVisible(hDlg)) << "the dialog stays open for another run";
        s.Press(hDlg, IDCANCEL);
    });
    ImportTimeWindow(CDateTime::Now(), &start1, &end1);
    EXPECT_TRUE(start == start0.Format() || start == start1.Format()) << start;
    EXPECT_TRUE(end == end0.Format() || end == end1.Format()) << end;
    EXPECT_EQ(IDCANCEL, result);
    ExpectImported();
}

// The engine's error box holds the run: the progress window shows its first state, and the dialog
// refuses to start again or to close, however asked.
TEST_F(ImportDlgTest, WhileBusyAnotherStartAndEveryWayOfClosingAreRefused)
{
    settings::SetString(settings::kDestPath, "");
    CImportDlg dlg(NULL, false, m_userOrgID);
    dlg.m_dwEndPauseMs = 0;
    INT_PTR result = Run(dlg, [&](test::GuiScript& s, HWND hDlg) {
        s.Press(hDlg, IDC_IMPORT_RUN);
        HWND error = s.WaitWindow("错误信息");
        EXPECT_EQ("还没有设置源数据文件接收路径，请在“接口参数设置”中设置", s.MessageText(error));
        EXPECT_EQ(hDlg, ::GetWindow(error, GW_OWNER));
        HWND progress = test::FindProgress(kHeading);
        EXPECT_NE(nullptr, progress);
        EXPECT_EQ("就绪", s.Text(progress, 1024));

        s.Press(hDlg, IDC_IMPORT_RUN);
        test::AnswerAppBox(s, "正在导入数据...");
        s.Press(hDlg, IDCANCEL);
        test::AnswerAppBox(s, "正在导入数据，不能关闭本窗口");
        ::PostMessageA(hDlg, WM_CLOSE, 0, 0);
        test::AnswerAppBox(s, "正在导入数据，不能关闭本窗口");
        s.Press(hDlg, IDOK);
        test::AnswerAppBox(s, "正在导入数据，不能关闭本窗口");
        ::PostMessageA(::GetDlgItem(hDlg, IDC_IMPORT_START_TIME), WM_KEYDOWN, VK_ESCAPE, 1);

        s.Answer(error);
        test::AnswerAppBox(s, "导入数据结束");
        EXPECT_TRUE(::IsWindowVisible(hDlg));
        ::PostMessageA(hDlg, WM_CLOSE, 0, 0);
        s.WaitGone(hDlg);
    });
    EXPECT_EQ(IDCANCEL, result);
}

TEST_F(ImportDlgTest, EscapeNeverClosesAndEnterInAnEditStartsARun)
{
    CImportDlg dlg(NULL, false, m_userOrgID);
    dlg.m_dwEndPauseMs = 0;
    Run(dlg, [&](test::GuiScript& s, HWND hDlg) {
        HWND edit = ::GetDlgItem(hDlg, IDC_IMPORT_END_TIME);
        test::PostFocus(hDlg, IDC_IMPORT_END_TIME);
        s.WaitFor([&] { return test::FocusOf(hDlg) == edit; }, "the focus in the edit");
        ::PostMessageA(edit, WM_KEYDOWN, VK_ESCAPE, 1);
        ::PostMessageA(edit, WM_KEYDOWN, VK_RETURN, 1);
        ::PostMessageA(edit, WM_KEYUP, VK_RETURN, 0xC0000001);
        test::AnswerAppBox(s, "导入数据结束");
        s.Press(hDlg, IDCANCEL);
    });
    ExpectImported();
}

TEST_F(ImportDlgTest, LeavingATimeEditChecksTheDate)
{
    struct Case {
        const char* text;
        bool wrong;
        const char* held;
    };
    const Case cases[] = {
        { "2000-10-09 08:34:56", false, "2000-10-09 00:00:00" },
        { "abc", true, "" },
    };
    for (const Case& c : cases) {
        TRACE_CASE(cases, c);
        CImportDlg dlg(NULL, false, m_userOrgID);
        std::string shown;
        Run(dlg, [&](test::GuiScript& s, HWND hDlg) {
            HWND edit = ::GetDlgItem(hDlg, IDC_IMPORT_START_TIME);
            s.SetText(hDlg, IDC_IMPORT_START_TIME, c.text);
            test::PostFocus(hDlg, IDC_IMPORT_START_TIME);
            test::PostFocus(hDlg, IDC_IMPORT_END_TIME);
            if (c.wrong) {
                HWND box = s.WaitWindow("错误信息");
                EXPECT_EQ(CRunDlg::kDateFormatError, s.MessageText(box));
                s.Answer(box);
                s.WaitFor([&] { return test::FocusOf(hDlg) == edit; }, "the focus back in the edit");
            } else {
                s.WaitFor([&] { return test::FocusOf(hDlg) == ::GetDlgItem(hDlg, IDC_IMPORT_END_TIME); }, "the focus");
                EXPECT_EQ(NULL, test::FindDialog("错误信息"));
            }
            shown = s.Text(hDlg, IDC_IMPORT_START_TIME);
            s.Press(hDlg, IDCANCEL);
        });
        EXPECT_EQ(c.text, shown);
        EXPECT_EQ(c.held, dlg.m_startTime.Format()) << c.text;
    }
}

TEST_F(ImportDlgTest, AutomaticRunShowsNoDialogAndNoEndMessageAndEndsItself)
{
    CImportDlg dlg(NULL, true, m_userOrgID);
    dlg.m_dwEndPauseMs = 500;
    bool endMessage = false;
    test::GuiScript script([&](test::GuiScript& s) {
        s.WaitFor([] { return test::FindProgress(kHeading) != NULL; }, "the progress window");
        HWND hDlg = test::FindDialog(kTitle);
        EXPECT_NE(nullptr, hDlg);
        RECT rc = {};
        ::GetWindowRect(hDlg, &rc);
        EXPECT_EQ(0, rc.right - rc.left);
        EXPECT_EQ(0, rc.bottom - rc.top);
        s.WaitFor([&] {
            endMessage = endMessage || test::FindDialog(CApp::Get()->GetAppName()) != NULL;
            return !::IsWindow(hDlg);
        }, "the dialog to end itself");
    });
    EXPECT_EQ(IDOK, dlg.DoModal());
    script.Finish();
    EXPECT_FALSE(endMessage);
    ExpectImported();
}

} // namespace

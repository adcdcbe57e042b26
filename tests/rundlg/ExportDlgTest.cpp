// The export dialog driven through its real window: lists, time edits, "修改", the run handshake and
// what a run leaves in the INI files.
#include "RunWorkspace.h"

#include "run/ExportDlg.h"
#include "framework/App.h"
#include "resource.h"
#include "settings/Settings.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <commctrl.h>

namespace {

const char kTitle[] = "数据导出";
const char kHeading[] = "正在导出数据";

std::string SectionOf(const std::string& path, const char* section)
{
    char buffer[4096] = "";
    DWORD n = ::GetPrivateProfileSectionA(section, buffer, sizeof(buffer), path.c_str());
    std::string lines;
    for (const char* p = buffer; p < buffer + n && *p; p += strlen(p) + 1)
        lines += std::string(p) + "\n";
    return lines;
}

void SetCheck(HWND list, int row, bool check)
{
    LVITEMA item = {};
    item.stateMask = LVIS_STATEIMAGEMASK;
    item.state = INDEXTOSTATEIMAGEMASK(check ? 2 : 1);
    ::SendMessageA(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
}

class ExportDlgTest : public ::testing::Test {
protected:
    ExportDlgTest() { m_ws.WriteIniFiles(); }

    // Runs an export dialog while body drives it; returns the dialog's result.
    INT_PTR Run(CExportDlg& dlg, const std::function<void(test::GuiScript&, HWND)>& body)
    {
        test::GuiScript script([&](test::GuiScript& s) { body(s, s.WaitWindow(kTitle)); });
        INT_PTR result = dlg.DoModal();
        script.Finish();
        return result;
    }

    std::string OrgMap() const { return test::ReadFile(m_ws.Ini("OrgMap.ini")); }
    std::string TaskDefine() const { return test::ReadFile(m_ws.Ini("TaskDefine.ini")); }

    test::RunWorkspace m_ws;
};

TEST_F(ExportDlgTest, ShowsTheListsOfTheIniFilesAndTheHalfDayAroundNow)
{
    CDateTime start0, end0, start1, end1;
    ExportTimeWindow(CDateTime::Now(), &start0, &end0);
    CExportDlg dlg(NULL, 0);
    std::string start, end;
    Run(dlg, [&](test::GuiScript& s, HWND hDlg) {
        start = s.Text(hDlg, IDC_EXPORT_START_TIME);
        end = s.Text(hDlg, IDC_EXPORT_END_TIME);
        HWND tasks = ::GetDlgItem(hDlg, IDC_EXPORT_TASKS);
        HWND suppliers = ::GetDlgItem(hDlg, IDC_EXPORT_SUPPLIERS);
        EXPECT_EQ(2, ::SendMessageA(tasks, LVM_GETITEMCOUNT, 0, 0));
        EXPECT_EQ("日报", test::ItemText(tasks, 0, 0));
        EXPECT_EQ("2005-01-02 03:04:05", test::ItemText(tasks, 0, 1));
        EXPECT_TRUE(test::ItemChecked(tasks, 0));
        EXPECT_EQ("Orders", test::ItemText(tasks, 1, 0));
        EXPECT_EQ("2001-01-01 00:00:00", test::ItemText(tasks, 1, 1));
        EXPECT_FALSE(test::ItemChecked(tasks, 1));
        EXPECT_EQ(2, ::SendMessageA(suppliers, LVM_GETITEMCOUNT, 0, 0)) << "the gap after SID0001 ends the list";
        EXPECT_EQ("S01", test::ItemText(suppliers, 0, 0));
        EXPECT_EQ("甲供商", test::ItemText(suppliers, 0, 1));
        EXPECT_FALSE(test::ItemChecked(suppliers, 0));
        EXPECT_TRUE(test::ItemChecked(suppliers, 1));

        struct Column {
            HWND list;
            int index;
            const char* heading;
            int format;
            int width;
        };
        const Column columns[] = {
            { tasks, 0, "任务列表", LVCFMT_CENTER, 140 },
            { tasks, 1, "导出起始时间", LVCFMT_LEFT, 145 },
            { suppliers, 0, "供商代码", LVCFMT_CENTER, 100 },
            { suppliers, 1, "供商名称", LVCFMT_LEFT, 185 },
        };
        for (const Column& c : columns) {
            TRACE_CASE(columns, c);
            char text[64] = "";
            LVCOLUMNA column = {};
            column.mask = LVCF_TEXT | LVCF_FMT | LVCF_WIDTH;
            column.pszText = text;
            column.cchTextMax = sizeof(text);
            EXPECT_TRUE(::SendMessageA(c.list, LVM_GETCOLUMNA, c.index, reinterpret_cast<LPARAM>(&column)));
            EXPECT_STREQ(c.heading, text);
            EXPECT_EQ(c.format, column.fmt & LVCFMT_JUSTIFYMASK) << c.heading;
            EXPECT_EQ(c.width, column.cx) << c.heading;
        }
        for (HWND list : { tasks, suppliers }) {
            EXPECT_EQ(0x427u, ::SendMessageA(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & 0x427u);
            EXPECT_EQ(RGB(240, 240, 240), static_cast<COLORREF>(::SendMessageA(list, LVM_GETBKCOLOR, 0, 0)));
            EXPECT_EQ(RGB(240, 240, 240), static_cast<COLORREF>(::SendMessageA(list, LVM_GETTEXTBKCOLOR, 0, 0)));
        }
        s.Press(hDlg, IDOK);
    });
    ExportTimeWindow(CDateTime::Now(), &start1, &end1);
    // The window was taken between the two readings of the clock.
    EXPECT_TRUE(start == start0.Format() || start == start1.Format()) << start;
    EXPECT_TRUE(end == end0.Format() || end == end1.Format()) << end;
}

TEST_F(ExportDlgTest, ModifyCopiesTheStartTextAndClosingWithoutARunWritesNothing)
{
    const std::string orgMap = OrgMap();
    const std::string taskDefine = TaskDefine();
    CExportDlg dlg(NULL, 0);
    INT_PTR result = Run(dlg, [&](test::GuiScript& s, HWND hDlg) {
        HWND tasks = ::GetDlgItem(hDlg, IDC_EXPORT_TASKS);
        s.SetText(hDlg, IDC_EXPORT_START_TIME, "2000-10-09 08:34:56");
        s.Press(hDlg, IDC_EXPORT_MODIFY);
        s.WaitFor([&] { return test::ItemText(tasks, 1, 1) == "2000-10-09 08:34:56"; }, "the copied start time");
        EXPECT_EQ("2000-10-09 08:34:56", test::ItemText(tasks, 0, 1));
        SetCheck(tasks, 1, true);
        SetCheck(::GetDlgItem(hDlg, IDC_EXPORT_SUPPLIERS), 0, true);
        s.Press(hDlg, IDOK);
    });
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ(orgMap, OrgMap());
    EXPECT_EQ(taskDefine, TaskDefine());
}

TEST_F(ExportDlgTest, RunWritesEveryTaskAndRewritesTheSuppliersWithTempSql)
{
    m_ws.FillSendFolder(1);
    CExportDlg dlg(NULL, 0);
    dlg.m_dwEnginePauseMs = 0;
    dlg.m_dwEndPauseMs = 0;
    Run(dlg, [&](test::GuiScript& s, HWND hDlg) {
        SetCheck(::GetDlgItem(hDlg, IDC_EXPORT_TASKS), 0, false);
        SetCheck(::GetDlgItem(hDlg, IDC_EXPORT_SUPPLIERS), 0, true);
        s.Press(hDlg, IDC_EXPORT_RUN);
        test::AnswerAppBox(s, "导出数据结束");
        EXPECT_EQ(NULL, test::FindProgress(kHeading)) << "the progress window outlived the run";
        s.Press(hDlg, IDOK);
    });
    EXPECT_TRUE(test::Exists(m_ws.Data() + "\\P01\\x_C01_0.txt")) << "the run did not export";

    const std::string taskDefine = m_ws.Ini("TaskDefine.ini");
    EXPECT_EQ("FileName=day.txt\nChecked=0\nLastExportTime=2005-01-02 03:04:05\n", SectionOf(taskDefine, "日报"));
    EXPECT_EQ("FileName=orders.txt\nChecked=0\nLastExportTime=2001-01-01 00:00:00\n", SectionOf(taskDefine, "Orders"));

    std::vector<settings::Supplier> suppliers(2);
    suppliers[0] = { "S01", "甲供商", true };
    suppliers[1] = { "S02", "乙", true };
    // The profile API reads values without their trailing blanks.
    std::string tempSql = settings::BuildTempSQL(suppliers);
    tempSql.erase(tempSql.find_last_not_of(' ') + 1);
    EXPECT_EQ("SID0000=S01\nValid0000=1\nName0000=甲供商\nSID0001=S02\nValid0001=1\nName0001=乙\nTempSQL=" + tempSql
                  + "\n",
              SectionOf(m_ws.Ini("OrgMap.ini"), "Suppliers"));
    EXPECT_EQ("ClientID0000=C01\nQRVID0000=P01\n", SectionOf(m_ws.Ini("OrgMap.ini"), "OrgMapping"));
}

TEST_F(ExportDlgTest, WhileBusyAnotherStartAndEveryWayOfClosingAreRefused)
{
    m_ws.FillSendFolder(25);
    CExportDlg dlg(NULL, 0);
    dlg.m_dwEnginePauseMs = 200;
    dlg.m_dwEndPauseMs = 0;
    INT_PTR result = Run(dlg, [&](test::GuiScript& s, HWND hDlg) {
        s.Press(hDlg, IDC_EXPORT_RUN);
        s.WaitFor([] { return test::FindProgress(kHeading) != NULL; }, "the progress window");
        s.Press(hDlg, IDC_EXPORT_RUN);
        test::AnswerAppBox(s, "正在导出数据...", hDlg);
        s.Press(hDlg, IDOK);
        test::AnswerAppBox(s, "正在导出数据，不能关闭本窗口", hDlg);
        ::PostMessageA(hDlg, WM_CLOSE, 0, 0);
        test::AnswerAppBox(s, "正在导出数据，不能关闭本窗口", hDlg);
        ::PostMessageA(::GetDlgItem(hDlg, IDC_EXPORT_START_TIME), WM_KEYDOWN, VK_ESCAPE, 1);
        // Another program's window takes the activation: the end box still belongs to the dialog.
        HWND other = ::CreateWindowExA(0, "STATIC", "other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 100, 100, nullptr,
                                       nullptr, nullptr, nullptr);
        ::SetForegroundWindow(other);
        HWND box = s.WaitWindow(CApp::Get()->GetAppName());
        EXPECT_FALSE(::IsWindowEnabled(hDlg)) << "the dialog is disabled under its box";
        ::DestroyWindow(other);
        test::AnswerAppBox(s, "导出数据结束", hDlg);
        s.WaitGone(box);
        EXPECT_TRUE(::IsWindowVisible(hDlg));
        EXPECT_EQ(NULL, test::FindProgress(kHeading));
        s.Press(hDlg, IDOK);
    });
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ(25u, test::ListDir(m_ws.Data() + "\\P01").size()) << "the refusals disturbed the run";
}

TEST_F(ExportDlgTest, EscapeNeverClosesAndTheCloseBoxClosesWhenIdle)
{
    CExportDlg dlg(NULL, 0);
    INT_PTR result = Run(dlg, [&](test::GuiScript& s, HWND hDlg) {
        ::PostMessageA(::GetDlgItem(hDlg, IDC_EXPORT_START_TIME), WM_KEYDOWN, VK_ESCAPE, 1);
        ::PostMessageA(hDlg, WM_KEYDOWN, VK_ESCAPE, 1);
        test::PostFocus(hDlg, IDC_EXPORT_END_TIME);
        s.WaitFor([&] { return test::FocusOf(hDlg) == ::GetDlgItem(hDlg, IDC_EXPORT_END_TIME); }, "the focus");
        EXPECT_TRUE(::IsWindowVisible(hDlg));
        ::PostMessageA(hDlg, WM_CLOSE, 0, 0);
        s.WaitGone(hDlg);
    });
    EXPECT_EQ(IDCANCEL, result);
}

TEST_F(ExportDlgTest, EnterInAnEditStartsARun)
{
    CExportDlg dlg(NULL, 0);
    dlg.m_dwEnginePauseMs = 0;
    dlg.m_dwEndPauseMs = 0;
    Run(dlg, [&](test::GuiScript& s, HWND hDlg) {
        HWND edit = ::GetDlgItem(hDlg, IDC_EXPORT_END_TIME);
        test::PostFocus(hDlg, IDC_EXPORT_END_TIME);
        s.WaitFor([&] { return test::FocusOf(hDlg) == edit; }, "the focus in the edit");
        ::PostMessageA(edit, WM_KEYDOWN, VK_RETURN, 1);
        ::PostMessageA(edit, WM_KEYUP, VK_RETURN, 0xC0000001);
        test::AnswerAppBox(s, "导出数据结束");
        s.Press(hDlg, IDOK);
    });
    EXPECT_TRUE(test::Exists(m_ws.Ini("OrgMap.ini")));
    EXPECT_NE(std::string::npos, test::ReadFile(m_ws.Ini("OrgMap.ini")).find("TempSQL="));
}

struct DateCase {
    int id;
    const char* text;
    bool wrong;
    const char* held; // the held time afterwards; null: the default is kept
};

TEST_F(ExportDlgTest, LeavingATimeEditChecksTheDate)
{
    const DateCase cases[] = {
        { IDC_EXPORT_END_TIME, "abc", true, "" },
        { IDC_EXPORT_START_TIME, "2000-10-09 08:34:56", false, "2000-10-09 00:00:00" },
        { IDC_EXPORT_START_TIME, "2000-10-09", false, "2000-10-09 00:00:00" },
        { IDC_EXPORT_END_TIME, "", false, nullptr },
    };
    for (const DateCase& c : cases) {
        TRACE_CASE(cases, c);
        CExportDlg dlg(NULL, 0);
        std::string shown;
        CDateTime defaultHeld;
        Run(dlg, [&](test::GuiScript& s, HWND hDlg) {
            HWND edit = ::GetDlgItem(hDlg, c.id);
            defaultHeld = c.id == IDC_EXPORT_START_TIME ? dlg.m_startTime : dlg.m_endTime;
            s.SetText(hDlg, c.id, c.text);
            test::PostFocus(hDlg, c.id);
            test::PostFocus(hDlg, IDC_EXPORT_MODIFY);
            if (c.wrong) {
                HWND box = s.WaitWindow("错误信息");
                EXPECT_EQ(CRunDlg::kDateFormatError, s.MessageText(box));
                EXPECT_EQ(hDlg, ::GetWindow(box, GW_OWNER));
                s.Answer(box);
                s.WaitFor([&] { return test::FocusOf(hDlg) == edit; }, "the focus back in the edit");
            } else {
                s.WaitFor([&] { return test::FocusOf(hDlg) == ::GetDlgItem(hDlg, IDC_EXPORT_MODIFY); }, "the focus");
                EXPECT_EQ(NULL, test::FindDialog("错误信息")) << c.text;
            }
            shown = s.Text(hDlg, c.id);
            s.Press(hDlg, IDOK);
        });
        const CDateTime& held = c.id == IDC_EXPORT_START_TIME ? dlg.m_startTime : dlg.m_endTime;
        EXPECT_EQ(c.text, shown) << "the edit keeps what was typed";
        EXPECT_EQ(c.held ? std::string(c.held) : defaultHeld.Format(), held.Format()) << c.text;
    }
}

TEST_F(ExportDlgTest, AutomaticRunShowsNoDialogAndNoEndMessageAndEndsItself)
{
    m_ws.FillSendFolder(2);
    CExportDlg dlg(NULL, 1);
    dlg.m_dwEnginePauseMs = 0;
    dlg.m_dwEndPauseMs = 500;
    bool endMessage = false;
    test::GuiScript script([&](test::GuiScript& s) {
        s.WaitFor([] { return test::FindProgress(kHeading) != NULL; }, "the progress window");
        HWND hDlg = test::FindDialog(kTitle);
        ASSERT_NE(nullptr, hDlg);
        RECT rc;
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
    EXPECT_EQ(2u, test::ListDir(m_ws.Data() + "\\P01").size());
    EXPECT_NE(std::string::npos, test::ReadFile(m_ws.Ini("TaskDefine.ini")).find("LastExportTime=2001-01-01 00:00:00"));
}

} // namespace

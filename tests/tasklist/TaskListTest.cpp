// In-place editing of the export dialog's task list, driven through the real dialog with real mouse
// and key messages: what opens an editor, how it ends, what reaches TaskDefine.ini.
#include "run/ExportDlg.h"
#include "framework/App.h"
#include "framework/ListView.h"
#include "resource.h"
#include "settings/Settings.h"
#include "support/GuiScript.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <commctrl.h>

namespace {

using test::FocusOf;

const char kTaskFile[] =
    "[日报]\r\nChecked=1\r\nLastExportTime=2005-01-02 03:04:05\r\n"
    "[Orders]\r\nChecked=0\r\n";
const COLORREF kPaleGreen = RGB(196, 255, 211);

// A list of the dialog under test, seen from the script thread.
struct ListView {
    HWND hWnd;

    int ColumnWidth(int col) const { return static_cast<int>(::SendMessageA(hWnd, LVM_GETCOLUMNWIDTH, col, 0)); }
    RECT RowRect(int row) const
    {
        RECT rc = {};
        rc.left = LVIR_BOUNDS;
        ::SendMessageA(hWnd, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&rc));
        return rc;
    }
    // The middle of a cell in client coordinates.
    POINT CellPoint(int row, int col) const
    {
        RECT rc = RowRect(row);
        int left = rc.left;
        for (int c = 0; c < col; ++c)
            left += ColumnWidth(c);
        return POINT{ left + ColumnWidth(col) / 2, (rc.top + rc.bottom) / 2 };
    }
    void Click(POINT pt) const
    {
        ::PostMessageA(hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(pt.x, pt.y));
        ::PostMessageA(hWnd, WM_LBUTTONUP, 0, MAKELPARAM(pt.x, pt.y));
    }
    std::string Text(int row, int col) const
    {
        CListView view;
        view.Attach(hWnd);
        return view.GetItemText(row, col);
    }
    HWND Editor() const { return ::GetDlgItem(hWnd, IDC_CELL_EDIT); }
    // Waits until every message posted to the list so far has been handled: a posted column width change
    // is handled after them.
    void Sync(test::GuiScript& s) const
    {
        const int width = ColumnWidth(1);
        ::PostMessageA(hWnd, LVM_SETCOLUMNWIDTH, 1, width + 1);
        s.WaitFor([&] { return ColumnWidth(1) == width + 1; }, "posted messages to be handled");
    }
};

void Type(HWND hWnd, const std::string& text)
{
    for (char c : text)
        ::PostMessageA(hWnd, WM_CHAR, static_cast<unsigned char>(c), 1);
}

void Key(HWND hWnd, WPARAM vk)
{
    ::PostMessageA(hWnd, WM_KEYDOWN, vk, 1);
    ::PostMessageA(hWnd, WM_KEYUP, vk, 0xC0000001);
}

class TaskListTest : public ::testing::Test {
protected:
    TaskListTest() : m_cwd(m_dir.Path())
    {
        test::WriteFile(m_dir / "TaskDefine.ini", kTaskFile);
    }

    // Runs the export dialog while body drives it; the body closes it.
    void Run(const std::function<void(test::GuiScript&, HWND dlg, const ListView& list)>& body)
    {
        CExportDlg dlg(NULL, 0);
        test::GuiScript script([&](test::GuiScript& s) {
            HWND hDlg = s.WaitWindow("数据导出");
            ListView list{ ::GetDlgItem(hDlg, IDC_EXPORT_TASKS) };
            body(s, hDlg, list);
            s.Press(hDlg, IDOK);
            s.WaitGone(hDlg);
        });
        dlg.DoModal();
        script.Finish();
    }

    // Opens the editor over the time of row and waits for it.
    static HWND OpenEditor(test::GuiScript& s, const ListView& list, int row)
    {
        list.Click(list.CellPoint(row, 1));
        s.WaitFor([&] { return list.Editor() != NULL; }, "the cell editor");
        return list.Editor();
    }

    std::string TaskFile() const { return test::ReadFile(m_dir / "TaskDefine.ini"); }
    std::string LastExportTime(const char* task) const
    {
        return settings::ReadTaskString(task, settings::kLastExportTime, "<none>", settings::kTaskValueBuffer);
    }

    test::CleanProfile m_profile;
    test::TempDir m_dir{ "tasklist" };
    test::CurrentDir m_cwd;
};

TEST_F(TaskListTest, EditorOpensOverTheTimeWithAllOfItSelectedOnPaleGreen)
{
    Run([&](test::GuiScript& s, HWND dlg, const ListView& list) {
        EXPECT_EQ("2005-01-02 03:04:05", list.Text(0, 1));
        EXPECT_EQ(settings::kDefaultExportTime, list.Text(1, 1)) << "a task without LastExportTime";
        HWND editor = OpenEditor(s, list, 0);
        EXPECT_EQ("2005-01-02 03:04:05", s.Text(list.hWnd, IDC_CELL_EDIT));
        DWORD start = 0, end = 0;
        ::SendMessageA(editor, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        EXPECT_EQ(0u, start);
        EXPECT_EQ(19u, end);
        EXPECT_EQ(editor, FocusOf(dlg));

        RECT cell = list.RowRect(0);
        RECT rc;
        ::GetWindowRect(editor, &rc);
        ::MapWindowPoints(NULL, list.hWnd, reinterpret_cast<POINT*>(&rc), 2);
        EXPECT_EQ(cell.left + list.ColumnWidth(0) + 2, rc.left);
        EXPECT_EQ(cell.top + 1, rc.top);

        HDC hDC = ::CreateCompatibleDC(NULL);
        HBRUSH brush = reinterpret_cast<HBRUSH>(
            ::SendMessageA(list.hWnd, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(hDC), reinterpret_cast<LPARAM>(editor)));
        EXPECT_EQ(kPaleGreen, ::GetBkColor(hDC));
        LOGBRUSH lb = {};
        ASSERT_NE(0, ::GetObjectA(brush, sizeof(lb), &lb));
        EXPECT_EQ(kPaleGreen, lb.lbColor);
        ::DeleteDC(hDC);
        Key(editor, VK_ESCAPE);
        s.WaitFor([&] { return list.Editor() == NULL; }, "the editor to close");
    });
}

TEST_F(TaskListTest, ClickOnTheNameOrBelowTheLastRowOpensNothing)
{
    const std::string before = TaskFile();
    Run([&](test::GuiScript& s, HWND dlg, const ListView& list) {
        list.Click(list.CellPoint(1, 0));
        RECT last = list.RowRect(1);
        list.Click(POINT{ list.CellPoint(1, 1).x, last.bottom + (last.bottom - last.top) });
        list.Sync(s);
        EXPECT_EQ(NULL, list.Editor());
    });
    EXPECT_EQ(before, TaskFile());
}

struct StoredCase {
    const char* typed;
    WPARAM endKey;
};

TEST_F(TaskListTest, ValidDateIsStoredExactlyAsTypedAndEnterOrTabOnlyEndTheEdit)
{
    const StoredCase cases[] = {
        { "2000-10-09 08:34:56", VK_RETURN },
        { "2000-10-09", VK_RETURN },
        { "2000-10-09 8:34", VK_TAB },
    };
    for (const StoredCase& c : cases) {
        TRACE_CASE(cases, c);
        Run([&](test::GuiScript& s, HWND dlg, const ListView& list) {
            HWND editor = OpenEditor(s, list, 1);
            Type(editor, c.typed);
            Key(editor, c.endKey);
            s.WaitFor([&] { return list.Editor() == NULL; }, "the editor to close");
            list.Sync(s);
            EXPECT_EQ(c.typed, list.Text(1, 1));
            EXPECT_EQ(list.hWnd, FocusOf(dlg)) << "the focus goes back to the list";
            EXPECT_TRUE(::IsWindowVisible(dlg));
        });
        EXPECT_EQ(c.typed, LastExportTime("Orders")) << c.typed;
        EXPECT_EQ("2005-01-02 03:04:05", LastExportTime("日报"));
        // A run would have saved the supplier list; neither key pressed the default button.
        EXPECT_FALSE(test::Exists(m_dir / "OrgMap.ini")) << c.typed;
        test::WriteFile(m_dir / "TaskDefine.ini", kTaskFile);
    }
}

TEST_F(TaskListTest, EscapeKeepsTheOldTextAndStoresNothing)
{
    const std::string before = TaskFile();
    Run([&](test::GuiScript& s, HWND dlg, const ListView& list) {
        HWND editor = OpenEditor(s, list, 0);
        Type(editor, "2011-11-11");
        Key(editor, VK_ESCAPE);
        s.WaitFor([&] { return list.Editor() == NULL; }, "the editor to close");
        list.Sync(s);
        EXPECT_EQ("2005-01-02 03:04:05", list.Text(0, 1));
        EXPECT_TRUE(::IsWindowVisible(dlg)) << "Escape in the editor closed the dialog";
    });
    EXPECT_EQ(before, TaskFile());
}

TEST_F(TaskListTest, NoDateShowsTheMessageKeepsTheTypedTextAndStoresNothing)
{
    const char* const cases[] = { "abc", "" };
    const std::string before = TaskFile();
    for (const char* typed : cases) {
        Run([&](test::GuiScript& s, HWND dlg, const ListView& list) {
            HWND editor = OpenEditor(s, list, 0);
            if (*typed)
                Type(editor, typed);
            else
                Key(editor, VK_DELETE);
            // A click elsewhere in the list ends the edit.
            list.Click(list.CellPoint(1, 0));
            HWND box = s.WaitWindow("错误信息");
            EXPECT_EQ(CRunDlg::kDateFormatError, s.MessageText(box));
            EXPECT_EQ(dlg, ::GetWindow(box, GW_OWNER)) << "a box owned by the list belongs to its dialog";
            s.Answer(box);
            s.WaitGone(box);
            s.WaitFor([&] { return list.Editor() == NULL; }, "the editor to close");
            EXPECT_EQ(typed, list.Text(0, 1));
        });
        EXPECT_EQ(before, TaskFile()) << "typed \"" << typed << "\"";
    }
}

TEST_F(TaskListTest, ClosingTheDialogDuringAnEditChecksNoDate)
{
    Run([&](test::GuiScript& s, HWND dlg, const ListView& list) {
        HWND editor = OpenEditor(s, list, 0);
        Type(editor, "abc");
        list.Sync(s);
        ::PostMessageA(dlg, WM_SYSCOMMAND, SC_CLOSE, 0);
        EXPECT_FALSE(s.Appears("错误信息", 2000)) << "a date message over a closing dialog";
        s.WaitGone(dlg);
    });
    EXPECT_EQ("2005-01-02 03:04:05", LastExportTime("日报"));
}

TEST_F(TaskListTest, TypingWidensTheEditorUpToTheListsRightEdge)
{
    Run([&](test::GuiScript& s, HWND dlg, const ListView& list) {
        HWND editor = OpenEditor(s, list, 0);
        auto width = [&] {
            RECT rc;
            ::GetWindowRect(editor, &rc);
            return static_cast<int>(rc.right - rc.left);
        };
        const int initial = width();
        Type(editor, std::string(30, '8'));
        list.Sync(s);
        EXPECT_GT(width(), initial);
        Type(editor, std::string(100, '8'));
        list.Sync(s);
        RECT client;
        RECT rc;
        ::GetClientRect(list.hWnd, &client);
        ::GetWindowRect(editor, &rc);
        ::MapWindowPoints(NULL, list.hWnd, reinterpret_cast<POINT*>(&rc), 2);
        EXPECT_EQ(client.right, rc.right);
        Key(editor, VK_ESCAPE);
        s.WaitFor([&] { return list.Editor() == NULL; }, "the editor to close");
    });
}

TEST_F(TaskListTest, ScrollingTheListEndsAndStoresTheEdit)
{
    Run([&](test::GuiScript& s, HWND dlg, const ListView& list) {
        HWND editor = OpenEditor(s, list, 0);
        Type(editor, "2003-03-03");
        ::PostMessageA(list.hWnd, WM_VSCROLL, SB_LINEDOWN, 0);
        s.WaitFor([&] { return list.Editor() == NULL; }, "the editor to close");
    });
    EXPECT_EQ("2003-03-03", LastExportTime("日报"));
}

TEST_F(TaskListTest, FailedWriteIsTold)
{
    // TaskDefine.ini of this current directory is a folder, so the write fails.
    test::TempDir blocked("blocked");
    ASSERT_TRUE(test::MakeDir(blocked / "TaskDefine.ini"));
    Run([&](test::GuiScript& s, HWND dlg, const ListView& list) {
        HWND editor = OpenEditor(s, list, 0);
        Type(editor, "2003-03-03");
        ::SetCurrentDirectoryA(blocked.Path().c_str());
        Key(editor, VK_RETURN);
        HWND box = s.WaitWindow(CApp::Get()->GetAppName());
        EXPECT_EQ("修改导出时间失败！", s.MessageText(box));
        s.Answer(box);
        s.WaitGone(box);
        ::SetCurrentDirectoryA(m_dir.Path().c_str());
        EXPECT_EQ("2003-03-03", list.Text(0, 1));
    });
    EXPECT_EQ("2005-01-02 03:04:05", LastExportTime("日报"));
}

} // namespace

// The tasks page: the listed tasks, the SQL box, and the ticks that apply writes and nothing else.
#include "SheetDriver.h"

#include "resource.h"
#include "settings/Settings.h"

namespace setuptest {
namespace {

class TasksPage : public SheetTest {};

const char kTasks[] =
    "[日报]\r\nFileName=day.txt\r\nSQL=select * from 日报\r\nChecked=5\r\nLastExportTime=昨天\r\nOwner=x\r\n"
    "[Empty]\r\n"
    "[Week]\r\nChecked=1\r\nSQL=select 2\r\nLastExportTime=2024-02-03 04:05:06\r\n";

TEST_F(TasksPage, ListsTasksAndWritesOnlyTheirTicks)
{
    ASSERT_TRUE(test::WriteFile(TaskDefineIni(), kTasks));
    RunSheet([](test::GuiScript& s, HWND sheet) {
        HWND page = SelectPage(sheet, kTasksPage);
        CListView list = List(page, IDC_TASKS_LIST);
        ASSERT_EQ(3, list.GetItemCount());
        const char* expected[3][3] = {
            { "日报", "day.txt", "昨天" },
            { "Empty", "", "2001-01-01 00:00:00" },
            { "Week", "", "2024-02-03 04:05:06" },
        };
        for (int row = 0; row < 3; ++row)
            for (int col = 0; col < 3; ++col)
                EXPECT_EQ(expected[row][col], list.GetItemText(row, col)) << "row " << row << " column " << col;
        EXPECT_TRUE(list.GetCheck(0)) << "Checked=5 ticks";
        EXPECT_FALSE(list.GetCheck(1));
        EXPECT_TRUE(list.GetCheck(2));

        SelectRow(page, IDC_TASKS_LIST, 0);
        s.WaitFor([&] { return test::GuiScript::Text(page, IDC_TASKS_SQL) == "select * from 日报"; }, "row 0's SQL");
        SetRowCheck(page, IDC_TASKS_LIST, 2, false);
        EXPECT_EQ("select 2", test::GuiScript::Text(page, IDC_TASKS_SQL)) << "the row that changed last";
        EXPECT_FALSE(ApplyEnabled(sheet)) << "a tick does not mark the page modified";
        PressOk(s, sheet);
    });
    const std::string path = TaskDefineIni();
    EXPECT_EQ((std::vector<std::string>{ "FileName=day.txt", "SQL=select * from 日报", "Checked=1",
                                         "LastExportTime=昨天", "Owner=x" }),
              IniSection(path, "日报"));
    EXPECT_EQ(std::vector<std::string>{ "Checked=0" }, IniSection(path, "Empty"));
    EXPECT_EQ((std::vector<std::string>{ "Checked=0", "SQL=select 2", "LastExportTime=2024-02-03 04:05:06" }),
              IniSection(path, "Week"));
}

TEST_F(TasksPage, NamesBeyond512BytesAreNeitherListedNorWritten)
{
    // Ten names of 60 bytes: eight fit with their terminators; the ninth would arrive cut short.
    std::string text;
    std::vector<std::string> names;
    for (int i = 0; i < 10; ++i) {
        names.push_back("任务" + std::to_string(i) + std::string(60 - 4 - 1, 'n'));
        text += "[" + names.back() + "]\r\nFileName=f" + std::to_string(i) + "\r\n";
    }
    ASSERT_TRUE(test::WriteFile(TaskDefineIni(), text));
    RunSheet([&](test::GuiScript& s, HWND sheet) {
        HWND page = SelectPage(sheet, kTasksPage);
        CListView list = List(page, IDC_TASKS_LIST);
        ASSERT_EQ(8, list.GetItemCount());
        EXPECT_EQ(names[7], list.GetItemText(7, 0));
        PressOk(s, sheet);
    });
    EXPECT_EQ(names, settings::ReadSectionNames(TaskDefineIni(), 1 << 16)) << "no section under a cut name";
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(i < 8 ? "0" : "<absent>", IniValue(TaskDefineIni(), names[i].c_str(), settings::kChecked)) << names[i];
}

TEST_F(TasksPage, NoFileGivesAnEmptyListAndWritesNothing)
{
    RunSheet([](test::GuiScript& s, HWND sheet) {
        HWND page = SelectPage(sheet, kTasksPage);
        EXPECT_EQ(0, List(page, IDC_TASKS_LIST).GetItemCount());
        EXPECT_EQ("", test::GuiScript::Text(page, IDC_TASKS_SQL));
        PressOk(s, sheet);
    });
    EXPECT_FALSE(test::Exists(TaskDefineIni()));
}

} // namespace
} // namespace setuptest

// The organisation mapping page: its list, its messages and the directories it makes and removes.
#include "SheetDriver.h"

#include "resource.h"
#include "settings/Settings.h"

namespace setuptest {
namespace {

class OrgMapPage : public SheetTest {
protected:
    // Profile roots below the test directory: <dir>\top\data and <dir>\top\out.
    void SetRoots()
    {
        ASSERT_TRUE(test::MakeDir(Dir() / "top"));
        ASSERT_TRUE(test::MakeDir(m_data));
        ASSERT_TRUE(test::MakeDir(m_out));
        ASSERT_TRUE(settings::SetString(settings::kExportLocation, m_data.c_str()));
        ASSERT_TRUE(settings::SetString(settings::kSourcePath, m_out.c_str()));
    }
    static void AddPair(test::GuiScript& s, HWND page, const char* client, const char* platform)
    {
        s.SetText(page, IDC_ORGMAP_CLIENT, client);
        s.SetText(page, IDC_ORGMAP_PLATFORM, platform);
        int rows = List(page, IDC_ORGMAP_LIST).GetItemCount();
        s.Press(page, IDC_ORGMAP_ADD);
        s.WaitFor([&] { return List(page, IDC_ORGMAP_LIST).GetItemCount() == rows + 1; }, "the added row");
    }

    const std::string m_data = Dir() / "top\\data";
    const std::string m_out = Dir() / "top\\out";
};

const char kSkippedEntry[] =
    "[OrgMapping]\r\nClientID0000=A01\r\nQRVID0000=P9\r\nClientID0001=B02\r\nClientID0002=C03\r\nQRVID0002=Q8\r\n";

TEST_F(OrgMapPage, AddCreatesBothDirectoriesAtOnceAndCancelKeepsThemButNotThePair)
{
    SetRoots();
    RunSheet([this](test::GuiScript& s, HWND sheet) {
        HWND page = CurrentPage(sheet);
        AddPair(s, page, "A01", "P9");
        CListView list = List(page, IDC_ORGMAP_LIST);
        EXPECT_EQ("A01", list.GetItemText(0, 0));
        EXPECT_EQ("P9", list.GetItemText(0, 1));
        EXPECT_EQ("", test::GuiScript::Text(page, IDC_ORGMAP_CLIENT)) << "the edits are emptied";
        EXPECT_EQ("", test::GuiScript::Text(page, IDC_ORGMAP_PLATFORM));
        EXPECT_TRUE(test::IsDirectory(m_data + "\\P9")) << "created before any apply";
        EXPECT_TRUE(test::IsDirectory(m_out + "\\A01"));
        EXPECT_TRUE(ApplyEnabled(sheet));
        PressCancel(s, sheet);
    });
    EXPECT_TRUE(test::IsDirectory(m_data + "\\P9"));
    EXPECT_TRUE(test::IsDirectory(m_out + "\\A01"));
    EXPECT_FALSE(test::Exists(OrgMapIni())) << "the list is stored only on apply";
}

TEST_F(OrgMapPage, DeleteAsksWithBothCodesAndRemovesTheDirectoriesAtOnce)
{
    SetRoots();
    const char kText[] = "[OrgMapping]\r\nClientID0000=A01\r\nQRVID0000=P9\r\nClientID0001=B02\r\nQRVID0001=Q8\r\n";
    ASSERT_TRUE(test::WriteFile(OrgMapIni(), kText));
    ASSERT_TRUE(test::MakeDir(m_data + "\\P9"));
    ASSERT_TRUE(test::MakeDir(m_out + "\\A01"));
    RunSheet([this](test::GuiScript& s, HWND sheet) {
        HWND page = CurrentPage(sheet);
        SelectRow(page, IDC_ORGMAP_LIST, 0);
        s.Press(page, IDC_ORGMAP_DELETE);
        EXPECT_EQ("是否要删除客户代码与网商代码的对应( A01 - P9 )？", AnswerMessageBox(s, IDCANCEL));
        EXPECT_EQ(2, List(page, IDC_ORGMAP_LIST).GetItemCount()) << "Cancel keeps the row";
        EXPECT_TRUE(test::IsDirectory(m_data + "\\P9"));

        s.Press(page, IDC_ORGMAP_DELETE);
        AnswerMessageBox(s, IDOK);
        s.WaitFor([&] { return List(page, IDC_ORGMAP_LIST).GetItemCount() == 1; }, "the row to go");
        EXPECT_EQ("B02", List(page, IDC_ORGMAP_LIST).GetItemText(0, 0));
        EXPECT_FALSE(test::Exists(m_data + "\\P9")) << "removed before any apply";
        EXPECT_FALSE(test::Exists(m_out + "\\A01"));
        EXPECT_EQ(::GetDlgItem(page, IDC_ORGMAP_LIST), FocusOf(sheet));
        PressCancel(s, sheet);
    });
    EXPECT_EQ(kText, test::ReadFile(OrgMapIni())) << "Cancel keeps the stored list";
    EXPECT_FALSE(test::Exists(m_data + "\\P9"));
}

TEST_F(OrgMapPage, ListIsStoredOnApplyOnlyAfterAChange)
{
    ASSERT_TRUE(test::WriteFile(OrgMapIni(), kSkippedEntry));
    RunSheet([](test::GuiScript& s, HWND sheet) {
        HWND page = CurrentPage(sheet);
        EXPECT_EQ(2, List(page, IDC_ORGMAP_LIST).GetItemCount()) << "the entry without QRVID0001 is skipped";
        PressApply(sheet);
        PressOk(s, sheet);
    });
    EXPECT_EQ(kSkippedEntry, test::ReadFile(OrgMapIni())) << "no add or delete: the file is untouched";

    RunSheet([this](test::GuiScript& s, HWND sheet) {
        AddPair(s, CurrentPage(sheet), "D04", "R7");
        EXPECT_EQ(kSkippedEntry, test::ReadFile(OrgMapIni())) << "nothing stored before apply";
        PressApply(sheet);
        const std::vector<std::string> expected = { "ClientID0000=A01", "QRVID0000=P9", "ClientID0001=C03",
                                                    "QRVID0001=Q8",     "ClientID0002=D04", "QRVID0002=R7" };
        EXPECT_EQ(expected, IniSection(OrgMapIni(), settings::kOrgMappingSection)) << "renumbered from 0";
        PressOk(s, sheet);
    });
}

TEST_F(OrgMapPage, EmptyCodesAreRefusedWithTheirMessages)
{
    ASSERT_TRUE(test::WriteFile(OrgMapIni(), kSkippedEntry));
    RunSheet([](test::GuiScript& s, HWND sheet) {
        HWND page = CurrentPage(sheet);
        EXPECT_EQ("A01", test::GuiScript::Text(page, IDC_ORGMAP_CLIENT)) << "the edits show row 0";
        EXPECT_EQ("P9", test::GuiScript::Text(page, IDC_ORGMAP_PLATFORM));

        s.SetText(page, IDC_ORGMAP_CLIENT, "");
        s.Press(page, IDC_ORGMAP_ADD);
        EXPECT_EQ("请输入要添加的客户代码！", AnswerMessageBox(s));
        s.WaitFor([&] { return FocusOf(sheet) == ::GetDlgItem(page, IDC_ORGMAP_CLIENT); }, "focus on the client code");

        s.SetText(page, IDC_ORGMAP_CLIENT, "A02");
        s.SetText(page, IDC_ORGMAP_PLATFORM, "");
        s.Press(page, IDC_ORGMAP_ADD);
        EXPECT_EQ("请输入客户代码相对应的网商代码！", AnswerMessageBox(s));
        s.WaitFor([&] { return FocusOf(sheet) == ::GetDlgItem(page, IDC_ORGMAP_PLATFORM); },
                  "focus on the platform code");
        EXPECT_EQ(2, List(page, IDC_ORGMAP_LIST).GetItemCount()) << "nothing added";
        EXPECT_FALSE(ApplyEnabled(sheet));
        PressOk(s, sheet);
    });
    EXPECT_EQ(kSkippedEntry, test::ReadFile(OrgMapIni()));
}

TEST_F(OrgMapPage, ClickingARowFillsTheEditsAndAddAppendsACopy)
{
    ASSERT_TRUE(test::WriteFile(OrgMapIni(), kSkippedEntry));
    RunSheet([](test::GuiScript& s, HWND sheet) {
        HWND page = CurrentPage(sheet);
        ClickRow(page, IDC_ORGMAP_LIST, 1);
        s.WaitFor([&] { return test::GuiScript::Text(page, IDC_ORGMAP_CLIENT) == "C03"; }, "the clicked row's code");
        EXPECT_EQ("Q8", test::GuiScript::Text(page, IDC_ORGMAP_PLATFORM));
        s.Press(page, IDC_ORGMAP_ADD);
        s.WaitFor([&] { return List(page, IDC_ORGMAP_LIST).GetItemCount() == 3; }, "the copied row");
        EXPECT_EQ("C03", List(page, IDC_ORGMAP_LIST).GetItemText(2, 0));
        PressOk(s, sheet);
    });
    EXPECT_EQ("C03", IniValue(OrgMapIni(), settings::kOrgMappingSection, "ClientID0002")) << "duplicates are stored";
}

// Codes that would name a directory outside their root: the pair is listed and stored as typed, but
// nothing is created or removed outside data and out.
TEST_F(OrgMapPage, CodesEscapingTheirRootMakeAndRemoveNothingOutside)
{
    SetRoots();
    ASSERT_TRUE(test::MakeDir(Dir() / "top\\victim"));
    const std::string absolute = Dir() / "abs";
    struct Case {
        std::string client, platform;
    } cases[] = {
        { "..\\escC", "..\\escP" },
        { "a\\..\\..\\..\\escC2", "..\\..\\escP2" },
        { absolute, "\\escP3" },
        { "C:escC4", ".." },
        { "..\\victim", "..\\victim" },
    };
    RunSheet([&](test::GuiScript& s, HWND sheet) {
        HWND page = CurrentPage(sheet);
        for (const Case& c : cases) {
            TRACE_CASE(cases, c);
            AddPair(s, page, c.client.c_str(), c.platform.c_str());
        }
        for (int row = static_cast<int>(std::size(cases)) - 1; row >= 0; --row) {
            SelectRow(page, IDC_ORGMAP_LIST, row);
            s.Press(page, IDC_ORGMAP_DELETE);
            AnswerMessageBox(s, IDOK);
            s.WaitFor([&] { return List(page, IDC_ORGMAP_LIST).GetItemCount() == row; }, "the deleted row");
        }
        EXPECT_TRUE(test::IsDirectory(Dir() / "top\\victim")) << "an empty directory beside the root stays";
        for (const Case& c : cases) {
            TRACE_CASE(cases, c);
            AddPair(s, page, c.client.c_str(), c.platform.c_str());
        }
        PressOk(s, sheet);
    });
    EXPECT_EQ((std::vector<std::string>{ "OrgMap.ini", "top" }), test::ListDir(Dir().Path()));
    EXPECT_EQ((std::vector<std::string>{ "data", "out", "victim" }), test::ListDir(Dir() / "top"));
    EXPECT_TRUE(test::ListDir(m_data).empty());
    EXPECT_TRUE(test::ListDir(m_out).empty());
    for (size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(cases[i].client, IniValue(OrgMapIni(), settings::kOrgMappingSection,
                                            settings::NumberedKey(settings::kClientIDFormat, static_cast<int>(i)).c_str()));
        EXPECT_EQ(cases[i].platform, IniValue(OrgMapIni(), settings::kOrgMappingSection,
                                              settings::NumberedKey(settings::kQRVIDFormat, static_cast<int>(i)).c_str()));
    }
}

} // namespace
} // namespace setuptest

// The supplier page: its list, its messages, and the section with TempSQL that each apply writes.
#include "SheetDriver.h"

#include "resource.h"
#include "settings/Settings.h"

namespace setuptest {
namespace {

class SupplierPage : public SheetTest {
protected:
    // Writes the section from rows of code, name and tick.
    void WriteSuppliers(const std::vector<settings::Supplier>& rows)
    {
        std::string text = "[Suppliers]\r\n";
        for (size_t i = 0; i < rows.size(); ++i) {
            const int n = static_cast<int>(i);
            text += settings::NumberedKey(settings::kSIDFormat, n) + "=" + rows[i].code + "\r\n";
            text += settings::NumberedKey(settings::kValidFormat, n) + "=" + (rows[i].valid ? "1" : "0") + "\r\n";
            text += settings::NumberedKey(settings::kNameFormat, n) + "=" + rows[i].name + "\r\n";
        }
        ASSERT_TRUE(test::WriteFile(OrgMapIni(), text));
    }
    // The line in the file: the profile reads would drop the value's trailing blank.
    std::string TempSqlLine() const { return RawIniLine(OrgMapIni(), settings::kTempSQL); }
};

TEST_F(SupplierPage, ApplyWritesTempSqlForEveryForm)
{
    const struct {
        std::vector<settings::Supplier> rows;
        const char* expected;
    } cases[] = {
        { { { "a", "", true }, { "b", "", true }, { "c", "", true } }, "('a', 'b','c') " },
        { { { "a", "", true }, { "b", "", true }, { "c", "", false } }, "('a', 'b')" },
        { { { "a", "", false }, { "b", "", true }, { "c", "", true } }, "('b','c') " },
        { { { "a", "", false }, { "b", "", false }, { "c", "", true } }, "('c') " },
        { { { "a", "", true } }, "('a')" },
        { { { "a", "", false }, { "b", "", false }, { "c", "", false } }, "('')" },
        { {}, "('')" },
        { { { "O'Brien", "", true }, { "x''y", "", true } }, "('O''Brien','x''''y') " },
        { { { "it's", "", true } }, "('it''s')" },
    };
    for (const auto& c : cases) {
        TRACE_CASE(cases, c);
        WriteSuppliers(c.rows);
        RunSheet([](test::GuiScript& s, HWND sheet) {
            SelectPage(sheet, kSupplierPage);
            PressOk(s, sheet);
        });
        const std::string first = c.rows.empty() ? "(no rows)" : c.rows[0].code;
        EXPECT_EQ(std::string("TempSQL=") + c.expected, TempSqlLine()) << "rows from " << first;
        std::vector<std::string> keys = IniSection(OrgMapIni(), settings::kSuppliersSection);
        ASSERT_EQ(c.rows.size() * 3 + 1, keys.size()) << "rows from " << first;
        EXPECT_EQ(0u, keys.back().find("TempSQL=")) << "TempSQL is written last";
    }
}

TEST_F(SupplierPage, ListShowsTheSectionAndApplyRewritesItRenumbered)
{
    ASSERT_TRUE(test::WriteFile(OrgMapIni(), "[Suppliers]\r\nSID0000=S1\r\nValid0000=2\r\nName0000=甲\r\n"
                                             "SID0001=S2\r\nSID0003=S4\r\nValid0003=1\r\nName0003=丁\r\n"));
    RunSheet([](test::GuiScript& s, HWND sheet) {
        HWND page = SelectPage(sheet, kSupplierPage);
        CListView list = List(page, IDC_SUPPLIER_LIST);
        ASSERT_EQ(2, list.GetItemCount()) << "the list ends at the gap";
        EXPECT_TRUE(list.GetCheck(0)) << "any non-zero Valid ticks";
        EXPECT_FALSE(list.GetCheck(1));
        EXPECT_EQ("甲", list.GetItemText(0, 1));
        EXPECT_EQ("", list.GetItemText(1, 1));
        EXPECT_EQ("S1", test::GuiScript::Text(page, IDC_SUPPLIER_CODE)) << "the edits show row 0";
        EXPECT_EQ("甲", test::GuiScript::Text(page, IDC_SUPPLIER_NAME));
        SetRowCheck(page, IDC_SUPPLIER_LIST, 1, true);
        EXPECT_FALSE(ApplyEnabled(sheet)) << "a tick does not mark the page modified";
        PressOk(s, sheet);
    });
    const std::vector<std::string> expected = { "SID0000=S1", "Valid0000=1", "Name0000=甲", "SID0001=S2",
                                                "Valid0001=1", "Name0001=",  "TempSQL=('S1','S2')" };
    EXPECT_EQ(expected, IniSection(OrgMapIni(), settings::kSuppliersSection));
    EXPECT_EQ("TempSQL=('S1','S2') ", TempSqlLine());
}

TEST_F(SupplierPage, AddAndDeleteWithTheirMessages)
{
    RunSheet([this](test::GuiScript& s, HWND sheet) {
        HWND page = SelectPage(sheet, kSupplierPage);
        s.SetText(page, IDC_SUPPLIER_NAME, "无代码");
        s.Press(page, IDC_SUPPLIER_ADD);
        EXPECT_EQ("请输入要添加的供商代码！", AnswerMessageBox(s));
        s.WaitFor([&] { return FocusOf(sheet) == ::GetDlgItem(page, IDC_SUPPLIER_CODE); }, "focus on the code");
        EXPECT_EQ(0, List(page, IDC_SUPPLIER_LIST).GetItemCount());

        s.SetText(page, IDC_SUPPLIER_CODE, "S1");
        s.SetText(page, IDC_SUPPLIER_NAME, "甲方");
        s.Press(page, IDC_SUPPLIER_ADD);
        s.WaitFor([&] { return List(page, IDC_SUPPLIER_LIST).GetItemCount() == 1; }, "the added row");
        s.SetText(page, IDC_SUPPLIER_CODE, "S2");
        s.Press(page, IDC_SUPPLIER_ADD);
        s.WaitFor([&] { return List(page, IDC_SUPPLIER_LIST).GetItemCount() == 2; }, "the row without a name");
        CListView list = List(page, IDC_SUPPLIER_LIST);
        EXPECT_FALSE(list.GetCheck(0)) << "a new row is not ticked";
        EXPECT_EQ("", test::GuiScript::Text(page, IDC_SUPPLIER_CODE));
        EXPECT_EQ("", test::GuiScript::Text(page, IDC_SUPPLIER_NAME));
        EXPECT_EQ(::GetDlgItem(page, IDC_SUPPLIER_CODE), FocusOf(sheet));
        EXPECT_TRUE(ApplyEnabled(sheet));

        ClickRow(page, IDC_SUPPLIER_LIST, 0);
        s.WaitFor([&] { return test::GuiScript::Text(page, IDC_SUPPLIER_CODE) == "S1"; }, "the clicked row");
        EXPECT_EQ("甲方", test::GuiScript::Text(page, IDC_SUPPLIER_NAME));
        SelectRow(page, IDC_SUPPLIER_LIST, 0);
        s.Press(page, IDC_SUPPLIER_DELETE);
        EXPECT_EQ("是否要删除供商 S1 ( 甲方 )？", AnswerMessageBox(s, IDCANCEL));
        EXPECT_EQ(2, list.GetItemCount());
        s.Press(page, IDC_SUPPLIER_DELETE);
        AnswerMessageBox(s, IDOK);
        s.WaitFor([&] { return list.GetItemCount() == 1; }, "the deleted row");
        EXPECT_EQ("S2", list.GetItemText(0, 0));
        EXPECT_EQ(::GetDlgItem(page, IDC_SUPPLIER_LIST), FocusOf(sheet));
        PressApply(sheet);
        EXPECT_EQ("S2", IniValue(OrgMapIni(), settings::kSuppliersSection, "SID0000"));

        SelectRow(page, IDC_SUPPLIER_LIST, 0);
        s.Press(page, IDC_SUPPLIER_DELETE);
        EXPECT_EQ("是否要删除供商 S2 (  )？", AnswerMessageBox(s, IDOK));
        s.WaitFor([&] { return list.GetItemCount() == 0; }, "the last row to go");
        PressOk(s, sheet);
    });
    EXPECT_EQ(std::vector<std::string>{ "TempSQL=('')" }, IniSection(OrgMapIni(), settings::kSuppliersSection));
}

} // namespace
} // namespace setuptest

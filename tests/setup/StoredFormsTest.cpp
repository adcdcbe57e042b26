// The supplier value list TempSQL and the task list's 512-byte limit, on their own.
#include "settings/Settings.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

// Rows as "code" with a trailing '+' for a ticked supplier.
std::vector<settings::Supplier> Rows(std::initializer_list<const char*> rows)
{
    std::vector<settings::Supplier> suppliers;
    for (std::string row : rows) {
        settings::Supplier s;
        s.valid = !row.empty() && row.back() == '+';
        s.code = s.valid ? row.substr(0, row.size() - 1) : row;
        suppliers.push_back(s);
    }
    return suppliers;
}

TEST(TempSql, FormOfTheValueList)
{
    const struct {
        std::vector<settings::Supplier> rows;
        const char* expected;
    } cases[] = {
        { Rows({ "a+", "b+", "c+" }), "('a', 'b','c') " },
        { Rows({ "a+", "b+", "c" }), "('a', 'b')" },
        { Rows({ "a", "b+", "c+" }), "('b','c') " },
        { Rows({ "a", "b", "c+" }), "('c') " },
        { Rows({ "a+" }), "('a')" },
        { Rows({ "a", "b", "c" }), "('')" },
        { Rows({ "a" }), "('')" },
        { Rows({}), "('')" },
        { Rows({ "a+", "b", "c" }), "('a')" },
        { Rows({ "a+", "b", "c+", "d" }), "('a', 'c')" },
        { Rows({ "a", "b+" }), "('b') " },
    };
    for (const auto& c : cases) {
        TRACE_CASE(cases, c);
        std::string rows;
        for (const settings::Supplier& s : c.rows)
            rows += s.code + (s.valid ? "+ " : " ");
        EXPECT_EQ(c.expected, settings::BuildTempSQL(c.rows)) << "rows: " << rows;
    }
}

TEST(TempSql, QuotesInsideCodesAreDoubled)
{
    const struct {
        std::vector<settings::Supplier> rows;
        const char* expected;
    } cases[] = {
        { Rows({ "it's+" }), "('it''s')" },
        { Rows({ "'+" }), "('''')" },
        { Rows({ "a'); DROP TABLE t; --+", "b+" }), "('a''); DROP TABLE t; --','b') " },
        { Rows({ "x''y+", "z", "q'+" }), "('x''''y','q''') " },
        { Rows({ "供'商+" }), "('供''商')" },
    };
    for (const auto& c : cases) {
        TRACE_CASE(cases, c);
        EXPECT_EQ(c.expected, settings::BuildTempSQL(c.rows)) << "first code: " << c.rows[0].code;
    }
}

// Section names of n bytes each; with their terminators and the list's final one they need
// count * (n + 1) + 1 bytes.
std::string Sections(int count, int length, std::vector<std::string>* names)
{
    std::string text;
    for (int i = 0; i < count; ++i) {
        char prefix[8];
        std::snprintf(prefix, sizeof(prefix), "T%02d", i);
        std::string name = prefix + std::string(length - 3, 'x');
        names->push_back(name);
        text += "[" + name + "]\r\nChecked=1\r\n";
    }
    return text;
}

TEST(TaskList, OnlyWholeNamesThatFitInto512BytesAreListed)
{
    const struct {
        int count, length;
        size_t listed;
    } cases[] = {
        { 7, 72, 7 },  // 7 * 73 + 1 = 512: exact fit
        { 7, 73, 6 },  // one byte more: the last name would be cut
        { 10, 60, 8 }, // 8 * 61 + 1 = 489 fits; the ninth and tenth do not
        { 1, 510, 1 }, // 511 + 1 = 512
        { 1, 511, 0 },
        { 0, 10, 0 },
    };
    for (const auto& c : cases) {
        TRACE_CASE(cases, c);
        test::TempDir dir("tasks");
        test::CurrentDir cwd(dir.Path());
        std::vector<std::string> names;
        ASSERT_TRUE(test::WriteFile(dir / "TaskDefine.ini", Sections(c.count, c.length, &names)));
        names.resize(c.listed);
        EXPECT_EQ(names, settings::ListTasks()) << c.count << " names of " << c.length << " bytes";
    }
}

} // namespace

// The INI side of the settings store against Wine's real profile functions in throwaway directories.
#include "settings/Settings.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

class IniLayout : public ::testing::Test {
protected:
    IniLayout() : m_cwd(m_dir.Path()) {}

    void WriteOrgMap(const std::string& text) { ASSERT_TRUE(test::WriteFile(m_dir / "OrgMap.ini", text)); }
    void WriteTasks(const std::string& text) { ASSERT_TRUE(test::WriteFile(m_dir / "TaskDefine.ini", text)); }
    std::string OrgMapText() const { return test::ReadFile(m_dir / "OrgMap.ini"); }
    std::string TaskText() const { return test::ReadFile(m_dir / "TaskDefine.ini"); }

    test::TempDir m_dir{ "ini" };
    test::CurrentDir m_cwd;
};

std::string Join(const std::vector<settings::OrgMapping>& list)
{
    std::string text;
    for (const auto& m : list) {
        text += m.clientCode + "=" + m.platformCode + ";";
    }
    return text;
}

std::string Join(const std::vector<settings::Supplier>& list)
{
    std::string text;
    for (const auto& s : list) {
        text += s.code + (s.valid ? "+" : "-") + s.name + ";";
    }
    return text;
}

TEST_F(IniLayout, PathIsTheCurrentDirectoryAndFileName)
{
    EXPECT_EQ(m_dir / "OrgMap.ini", settings::IniPath(settings::kOrgMapFile));
    EXPECT_EQ(m_dir / "TaskDefine.ini", settings::IniPath(settings::kTaskDefineFile));
}

TEST_F(IniLayout, OrgMappingReadStopsAtGapsAndSkipsHalfPairs)
{
    const struct {
        const char* file;
        const char* expected;
    } cases[] = {
        { "", "" },
        { "[OrgMapping]\r\nClientID0000=A\r\nQRVID0000=P\r\nClientID0001=B\r\nClientID0002=C\r\nQRVID0002=R\r\n", "A=P;C=R;" },
        { "[OrgMapping]\r\nClientID0000=A\r\nQRVID0000=P\r\nClientID0002=C\r\nQRVID0002=R\r\n", "A=P;" },
        { "[OrgMapping]\r\nClientID0000=\r\nQRVID0000=P\r\nClientID0001=B\r\nQRVID0001=Q\r\n", "" },
        { "[orgmapping]\r\nclientid0000=A\r\nqrvid0000=P\r\n", "A=P;" },
        { "[OrgMapping]\nClientID0000=A\nQRVID0000=P\nClientID0001=B\nQRVID0001=Q\n", "A=P;B=Q;" },
        { "[OrgMapping]\r\nClientID0000=A\r\nQRVID0000=P\r\nClientID0000=Z\r\nQRVID0000=Y\r\n", "A=P;" },
        { "\xEF\xBB\xBF[OrgMapping]\r\nClientID0000=A\r\nQRVID0000=P\r\n", "A=P;" },
        { "[OrgMapping]\r\nClientID10000=A\r\nQRVID10000=P\r\n", "" },
    };
    for (const auto& c : cases) {
        TRACE_CASE(cases, c);
        WriteOrgMap(c.file);
        EXPECT_EQ(c.expected, Join(settings::ReadOrgMappings())) << c.file;
    }
}

TEST_F(IniLayout, OrgMappingRewriteRenumbersFromZero)
{
    WriteOrgMap("[OrgMapping]\r\nClientID0000=A\r\nQRVID0000=P\r\nClientID0001=B\r\nClientID0002=C\r\nQRVID0002=R\r\n"
                "[Suppliers]\r\nSID0000=S\r\n");
    settings::WriteOrgMappings(settings::ReadOrgMappings());
    EXPECT_EQ("A=P;C=R;", Join(settings::ReadOrgMappings()));
    std::string text = OrgMapText();
    EXPECT_NE(std::string::npos, text.find("ClientID0000=A\r\nQRVID0000=P\r\nClientID0001=C\r\nQRVID0001=R\r\n")) << text;
    EXPECT_EQ(std::string::npos, text.find("ClientID0002")) << text;
    EXPECT_EQ(std::string::npos, text.find("=B")) << text;
    EXPECT_NE(std::string::npos, text.find("SID0000=S")) << "other sections stay: " << text;
}

TEST_F(IniLayout, ReadLimitsCutLongValues)
{
    const std::string longCode(200, 'C');
    const std::string longName(300, 'N');
    const std::string longTime(600, 'T');
    const std::string longSql(2000, 'Q');
    WriteOrgMap("[OrgMapping]\r\nClientID0000=" + longCode + "\r\nQRVID0000=" + longCode + "\r\n[Suppliers]\r\nSID0000=" +
                longName + "\r\nName0000=" + longName + "\r\n");
    WriteTasks("[T]\r\nLastExportTime=" + longTime + "\r\nFileName=" + longTime + "\r\nSQL=" + longSql + "\r\n");

    auto mappings = settings::ReadOrgMappings();
    ASSERT_EQ(1u, mappings.size());
    EXPECT_EQ(longCode.substr(0, 127), mappings[0].clientCode);
    EXPECT_EQ(longCode.substr(0, 127), mappings[0].platformCode);
    auto suppliers = settings::ReadSuppliers();
    ASSERT_EQ(1u, suppliers.size());
    EXPECT_EQ(longName.substr(0, 255), suppliers[0].code);
    EXPECT_EQ(longName.substr(0, 255), suppliers[0].name);
    EXPECT_EQ(longTime.substr(0, 511),
              settings::ReadTaskString("T", settings::kLastExportTime, settings::kDefaultExportTime, settings::kTaskValueBuffer));
    EXPECT_EQ(longSql.substr(0, 1023), settings::ReadTaskString("T", settings::kSQL, "", settings::kSqlBuffer));
}

TEST_F(IniLayout, CutNeverSplitsADoubleByteCharacter)
{
    // 126 single bytes, then a GBK character: the 128-byte buffer has room for its lead byte only.
    std::string code(126, 'a');
    code += "\xCA\xFD";
    WriteOrgMap("[OrgMapping]\r\nClientID0000=" + code + "\r\nQRVID0000=P\r\n");
    auto mappings = settings::ReadOrgMappings();
    ASSERT_EQ(1u, mappings.size());
    EXPECT_EQ(std::string(126, 'a'), mappings[0].clientCode);
}

TEST_F(IniLayout, SuppliersReadAndRewrite)
{
    WriteOrgMap("[Suppliers]\r\nSID0000=a\r\nValid0000=2\r\nName0000=\xB9\xA9\xC9\xCC\r\nSID0001=b\r\nValid0001=x\r\n"
                "SID0003=d\r\nValid0003=1\r\nTempSQL=old\r\n");
    auto suppliers = settings::ReadSuppliers();
    EXPECT_EQ("a+\xB9\xA9\xC9\xCC;b-;", Join(suppliers));
    settings::WriteSuppliers(suppliers);
    std::string text = OrgMapText();
    EXPECT_NE(std::string::npos,
              text.find("[Suppliers]\r\nSID0000=a\r\nValid0000=1\r\nName0000=\xB9\xA9\xC9\xCC\r\nSID0001=b\r\nValid0001=0\r\n"
                        "Name0001=\r\nTempSQL=('a')\r\n"))
        << text;
    EXPECT_EQ(std::string::npos, text.find("SID0003")) << text;
}

TEST(TempSQL, ValueListForms)
{
    auto rows = [](const char* ticks, std::vector<std::string> codes) {
        std::vector<settings::Supplier> list;
        for (size_t i = 0; i < codes.size(); ++i) {
            settings::Supplier s;
            s.code = codes[i];
            s.valid = ticks[i] == '+';
            list.push_back(s);
        }
        return settings::BuildTempSQL(list);
    };
    EXPECT_EQ("('a', 'b','c') ", rows("+++", { "a", "b", "c" }));
    EXPECT_EQ("('a', 'b')", rows("++-", { "a", "b", "c" }));
    EXPECT_EQ("('b','c') ", rows("-++", { "a", "b", "c" }));
    EXPECT_EQ("('c') ", rows("--+", { "a", "b", "c" }));
    EXPECT_EQ("('a')", rows("+", { "a" }));
    EXPECT_EQ("('')", rows("-", { "a" }));
    EXPECT_EQ("('')", rows("---", { "a", "b", "c" }));
    EXPECT_EQ("('')", rows("", {}));
    // Codes are SQL string literals: quotes inside are doubled.
    EXPECT_EQ("('O''Brien', 'x''''y','z''') ", rows("+++", { "O'Brien", "x''y", "z'" }));
    EXPECT_EQ("('''; DROP TABLE s; --')", rows("+", { "'; DROP TABLE s; --" }));
}

TEST_F(IniLayout, TaskNamesThatFitIntoTheBufferAreListedWhole)
{
    // 10 sections of 60 bytes: 61 bytes each with the terminator, so 8 fit into 512 bytes (488 + 1).
    std::string text;
    std::vector<std::string> names;
    for (int i = 0; i < 10; ++i) {
        std::string name = std::string(58, 'A' + i) + std::to_string(i % 10) + "x";
        names.push_back(name);
        text += "[" + name + "]\r\nChecked=1\r\n";
    }
    WriteTasks(text);
    auto tasks = settings::ListTasks();
    ASSERT_EQ(8u, tasks.size());
    for (size_t i = 0; i < tasks.size(); ++i)
        EXPECT_EQ(names[i], tasks[i]);

    // A name that would end exactly at the buffer's end with the final terminator still fits.
    std::string exact(510, 'E');
    WriteTasks("[" + exact + "]\r\n");
    tasks = settings::ListTasks();
    ASSERT_EQ(1u, tasks.size());
    EXPECT_EQ(exact, tasks[0]);
    WriteTasks("[" + exact + "E]\r\n");
    EXPECT_TRUE(settings::ListTasks().empty()) << "a name cut short must not be listed";
}

TEST_F(IniLayout, TaskKeysAreWrittenSinglyAndSectionsMatchWithoutCase)
{
    WriteTasks("[Daily]\r\nFileName=d.txt\r\nSQL=select 1\r\nCustom=keep\r\n");
    EXPECT_TRUE(settings::WriteTaskString("DAILY", settings::kChecked, "1"));
    EXPECT_TRUE(settings::WriteTaskString("Daily", settings::kLastExportTime, "2000-10-09 08:34:56"));
    EXPECT_EQ("[Daily]\r\nFileName=d.txt\r\nSQL=select 1\r\nCustom=keep\r\nChecked=1\r\nLastExportTime=2000-10-09 08:34:56\r\n",
              TaskText());
    EXPECT_EQ(1, settings::ReadTaskInt("daily", settings::kChecked, 0));
    EXPECT_EQ(1u, settings::ListTasks().size());
    // A task whose section has gone comes back with only the written key.
    EXPECT_TRUE(settings::WriteTaskString("Gone", settings::kChecked, "0"));
    EXPECT_NE(std::string::npos, TaskText().find("[Gone]\r\nChecked=0\r\n"));
}

TEST_F(IniLayout, MissingFileAndKeysGiveDefaults)
{
    EXPECT_TRUE(settings::ReadOrgMappings().empty());
    EXPECT_TRUE(settings::ReadSuppliers().empty());
    EXPECT_TRUE(settings::ListTasks().empty());
    EXPECT_EQ("2001-01-01 00:00:00",
              settings::ReadTaskString("T", settings::kLastExportTime, settings::kDefaultExportTime, settings::kTaskValueBuffer));
    EXPECT_EQ(0, settings::ReadTaskInt("T", settings::kChecked, 0));
    EXPECT_FALSE(test::Exists(m_dir / "OrgMap.ini")) << "reads create nothing";
}

// Current directories the location rule must cope with.
TEST(IniLocation, DriveRootGivesASingleBackslash)
{
    test::CurrentDir cwd("C:\\");
    EXPECT_EQ("C:\\OrgMap.ini", settings::IniPath(settings::kOrgMapFile));
    EXPECT_EQ("C:\\TaskDefine.ini", settings::IniPath(settings::kTaskDefineFile));
}

TEST(IniLocation, GbkDirectoryEndingInA5CTrailByteKeepsIt)
{
    test::TempDir dir("gbk");
    const std::string sub = dir / "\xCA\xFD\xBE\xDD\xB5\x5C"; // last character's trail byte is '\'
    ASSERT_TRUE(test::MakeDir(sub));
    test::CurrentDir cwd(sub);
    EXPECT_EQ(sub + "\\OrgMap.ini", settings::IniPath(settings::kOrgMapFile));
    settings::WriteOrgMappings({ { "A", "P" } });
    EXPECT_TRUE(test::Exists(sub + "\\OrgMap.ini"));
    EXPECT_EQ("A=P;", Join(settings::ReadOrgMappings()));
}

TEST(IniLocation, CurrentDirectoriesNearMaxPathAreNeverCut)
{
    // The platform refuses a current directory past MAX_PATH; the longest it takes, plus "\OrgMap.ini",
    // no longer fits a MAX_PATH buffer and must still come back whole.
    test::TempDir dir("long");
    std::string base = dir.Path();
    while (base.size() < 200) {
        base += "\\" + std::string(30, 'd');
        ASSERT_TRUE(test::MakeDir(base));
    }
    size_t longest = 0;
    for (size_t length = 240; length < MAX_PATH + 8; ++length) {
        std::string path = base + "\\" + std::string(length - base.size() - 1, 'e');
        if (!test::MakeDir(path) || !::SetCurrentDirectoryA(path.c_str()))
            continue;
        ::SetCurrentDirectoryA(dir.Path().c_str());
        test::CurrentDir cwd(path);
        EXPECT_EQ(path + "\\OrgMap.ini", settings::IniPath(settings::kOrgMapFile)) << length;
        longest = length;
    }
    EXPECT_GE(longest + strlen("\\OrgMap.ini"), static_cast<size_t>(MAX_PATH));
}

} // namespace

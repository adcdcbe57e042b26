// The export engine on real directories, with a recording view and no pause.
#include "EngineTest.h"
#include "engine/ClientCode.h"
#include "engine/ExportEngine.h"

namespace {

using test::Exists;
using test::ListDir;
using test::ReadFile;

typedef test::ProbeEngine<CExportEngine> Engine;

// Bar positions of a run with n progress steps: 0 at the start, one per step, 100 at the end.
std::vector<int> PositionsFor(int steps)
{
    std::vector<int> out{ 0 };
    for (int i = 0; i < steps; ++i)
        out.push_back(i * 10 < 100 ? i * 10 : 100);
    out.push_back(100);
    return out;
}

// "." and ".." of a folder that is not a drive root take a step each.
const int kDotSteps = 2;

class ExportEngineTest : public test::EngineTest {
protected:
    std::string m_send = Path("send");
    std::string m_store = Path("store");

    void SetUp() override
    {
        ASSERT_TRUE(test::MakeDir(m_send));
        ASSERT_TRUE(test::MakeDir(m_store));
        settings::SetString(settings::kSourcePath, m_send.c_str());
        settings::SetString(settings::kExportLocation, m_store.c_str());
        WriteOrgMap("ClientID0000=C1\r\nQRVID0000=P1\r\nClientID0001=C2\r\nQRVID0001=P2\r\n");
    }

    std::string Send(const std::string& name) const { return m_send + "\\" + name; }
    std::string Stored(const std::string& platform, const std::string& name) const
    {
        return m_store + "\\" + platform + "\\" + name;
    }
    static std::string CopyError(const std::string& source, const std::string& target)
    {
        return "文件拷贝出错：" + source + " ==> " + target;
    }
};

TEST_F(ExportEngineTest, CopiesIntoThePlatformFolderAndCreatesIt)
{
    Put(Send("a_C1_b.txt"), "one");
    Engine engine(&m_view, ReadRunInput(UserOrgID()), 0, 0);
    EXPECT_EQ(1, engine.Run());
    EXPECT_EQ("one", ReadFile(Stored("P1", "a_C1_b.txt")));
    EXPECT_TRUE(Exists(Send("a_C1_b.txt"))) << "IsDeleted is 0";
    EXPECT_EQ(PositionsFor(kDotSteps + 1), m_view.Positions());
    EXPECT_EQ((std::vector<std::string>{ "正在导出文件a_C1_b.txt", "文件导出完成！" }), m_view.Statuses());
    EXPECT_TRUE(m_view.Errors().empty());
}

TEST_F(ExportEngineTest, AutomaticRunBehavesAlike)
{
    Put(Send("a_C2_b.txt"), "two");
    Engine engine(&m_view, ReadRunInput(UserOrgID()), 0, 0);
    EXPECT_EQ(1, engine.Run());
    EXPECT_EQ("two", ReadFile(Stored("P2", "a_C2_b.txt")));
}

TEST_F(ExportEngineTest, FilesWithoutAKnownCodeAreSkippedButTakeAStep)
{
    const std::vector<std::string> names = { "_C1_x.txt", "a_C1.txt", "a__b.txt", "a_c1_b.txt", "a_C9_b.txt",
                                             "plain.txt", "a_ C1_b.txt" };
    for (const std::string& name : names) {
        Put(Send(name), name);
    }
    Engine engine(&m_view, ReadRunInput(UserOrgID()), 0, 0);
    EXPECT_EQ(1, engine.Run());
    EXPECT_EQ(std::vector<std::string>(), ListDir(m_store)) << "nothing copied, no folder made";
    EXPECT_EQ(names.size(), ListDir(m_send).size());
    EXPECT_EQ(PositionsFor(kDotSteps + static_cast<int>(names.size())), m_view.Positions());
    EXPECT_EQ(names.size() + 1, m_view.Statuses().size()) << "every file is named in the status line";
}

TEST_F(ExportEngineTest, TheBarStaysAt100FromTheEleventhStep)
{
    for (int i = 0; i < 12; ++i)
        Put(Send("f" + std::to_string(i) + "_C1_x.txt"), "x");
    Engine engine(&m_view, ReadRunInput(UserOrgID()), 0, 0);
    EXPECT_EQ(1, engine.Run());
    EXPECT_EQ(PositionsFor(kDotSteps + 12), m_view.Positions());
    EXPECT_EQ(12u, ListDir(m_store + "\\P1").size());
}

TEST_F(ExportEngineTest, NamingRuleWorksOnCharacters)
{
    struct Case {
        const char* name;
        bool hasCode;
        const char* code;
    } cases[] = {
        { "a_C1_b.txt", true, "C1" },
        { "a_C1_", true, "C1" },
        { "a_C1__x_y", true, "C1" },
        { "_C1_x.txt", false, "" },
        { "a_C1.txt", false, "" },
        { "a__b.txt", false, "" },
        { "確_C1_x", true, "C1" },      // 確 is B4 5F: its trail byte is not an underscore
        { "a_確_x", true, "確" },
        { "確確_x", false, "" },
        { "礬_碶_x", true, "碶" },      // trail bytes 0x5C
    };
    for (const Case& c : cases) {
        TRACE_CASE(cases, c);
        std::string code;
        EXPECT_EQ(c.hasCode, ClientCodeOf(c.name, code)) << c.name;
        if (c.hasCode) {
            EXPECT_EQ(c.code, code) << c.name;
        }
    }
}

TEST_F(ExportEngineTest, GbkNamesAndFoldersArriveIntact)
{
    // Trail bytes 0x5F (確) and 0x5C (礬, 碶) in the folder names, the code and the file name.
    const std::string send = Path("发送礬");
    const std::string store = Path("存放確");
    ASSERT_TRUE(test::MakeDir(send));
    ASSERT_TRUE(test::MakeDir(store));
    settings::SetString(settings::kSourcePath, send.c_str());
    settings::SetString(settings::kExportLocation, store.c_str());
    WriteOrgMap("ClientID0000=確碶\r\nQRVID0000=平台礬\r\n");
    const std::string name = "確_確碶_礬表.txt";
    Put(send + "\\" + name, "gbk");
    settings::SetInt(settings::kIsDeleted, 1);
    Engine engine(&m_view, ReadRunInput(UserOrgID()), 0, 0);
    EXPECT_EQ(1, engine.Run());
    EXPECT_EQ(std::vector<std::string>{ "平台礬" }, ListDir(store));
    EXPECT_EQ(std::vector<std::string>{ name }, ListDir(store + "\\平台礬"));
    EXPECT_EQ("gbk", ReadFile(store + "\\平台礬\\" + name));
    EXPECT_EQ(std::vector<std::string>(), ListDir(send));
    EXPECT_EQ("正在导出文件" + name, m_view.Statuses().front());
}

TEST_F(ExportEngineTest, DeletesTheSourceOnlyAfterASuccessfulCopy)
{
    settings::SetInt(settings::kIsDeleted, 1);
    ASSERT_TRUE(test::MakeDir(m_store + "\\P1"));
    Put(Send("a_C1_x.txt"), "copied");
    Put(Send("b_C2_y.txt"), "blocked");
    // A folder standing where the copy would go makes it fail.
    ASSERT_TRUE(test::MakeDir(m_store + "\\P2"));
    ASSERT_TRUE(test::MakeDir(Stored("P2", "b_C2_y.txt")));
    Engine engine(&m_view, ReadRunInput(UserOrgID()), 0, 0);
    EXPECT_EQ(1, engine.Run());
    EXPECT_FALSE(Exists(Send("a_C1_x.txt")));
    EXPECT_EQ("copied", ReadFile(Stored("P1", "a_C1_x.txt")));
    EXPECT_EQ("blocked", ReadFile(Send("b_C2_y.txt")));
    EXPECT_TRUE(test::IsDirectory(Stored("P2", "b_C2_y.txt")));
    EXPECT_EQ(std::vector<std::string>{ CopyError(Send("b_C2_y.txt"), Stored("P2", "b_C2_y.txt")) }, m_view.Errors());
    EXPECT_EQ(PositionsFor(kDotSteps + 1), m_view.Positions()) << "a failed copy takes no step";
    EXPECT_EQ(1, engine.m_nAttempts) << "no attempt at a copy over a folder";
}

TEST_F(ExportEngineTest, MissingDataFileLocationShowsAsFailedCopies)
{
    const std::string missing = Path("missing");
    settings::SetString(settings::kExportLocation, missing.c_str());
    settings::SetInt(settings::kIsDeleted, 1);
    Put(Send("a_C1_x.txt"), "kept");
    Engine engine(&m_view, ReadRunInput(UserOrgID()), 0, 0);
    EXPECT_EQ(1, engine.Run());
    EXPECT_EQ("kept", ReadFile(Send("a_C1_x.txt")));
    EXPECT_EQ(std::vector<std::string>{ CopyError(Send("a_C1_x.txt"), missing + "\\P1\\a_C1_x.txt") }, m_view.Errors());
    EXPECT_EQ(PositionsFor(kDotSteps), m_view.Positions());
}

TEST_F(ExportEngineTest, OverwritesATargetOfTheSameName)
{
    ASSERT_TRUE(test::MakeDir(m_store + "\\P1"));
    Put(Stored("P1", "a_C1_x.txt"), "old");
    Put(Send("a_C1_x.txt"), "new");
    Engine engine(&m_view, ReadRunInput(UserOrgID()), 0, 0);
    EXPECT_EQ(1, engine.Run());
    EXPECT_EQ("new", ReadFile(Stored("P1", "a_C1_x.txt")));
}

TEST_F(ExportEngineTest, SettingsAreCheckedInOrder)
{
    struct Case {
        bool source;
        bool location;
        const char* message;
    } cases[] = {
        { false, false, "还没有设置源数据文件发送路径，请在“接口参数设置”中设置" },
        { false, true, "还没有设置源数据文件发送路径，请在“接口参数设置”中设置" },
        { true, false, "还没有设置数据文件存放路径，请在“接口参数设置”中设置" },
    };
    Put(Send("a_C1_x.txt"), "x");
    for (const Case& c : cases) {
        TRACE_CASE(cases, c);
        settings::SetString(settings::kSourcePath, c.source ? m_send.c_str() : "");
        settings::SetString(settings::kExportLocation, c.location ? m_store.c_str() : "");
        test::RecordingView view;
        Engine engine(&view, ReadRunInput(UserOrgID()), 0, 0);
        EXPECT_EQ(0, engine.Run()) << c.message;
        EXPECT_EQ(std::vector<std::string>{ c.message }, view.Errors());
        EXPECT_EQ(std::vector<int>{ 0 }, view.Positions()) << c.message;
        EXPECT_TRUE(view.Statuses().empty()) << c.message;
    }
    EXPECT_EQ(std::vector<std::string>(), ListDir(m_store));
}

TEST_F(ExportEngineTest, SubfoldersAreNotEnteredButTakeAStep)
{
    ASSERT_TRUE(test::MakeDir(Send("a_C1_dir")));
    Put(Send("a_C1_dir") + "\\a_C1_inner.txt", "inner");
    Engine engine(&m_view, ReadRunInput(UserOrgID()), 0, 0);
    EXPECT_EQ(1, engine.Run());
    EXPECT_EQ(std::vector<std::string>(), ListDir(m_store));
    EXPECT_EQ("inner", ReadFile(Send("a_C1_dir") + "\\a_C1_inner.txt"));
    EXPECT_EQ(PositionsFor(kDotSteps + 1), m_view.Positions());
    EXPECT_EQ(std::vector<std::string>{ "文件导出完成！" }, m_view.Statuses());
}

TEST_F(ExportEngineTest, EmptyOrMissingSourceDirectoryEndsAt100)
{
    Engine empty(&m_view, ReadRunInput(UserOrgID()), 0, 0);
    EXPECT_EQ(1, empty.Run());
    EXPECT_EQ(PositionsFor(kDotSteps), m_view.Positions());

    settings::SetString(settings::kSourcePath, Path("nowhere").c_str());
    test::RecordingView view;
    Engine missing(&view, ReadRunInput(UserOrgID()), 0, 0);
    EXPECT_EQ(1, missing.Run());
    EXPECT_EQ((std::vector<int>{ 0, 100 }), view.Positions());
    EXPECT_EQ(std::vector<std::string>{ "文件导出完成！" }, view.Statuses());
}

TEST_F(ExportEngineTest, SourcePathEndingInABackslashWorks)
{
    settings::SetString(settings::kSourcePath, (m_send + "\\").c_str());
    Put(Send("a_C1_x.txt"), "x");
    Engine engine(&m_view, ReadRunInput(UserOrgID()), 0, 0);
    EXPECT_EQ(1, engine.Run());
    EXPECT_EQ("x", ReadFile(Stored("P1", "a_C1_x.txt")));
}

TEST_F(ExportEngineTest, ASourceChangedDuringTheCopyIsNotDeleted)
{
    settings::SetInt(settings::kIsDeleted, 1);
    ASSERT_TRUE(test::MakeDir(m_store + "\\P1"));
    Put(Send("a_C1_x.txt"), "first");
    Engine engine(&m_view, ReadRunInput(UserOrgID()), 0, 0);
    engine.m_copy = [&](int, const std::string& source, const std::string& target) {
        bool ok = engine.RealCopy(source, target);
        Put(source, "first and more");
        return ok;
    };
    EXPECT_EQ(1, engine.Run());
    EXPECT_EQ("first", ReadFile(Stored("P1", "a_C1_x.txt")));
    EXPECT_EQ("first and more", ReadFile(Send("a_C1_x.txt"))) << "stays for the next run";
    EXPECT_TRUE(m_view.Errors().empty());
    EXPECT_EQ(PositionsFor(kDotSteps + 1), m_view.Positions());
}

TEST_F(ExportEngineTest, ACopyBlockedForAMomentIsTriedAgain)
{
    settings::SetInt(settings::kIsDeleted, 1);
    ASSERT_TRUE(test::MakeDir(m_store + "\\P1"));
    Put(Send("a_C1_x.txt"), "x");
    Engine engine(&m_view, ReadRunInput(UserOrgID()), 0, 0);
    engine.m_copy = [&](int attempt, const std::string& source, const std::string& target) {
        if (attempt < 3) {
            ::SetLastError(attempt == 1 ? ERROR_SHARING_VIOLATION : ERROR_LOCK_VIOLATION);
            return false;
        }
        return engine.RealCopy(source, target);
    };
    EXPECT_EQ(1, engine.Run());
    EXPECT_EQ(3, engine.m_nAttempts);
    EXPECT_EQ("x", ReadFile(Stored("P1", "a_C1_x.txt")));
    EXPECT_FALSE(Exists(Send("a_C1_x.txt")));
    EXPECT_TRUE(m_view.Errors().empty());
}

TEST_F(ExportEngineTest, AFileHeldOpenExclusivelyFailsAfterTheRetriesAndStays)
{
    settings::SetInt(settings::kIsDeleted, 1);
    Put(Send("a_C1_x.txt"), "busy");
    HANDLE holder = ::CreateFileA(Send("a_C1_x.txt").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, holder);
    Engine engine(&m_view, ReadRunInput(UserOrgID()), 0, 0);
    EXPECT_EQ(1, engine.Run());
    ::CloseHandle(holder);
    EXPECT_EQ(CExportEngine::kCopyAttempts, engine.m_nAttempts);
    EXPECT_EQ(std::vector<std::string>{ CopyError(Send("a_C1_x.txt"), Stored("P1", "a_C1_x.txt")) }, m_view.Errors());
    EXPECT_EQ("busy", ReadFile(Send("a_C1_x.txt")));
}

TEST_F(ExportEngineTest, AFileHeldOpenAgainstDeletionIsCopiedAndStays)
{
    settings::SetInt(settings::kIsDeleted, 1);
    Put(Send("a_C1_x.txt"), "read");
    HANDLE reader = ::CreateFileA(Send("a_C1_x.txt").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, reader);
    Engine engine(&m_view, ReadRunInput(UserOrgID()), 0, 0);
    EXPECT_EQ(1, engine.Run());
    ::CloseHandle(reader);
    EXPECT_EQ("read", ReadFile(Stored("P1", "a_C1_x.txt")));
    EXPECT_EQ("read", ReadFile(Send("a_C1_x.txt"))) << "a failed delete is ignored";
    EXPECT_TRUE(m_view.Errors().empty());
}

} // namespace

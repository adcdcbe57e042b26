// The import engine on real directories, with a recording view.
#include "engines/EngineTest.h"
#include "engine/ImportEngine.h"

#include <cstring>

namespace {

using test::Exists;
using test::ListDir;
using test::ReadFile;

typedef test::ProbeEngine<CImportEngine> Engine;

typedef std::vector<std::string> Names;

class ImportEngineTest : public test::EngineTest {
protected:
    std::string m_recv = Path("recv");
    std::string m_store = Path("store");
    std::string m_delivery = Path("store\\ORG1");
    std::string m_backup = Path("store\\ORG1\\Backup");
    std::string m_strUserOrgID = "ORG1";

    void SetUp() override
    {
        ASSERT_TRUE(test::MakeDir(m_recv));
        ASSERT_TRUE(test::MakeDir(m_store));
        ASSERT_TRUE(test::MakeDir(m_delivery));
        settings::SetString(settings::kDestPath, m_recv.c_str());
        settings::SetString(settings::kExportLocation, m_store.c_str());
    }
    std::unique_ptr<Engine> MakeEngine(test::RecordingView& view)
    {
        return std::unique_ptr<Engine>(new Engine(&view, ReadRunInput(UserOrgID{ m_strUserOrgID, false }), 0));
    }
    std::string Delivered(const std::string& name) const { return m_delivery + "\\" + name; }
    std::string Received(const std::string& name) const { return m_recv + "\\" + name; }
    std::string Backup(const std::string& name) const { return m_backup + "\\" + name; }
};

TEST_F(ImportEngineTest, CopiesEveryFileAndMovesItIntoBackup)
{
    Put(Delivered("x.txt"), "x");
    Put(Delivered("y_C1_z.dat"), "y");
    ASSERT_TRUE(test::MakeDir(m_backup));
    ASSERT_TRUE(test::MakeDir(Delivered("sub")));
    Put(Delivered("sub\\inner.txt"), "inner");
    EXPECT_EQ(1, MakeEngine(m_view)->Run());
    EXPECT_EQ((Names{ "x.txt", "y_C1_z.dat" }), ListDir(m_recv));
    EXPECT_EQ("y", ReadFile(Received("y_C1_z.dat")));
    EXPECT_EQ((Names{ "Backup", "sub" }), ListDir(m_delivery));
    EXPECT_EQ((Names{ "x.txt", "y_C1_z.dat" }), ListDir(m_backup));
    EXPECT_EQ(Names{ "inner.txt" }, ListDir(Delivered("sub")));
    EXPECT_EQ((std::vector<int>{ 5, 5 }), m_view.Positions());
    Names statuses = m_view.Statuses();
    std::sort(statuses.begin(), statuses.end());
    EXPECT_EQ((Names{ "正在转移文件：x.txt", "正在转移文件：y_C1_z.dat" }), statuses);
    EXPECT_TRUE(m_view.Errors().empty());
}

TEST_F(ImportEngineTest, ReplacesAnOlderTargetAndCreatesBackup)
{
    Put(Received("a.txt"), "old");
    Put(Delivered("a.txt"), "new");
    EXPECT_EQ(1, MakeEngine(m_view)->Run());
    EXPECT_EQ("new", ReadFile(Received("a.txt")));
    EXPECT_EQ("new", ReadFile(Backup("a.txt")));
}

TEST_F(ImportEngineTest, ANameAlreadyInBackupGetsAFreeNumberedName)
{
    ASSERT_TRUE(test::MakeDir(m_backup));
    Put(Backup("a.txt"), "first");
    for (const char* content : { "second", "third" }) {
        Put(Delivered("a.txt"), content);
        test::RecordingView view;
        EXPECT_EQ(1, MakeEngine(view)->Run());
        EXPECT_EQ(content, ReadFile(Received("a.txt")));
        EXPECT_EQ(Names{ "Backup" }, ListDir(m_delivery)) << "the delivery folder is emptied";
    }
    EXPECT_EQ((Names{ "a.txt", "a.txt.1", "a.txt.2" }), ListDir(m_backup));
    EXPECT_EQ("first", ReadFile(Backup("a.txt")));
    EXPECT_EQ("second", ReadFile(Backup("a.txt.1")));
    EXPECT_EQ("third", ReadFile(Backup("a.txt.2")));
}

TEST_F(ImportEngineTest, ArchivedUnderTheFirstFreeNumberWhateverElseBackupHolds)
{
    Names manyCopies{ "a.txt" };
    for (int i = 1; i <= 1200; ++i)
        manyCopies.push_back("a.txt." + std::to_string(i));
    const struct {
        const char* what;
        Names existing;
        const char* expected;
    } cases[] = {
        { "the lowest gap is filled", { "a.txt", "a.txt.1", "a.txt.3", "a.txt.4" }, "a.txt.2" },
        { "other names do not count",
          { "a.txt", "a.txt.x", "a.txt.1.2", "a.txt.01", "a.txt.0", "a.txt.-1", "a.txt.1x", "a.txt1", "b.txt.1" },
          "a.txt.1" },
        { "copies in another case count", { "A.TXT", "A.Txt.1" }, "a.txt.2" },
        { "the name itself while it is free", { "a.txt.1", "a.txt.2" }, "a.txt" },
        { "1,200 earlier copies", manyCopies, "a.txt.1201" },
    };
    for (const auto& c : cases) {
        TRACE_CASE(cases, c);
        test::RemoveTree(m_backup);
        ASSERT_TRUE(test::MakeDir(m_backup));
        for (const std::string& name : c.existing)
            Put(Backup(name), "old " + name);
        Put(Delivered("a.txt"), "new");
        test::RecordingView view;
        EXPECT_EQ(1, MakeEngine(view)->Run()) << c.what;
        EXPECT_EQ(Names{ "Backup" }, ListDir(m_delivery)) << c.what;
        EXPECT_EQ("new", ReadFile(Backup(c.expected))) << c.what;
        EXPECT_EQ(c.existing.size() + 1, ListDir(m_backup).size()) << c.what;
        for (const std::string& name : c.existing)
            EXPECT_EQ("old " + name, ReadFile(Backup(name))) << c.what << ": " << name << " is kept";
    }
}

TEST_F(ImportEngineTest, NoDeliveryFolderMeansNothingToDo)
{
    test::RemoveTree(m_delivery);
    EXPECT_EQ(1, MakeEngine(m_view)->Run());
    EXPECT_FALSE(Exists(m_delivery)) << "the backup folder's parent is not made";
    EXPECT_TRUE(m_view.Calls().empty());
}

TEST_F(ImportEngineTest, EmptyUserOrgIDUsesTheDataFileLocationItself)
{
    m_strUserOrgID = "";
    Put(m_store + "\\d.txt", "d");
    EXPECT_EQ(1, MakeEngine(m_view)->Run());
    EXPECT_EQ("d", ReadFile(Received("d.txt")));
    EXPECT_EQ("d", ReadFile(m_store + "\\Backup\\d.txt"));
    EXPECT_EQ((Names{ "Backup", "ORG1" }), ListDir(m_store));
    EXPECT_EQ((std::vector<int>{ 5 }), m_view.Positions());
}

TEST_F(ImportEngineTest, SettingsAreCheckedInOrder)
{
    struct Case {
        bool dest;
        bool location;
        const char* message;
    } cases[] = {
        { false, false, "还没有设置源数据文件接收路径，请在“接口参数设置”中设置" },
        { false, true, "还没有设置源数据文件接收路径，请在“接口参数设置”中设置" },
        { true, false, "还没有设置数据文件存放路径，请在“接口参数设置”中设置" },
    };
    Put(Delivered("a.txt"), "a");
    for (const Case& c : cases) {
        TRACE_CASE(cases, c);
        settings::SetString(settings::kDestPath, c.dest ? m_recv.c_str() : "");
        settings::SetString(settings::kExportLocation, c.location ? m_store.c_str() : "");
        test::RecordingView view;
        EXPECT_EQ(0, MakeEngine(view)->Run()) << c.message;
        EXPECT_EQ(Names{ c.message }, view.Errors());
        EXPECT_TRUE(view.Positions().empty()) << c.message;
    }
    EXPECT_EQ(Names{ "a.txt" }, ListDir(m_delivery)) << "no Backup folder either";
}

TEST_F(ImportEngineTest, GbkNamesArriveIntact)
{
    // Trail bytes 0x5C (礬, 碶) and 0x5F (確) in folder and file names.
    const std::string recv = Path("接收礬");
    ASSERT_TRUE(test::MakeDir(recv));
    settings::SetString(settings::kDestPath, recv.c_str());
    const Names names = { "確_礬.txt", "碶表確" };
    for (const std::string& name : names) {
        Put(Delivered(name), name);
    }
    EXPECT_EQ(1, MakeEngine(m_view)->Run());
    Names sorted = names;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(sorted, ListDir(recv));
    EXPECT_EQ(sorted, ListDir(m_backup));
    for (const std::string& name : names) {
        EXPECT_EQ(name, ReadFile(recv + "\\" + name));
    }
}

TEST_F(ImportEngineTest, AFailedCopyLeavesTheFileQuietly)
{
    settings::SetString(settings::kDestPath, Path("missing").c_str());
    Put(Delivered("a.txt"), "a");
    EXPECT_EQ(1, MakeEngine(m_view)->Run());
    EXPECT_EQ((Names{ "Backup", "a.txt" }), ListDir(m_delivery));
    EXPECT_TRUE(m_view.Errors().empty());
    EXPECT_EQ((std::vector<int>{ 5 }), m_view.Positions());
}

TEST_F(ImportEngineTest, AFileDeliveredAgainDuringTheCopyWaitsForTheNextRun)
{
    Put(Delivered("a.txt"), "first");
    std::unique_ptr<Engine> engine = MakeEngine(m_view);
    Engine* probe = engine.get();
    engine->m_copy = [probe](int, const std::string& source, const std::string& target) {
        bool ok = probe->RealCopy(source, target);
        test::WriteFile(source, "first and more");
        return ok;
    };
    EXPECT_EQ(1, engine->Run());
    EXPECT_EQ("first", ReadFile(Received("a.txt")));
    EXPECT_EQ("first", ReadFile(Backup("a.txt")));
    EXPECT_EQ("first and more", ReadFile(Delivered("a.txt")));
}

TEST_F(ImportEngineTest, ACopyBlockedForAMomentIsTriedAgain)
{
    Put(Delivered("a.txt"), "a");
    std::unique_ptr<Engine> engine = MakeEngine(m_view);
    Engine* probe = engine.get();
    engine->m_copy = [probe](int attempt, const std::string& source, const std::string& target) {
        if (attempt == 1) {
            ::SetLastError(ERROR_SHARING_VIOLATION);
            return false;
        }
        return probe->RealCopy(source, target);
    };
    EXPECT_EQ(1, engine->Run());
    EXPECT_EQ(2, engine->m_nAttempts);
    EXPECT_EQ("a", ReadFile(Backup("a.txt")));
}

} // namespace

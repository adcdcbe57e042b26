// Whole runs under conditions a deployed machine meets: files held by other programs, read-only
// targets, missing directories, large folders, GBK names, odd INI files and registry values. Every
// scenario ends with a census: each file the test made is still somewhere, with its content.
#include "support/Reliability.h"

#include <algorithm>
#include <cstring>

namespace reliability {
namespace {

// Held exclusively, or by a writer that lets others read (as the C runtime's "wb" does): either way the
// copy must not take a file that is still being written.
TEST_F(Reliability, AFileHeldByAWriterIsReportedKeptAndExportedByTheNextRun)
{
    for (DWORD share : { DWORD(0), DWORD(FILE_SHARE_READ) }) {
        SCOPED_TRACE("writer's share mode " + std::to_string(share));
        Make(m_send, "a_C1_held.txt", "held");
        Make(m_send, "b_C1_free.txt", "free");
        test::RecordingView first;
        EXPECT_EQ(1, WhileWritten(m_send + "\\a_C1_held.txt", share, [&] { return Export(first); }));
        ASSERT_EQ(1u, first.Errors().size());
        EXPECT_NE(std::string::npos, first.Errors()[0].find("a_C1_held.txt"));
        auto where = Census({ m_send, m_data + "\\P1" });
        EXPECT_EQ(m_send, where["a_C1_held.txt"]);
        EXPECT_EQ(m_data + "\\P1", where["b_C1_free.txt"]);
        EXPECT_EQ(Names{ "b_C1_free.txt" }, ListDir(m_data + "\\P1")) << "no partial or temporary file";

        test::RecordingView second;
        EXPECT_EQ(1, Export(second));
        EXPECT_TRUE(second.Errors().empty());
        EXPECT_TRUE(ListDir(m_send).empty());
        EXPECT_EQ(m_data + "\\P1", Census({ m_send, m_data + "\\P1" })["a_C1_held.txt"]);
        test::RemoveTree(m_data + "\\P1");
    }
}

TEST_F(Reliability, ADeliveryHeldByAWriterStaysForTheNextImport)
{
    const std::string delivery = MakeDelivery();
    Make(delivery, "d.txt", "being written");
    test::RecordingView first;
    EXPECT_EQ(1, WhileWritten(delivery + "\\d.txt", FILE_SHARE_READ, [&] { return Import(first); }));
    EXPECT_EQ(delivery, Census({ delivery })["d.txt"]);
    EXPECT_TRUE(ListDir(m_recv).empty()) << "nothing half-written reaches the receive directory";
    test::RecordingView second;
    EXPECT_EQ(1, Import(second));
    EXPECT_EQ(m_recv, Census({ m_recv })["d.txt"]);
}

// Another program (or a second run) takes a file between the listing and its copy.
TEST_F(Reliability, ASourceThatVanishesMidRunIsPassedOverWithoutAMessage)
{
    const std::string delivery = MakeDelivery();
    for (bool import : { false, true }) {
        SCOPED_TRACE(import ? "import" : "export");
        const std::string dir = import ? delivery : m_send;
        ASSERT_TRUE(test::WriteFile(dir + "\\a_C1_1.txt", "1"));
        ASSERT_TRUE(test::WriteFile(dir + "\\a_C1_2.txt", "2"));
        // At the first file's status, the other one goes.
        struct Thief : test::RecordingView {
            std::string dir;
            void Add(const Call& call) override
            {
                if (call.kind == Call::kStatus && Statuses().empty()) {
                    const bool first = call.text.find("a_C1_1.txt") != std::string::npos;
                    ::DeleteFileA((dir + (first ? "\\a_C1_2.txt" : "\\a_C1_1.txt")).c_str());
                }
                RecordingView::Add(call);
            }
        } view;
        view.dir = dir;
        EXPECT_EQ(1, import ? Import(view) : Export(view));
        EXPECT_TRUE(view.Errors().empty()) << view.Errors()[0];
        EXPECT_EQ(1u, ListDir(import ? m_recv : m_data + "\\P1").size());
    }
}

// Codes that would lead out of the data-file location are never used: the pair is passed over and its
// files stay. (A user organisation ID of that kind is refused before an import engine is made.)
TEST_F(Reliability, CodesThatLeaveTheirRootTouchNothingOutsideIt)
{
    const char* codes[] = { "..\\..\\escape", "..\\host", "..", ".", " . ", "P1\\sub", "C:\\x", "C:x", "\\x" };
    for (const char* code : codes) {
        SCOPED_TRACE(code);
        WriteOrgMap(std::string("[OrgMapping]\r\nClientID0000=C1\r\nQRVID0000=") + code + "\r\n");
        Make(m_send, "a_C1_x.txt", "x");
        test::RecordingView view;
        EXPECT_EQ(1, Export(view));
        EXPECT_TRUE(view.Errors().empty());
        EXPECT_EQ(m_send, Census({ m_send })["a_C1_x.txt"]);
        EXPECT_EQ(Names{}, ListDir(m_data)) << "nothing made in the data-file location";
        EXPECT_EQ((Names{ "OrgMap.ini", "data", "send" }), ListDir(m_root.Path())) << "nothing made beside it";
    }
}

// Wine running as root ignores the read-only bit, so an unwritable target is made the two ways that
// hold everywhere: held open by another program, and a folder standing in the file's place.
TEST_F(Reliability, AnUnwritableTargetIsReportedAndTheSourceKept)
{
    ASSERT_TRUE(test::MakeDir(m_data + "\\P1"));
    ASSERT_TRUE(test::WriteFile(m_data + "\\P1\\a_C1_held.txt", "old"));
    ASSERT_TRUE(test::MakeDir(m_data + "\\P1\\b_C1_dir.txt"));
    HANDLE holder = ::CreateFileA((m_data + "\\P1\\a_C1_held.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, holder);
    Make(m_send, "a_C1_held.txt", "new a");
    Make(m_send, "b_C1_dir.txt", "new b");
    test::RecordingView view;
    EXPECT_EQ(1, Export(view));
    ::CloseHandle(holder);
    const std::string copyError = "\xCE\xC4\xBC\xFE\xBF\xBD\xB1\xB4\xB3\xF6\xB4\xED\xA3\xBA";
    std::vector<std::string> errors = view.Errors();
    std::sort(errors.begin(), errors.end());
    EXPECT_EQ((std::vector<std::string>{
                  copyError + m_send + "\\a_C1_held.txt ==> " + m_data + "\\P1\\a_C1_held.txt",
                  copyError + m_send + "\\b_C1_dir.txt ==> " + m_data + "\\P1\\b_C1_dir.txt" }),
              errors);
    EXPECT_EQ("old", ReadFile(m_data + "\\P1\\a_C1_held.txt"));
    EXPECT_EQ((Names{ "a_C1_held.txt", "b_C1_dir.txt" }), ListDir(m_data + "\\P1")) << "no temporary file left beside them";
    EXPECT_EQ(2u, Census({ m_send }).size());
}

TEST_F(Reliability, AMissingReceiveDirectoryLeavesEveryDeliveryForTheNextRun)
{
    SetUserOrgID("Q9");
    const std::string delivery = m_data + "\\Q9";
    ASSERT_TRUE(test::MakeDir(delivery));
    for (int i = 0; i < 5; ++i)
        Make(delivery, "inv" + std::to_string(i) + ".txt", "invoice " + std::to_string(i));
    test::RecordingView first;
    EXPECT_EQ(1, Import(first));
    EXPECT_EQ(5u, Census({ delivery }).size());
    EXPECT_FALSE(Exists(m_recv));

    ASSERT_TRUE(test::MakeDir(m_recv));
    test::RecordingView second;
    EXPECT_EQ(1, Import(second));
    EXPECT_EQ(5u, Census({ m_recv }).size());
    EXPECT_EQ(5u, Census({ delivery + "\\Backup" }).size());
    EXPECT_EQ(std::vector<std::string>{ "Backup" }, ListDir(delivery));
}

TEST_F(Reliability, TenThousandFilesAreAllPlacedAndImported)
{
    const int kFiles = 10000;
    for (int i = 0; i < kFiles; ++i)
        Make(m_send, "f_C" + std::to_string(1 + i % 2) + "_" + std::to_string(i) + ".dat", std::to_string(i));
    test::RecordingView exportView;
    EXPECT_EQ(1, Export(exportView));
    EXPECT_TRUE(exportView.Errors().empty());
    EXPECT_TRUE(ListDir(m_send).empty());
    EXPECT_EQ(static_cast<size_t>(kFiles / 2), ListDir(m_data + "\\P1").size());
    EXPECT_EQ(static_cast<size_t>(kFiles / 2), ListDir(m_data + "\\P2").size());
    EXPECT_EQ(100, exportView.Positions().back());

    // The platform delivers P1's folder back as the user's own: all of it reaches the receive directory.
    SetUserOrgID("P1");
    ASSERT_TRUE(test::MakeDir(m_recv));
    test::RecordingView importView;
    EXPECT_EQ(1, Import(importView));
    EXPECT_EQ(static_cast<size_t>(kFiles / 2), ListDir(m_recv).size());
    EXPECT_EQ(static_cast<size_t>(kFiles / 2), ListDir(m_data + "\\P1\\Backup").size());
    EXPECT_EQ(static_cast<size_t>(kFiles), Census({ m_recv, m_data + "\\P2" }).size());
}

TEST_F(Reliability, GbkNamesWithBackslashAndUnderscoreTrailBytesTravelEndToEnd)
{
    // Client code "\xB5\x5C" ends in a 0x5C trail byte; "\xD5\x5F" in the prefix has a 0x5F trail byte.
    WriteOrgMap("[OrgMapping]\r\nClientID0000=\xB5\x5C\r\nQRVID0000=\xCA\xFD\xBE\xDD\r\n");
    const std::string names[] = {
        "\xD5\x5F_\xB5\x5C_\xB1\xA8\xB1\xED.txt",
        "a_\xB5\x5C_\xD5\x5F\xD5\x5F.txt",
    };
    for (const std::string& name : names)
        Make(m_send, name, "gbk " + name);
    test::RecordingView exportView;
    EXPECT_EQ(1, Export(exportView));
    const std::string platform = m_data + "\\\xCA\xFD\xBE\xDD";
    EXPECT_EQ(2u, Census({ platform }).size());

    SetUserOrgID("\xCA\xFD\xBE\xDD");
    ASSERT_TRUE(test::MakeDir(m_recv));
    test::RecordingView importView;
    EXPECT_EQ(1, Import(importView));
    EXPECT_EQ(2u, Census({ m_recv }).size());
    EXPECT_EQ(2u, Census({ platform + "\\Backup" }).size());
}

TEST_F(Reliability, RepeatedDeliveriesOfOneNameAreAllArchived)
{
    const std::string delivery = MakeDelivery();
    for (int run = 0; run < 3; ++run) {
        ASSERT_TRUE(test::WriteFile(delivery + "\\daily.txt", "day " + std::to_string(run)));
        test::RecordingView view;
        EXPECT_EQ(1, Import(view));
        EXPECT_EQ("day " + std::to_string(run), ReadFile(m_recv + "\\daily.txt"));
    }
    EXPECT_EQ(std::vector<std::string>{ "Backup" }, ListDir(delivery));
    EXPECT_EQ((std::vector<std::string>{ "daily.txt", "daily.txt.1", "daily.txt.2" }), ListDir(delivery + "\\Backup"));
    EXPECT_EQ("day 0", ReadFile(delivery + "\\Backup\\daily.txt"));
    EXPECT_EQ("day 2", ReadFile(delivery + "\\Backup\\daily.txt.2"));
}

TEST_F(Reliability, MappingFilesOfEveryShapeRouteTheSameWay)
{
    const std::string longLine(100000, 'x');
    const struct {
        const char* shape;
        std::string text;
    } files[] = {
        { "CRLF", "[OrgMapping]\r\nClientID0000=C1\r\nQRVID0000=P1\r\n" },
        { "LF", "[OrgMapping]\nClientID0000=C1\nQRVID0000=P1\n" },
        { "UTF-8 BOM", "\xEF\xBB\xBF[OrgMapping]\r\nClientID0000=C1\r\nQRVID0000=P1\r\n" },
        { "duplicate keys", "[OrgMapping]\r\nClientID0000=C1\r\nQRVID0000=P1\r\nQRVID0000=P2\r\n" },
        { "very long line", "[Other]\r\nNote=" + longLine + "\r\n[OrgMapping]\r\nComment=" + longLine +
                                "\r\nClientID0000=C1\r\nQRVID0000=P1\r\n" },
    };
    for (const auto& file : files) {
        WriteOrgMap(file.text);
        test::RemoveTree(m_data + "\\P1");
        Make(m_send, "a_C1_x.txt", file.shape);
        test::RecordingView view;
        EXPECT_EQ(1, Export(view)) << file.shape;
        EXPECT_EQ(file.shape, ReadFile(m_data + "\\P1\\a_C1_x.txt")) << file.shape;
        EXPECT_FALSE(Exists(m_send + "\\a_C1_x.txt")) << file.shape;
    }
}

TEST_F(Reliability, AnIsDeletedOfTheWrongTypeKeepsTheSources)
{
    settings::SetString(settings::kIsDeleted, "1");
    Make(m_send, "a_C1_x.txt", "x");
    test::RecordingView view;
    EXPECT_EQ(1, Export(view));
    EXPECT_EQ("x", ReadFile(m_data + "\\P1\\a_C1_x.txt"));
    EXPECT_EQ(m_send, Census({ m_send })["a_C1_x.txt"]) << "a string where a number belongs reads as 0: no delete";
}

} // namespace
} // namespace reliability

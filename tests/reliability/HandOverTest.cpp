// Hand-overs beside neighbours: other copies writing to the same folders, folders set so that they
// overlap, and paths near the platform's limit. (That each copy is on disk before its source goes is
// traced from outside, by scripts/check_durability.sh.)
#include "support/Reliability.h"
#include "framework/FolderPlace.h"
#include "support/LinuxSide.h"

#include <atomic>
#include <memory>

namespace reliability {
namespace {

const ULONGLONG kMinute = 60ULL * 10000000;

FILETIME Ago(ULONGLONG units)
{
    FILETIME now;
    ::GetSystemTimeAsFileTime(&now);
    const ULONGLONG then = ((static_cast<ULONGLONG>(now.dwHighDateTime) << 32) | now.dwLowDateTime) - units;
    return FILETIME{ static_cast<DWORD>(then), static_cast<DWORD>(then >> 32) };
}

// Removes every temporary copy it finds in a folder, as fast as it can, until it goes: the clean-up of
// an older version, which removed them whatever their age.
class Cleaner {
public:
    explicit Cleaner(const std::string& folder) : m_folder(folder)
    {
        m_hThread = ::CreateThread(nullptr, 0, Loop, this, 0, nullptr);
    }
    ~Cleaner()
    {
        m_bStop = true;
        ::WaitForSingleObject(m_hThread, INFINITE);
        ::CloseHandle(m_hThread);
    }
    int Removed() const { return m_nRemoved; }

private:
    static DWORD WINAPI Loop(void* pParam)
    {
        Cleaner* self = static_cast<Cleaner*>(pParam);
        while (!self->m_bStop) {
            for (const std::string& name : ListDir(self->m_folder)) {
                if (CTransferEngine::IsTemporaryName(name.c_str())
                    && ::DeleteFileA((self->m_folder + "\\" + name).c_str()))
                    ++self->m_nRemoved;
            }
        }
        return 0;
    }
    std::string m_folder;
    HANDLE m_hThread;
    std::atomic<bool> m_bStop{ false };
    std::atomic<int> m_nRemoved{ 0 };
};

class HandOver : public Reliability {
protected:
    // Exports a file of C1 and imports one from delivery, neither with an error: each reaches its place.
    void ExportAndImportOneFile(const std::string& delivery)
    {
        Make(m_send, "a_C1_1.txt", "exported");
        Make(delivery, "d.txt", "delivered");
        test::RecordingView exportView, importView;
        EXPECT_EQ(1, Export(exportView));
        EXPECT_EQ(1, Import(importView));
        EXPECT_TRUE(exportView.Errors().empty() && importView.Errors().empty());
        auto where = Census({ m_data + "\\P1", m_recv });
        EXPECT_EQ(m_data + "\\P1", where["a_C1_1.txt"]);
        EXPECT_EQ(m_recv, where["d.txt"]);
    }
};

// Temporary files of other copies in the folders that runs write to. One younger than a day may
// belong to a copy under way elsewhere, even under this thread's own name of an older version, and is
// neither truncated nor removed; an older one is what an interrupted copy left, and goes.
TEST_F(HandOver, NeighboursTemporaryFilesStayWholeUntilTheyAreADayOld)
{
    SetUserOrgID("Q9");
    const std::string delivery = m_data + "\\Q9";
    for (const std::string& dir : { delivery, m_recv, m_data + "\\P1" })
        ASSERT_TRUE(test::MakeDir(dir));
    char ownOldName[64];
    ::wsprintfA(ownOldName, ".~qrvlnk-%lx-%lx.part", ::GetCurrentProcessId(), ::GetCurrentThreadId());
    const FILETIME now = Ago(0);
    const struct {
        std::string name;
        FILETIME written;
        bool held; // open for writing by its neighbour, which shares everything (another machine)
        bool stays;
    } temps[] = {
        { CTransferEngine::MakeTemporaryName(now), now, true, true },
        { CTransferEngine::MakeTemporaryName(Ago(23 * 60 * kMinute)), Ago(2 * 24 * 60 * kMinute), false, true },
        { CTransferEngine::MakeTemporaryName(Ago(24 * 60 * kMinute + kMinute)), now, false, false },
        { ownOldName, now, true, true },
        { ".~qrvlnk-1-2.part", Ago(23 * 60 * kMinute), false, true },
        { ".~qrvlnk-3-4.part", Ago(24 * 60 * kMinute + kMinute), false, false },
    };
    std::vector<std::unique_ptr<CFileHandle>> holders;
    for (const std::string& folder : { m_data + "\\P1", m_recv }) {
        for (const auto& temp : temps) {
            const std::string path = folder + "\\" + temp.name;
            ASSERT_TRUE(test::WriteFile(path, "neighbour's " + temp.name));
            CFileHandle file(::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
            ASSERT_TRUE(file.IsValid() && ::SetFileTime(file, nullptr, nullptr, &temp.written)) << path;
            if (temp.held)
                holders.emplace_back(new CFileHandle(file.Detach()));
        }
    }
    ExportAndImportOneFile(delivery);
    for (const std::string& folder : { m_data + "\\P1", m_recv }) {
        for (const auto& temp : temps) {
            TRACE_CASE(temps, temp);
            const std::string path = folder + "\\" + temp.name;
            EXPECT_EQ(temp.stays, Exists(path)) << path;
            if (temp.stays) {
                EXPECT_EQ("neighbour's " + temp.name, ReadFile(path)) << path;
            }
        }
    }
}

// Another program's clean-up that takes a copy's temporary file just before its rename: the copy is
// made again, and no good copy fails.
TEST_F(Reliability, AnotherProgramsCleanUpNeverFailsAGoodCopy)
{
    const int kFiles = 300;
    for (int i = 0; i < kFiles; ++i)
        Make(m_send, "f_C1_" + std::to_string(i) + ".dat", std::string(100 + i, 'a' + i % 26));
    ASSERT_TRUE(test::MakeDir(m_data + "\\P1"));
    test::RecordingView view;
    {
        Cleaner cleaner(m_data + "\\P1");
        EXPECT_EQ(1, Export(view));
        EXPECT_GT(cleaner.Removed(), 0) << "the clean-up never took a temporary file";
    }
    EXPECT_TRUE(view.Errors().empty()) << view.Errors().size() << " copies failed, the first: " << view.Errors()[0];
    EXPECT_EQ(static_cast<size_t>(kFiles), Census({ m_data + "\\P1" }).size());
    EXPECT_TRUE(ListDir(m_send).empty());
}

// Folders set so that a run would copy a file onto itself, overwrite what Backup holds, hand files on a
// second time or take the files waiting to be exported: the run is refused with one message that names
// the two settings, before it touches anything. Every way Windows has of naming one folder counts:
// letter case, a trailing backslash, "." and "..", short names, the "\\?\" and "\\.\" forms, a second
// drive letter (subst) and a link on the way (a junction), also one that leads into the middle of the
// other folder, so that the folders above its end are not on its way.
TEST_F(Reliability, RunsWhoseFoldersOverlapAreRefusedBeforeTheyTouchAnything)
{
    // A user organisation ID with a short name of its own ("Q9 Delivery" is not an 8.3 name).
    SetUserOrgID("Q9 Delivery");
    const std::string delivery = m_data + "\\Q9 Delivery";
    const std::string backup = delivery + "\\Backup";
    for (const std::string& dir : { delivery, backup, m_recv, m_data + "\\P1", m_data + "\\P1\\out" })
        ASSERT_TRUE(test::MakeDir(dir));
    char shortBackup[MAX_PATH];
    ASSERT_NE(0u, ::GetShortPathNameA(backup.c_str(), shortBackup, MAX_PATH));
    ASSERT_EQ(std::string::npos, std::string(shortBackup).find("Q9 Delivery")) << shortBackup;
    const test::DriveAlias drive(m_data);
    ASSERT_FALSE(drive.Drive().empty());
    const test::FolderLink link(m_root / "alias", m_data);
    ASSERT_TRUE(link.IsMade());
    const test::FolderLink intoPlatform(m_root / "into-p1", m_data + "\\P1\\out");
    const test::FolderLink intoBackup(m_root / "into-backup", backup);
    ASSERT_TRUE(intoPlatform.IsMade() && intoBackup.IsMade());
    const std::string sendInPlatform =
        "源数据发送目录（SourcePath）是数据文件存放路径（ExportLocation）下网商代码“P1”的文件夹，或者在这个文件夹里面，导出的文件会覆盖源文件或者被再次传送，不能导出数据。请检查“SourcePath”和“ExportLocation”的设置";
    const std::string sendInDelivery =
        "源数据发送目录（SourcePath）是用户机构代码（UserOrgID）的交付文件夹，或者在这个文件夹里面，导出会把平台送来的文件再传送出去，不能导出数据。请检查“SourcePath”和“UserOrgID”的设置";
    const std::string receiveInDelivery =
        "源数据接收目录（DestPath）是用户机构代码（UserOrgID）的交付文件夹，或者在这个文件夹里面（例如Backup），导入会覆盖送来的或备份的文件，不能导入数据。请检查“DestPath”和“UserOrgID”的设置";
    const std::string receiveInPlatform =
        "源数据接收目录（DestPath）是数据文件存放路径（ExportLocation）下网商代码“P1”的文件夹，或者在这个文件夹里面，导入的文件会被传送给这个机构，不能导入数据。请检查“DestPath”和“ExportLocation”的设置";
    const std::string importFromSend =
        "源数据发送目录（SourcePath）是用户机构代码（UserOrgID）的交付文件夹，或者在这个文件夹里面，导入会把等待导出的文件取走，不能导入数据。请检查“SourcePath”和“UserOrgID”的设置";
    const std::string sendReceive =
        "源数据接收目录（DestPath）和源数据发送目录（SourcePath）是同一个文件夹，或者一个在另一个里面，导入的文件会被下一次导出传送给别的机构并删除，不能导出或导入数据。请检查“DestPath”和“SourcePath”的设置";
    const std::string importFromInsideSend =
        "用户机构代码（UserOrgID）的交付文件夹在源数据发送目录（SourcePath）里面，导入会把等待导出的文件取走，不能导入数据。请检查“SourcePath”和“UserOrgID”的设置";
    const struct {
        bool import;
        const char* setting;
        std::string folder;
        std::string message;
    } cases[] = {
        { true, settings::kDestPath, backup, receiveInDelivery },
        { true, settings::kDestPath, shortBackup, receiveInDelivery },
        { true, settings::kDestPath, m_data + "\\P1\\..\\q9 delivery\\.\\backup\\", receiveInDelivery },
        { true, settings::kDestPath, delivery, receiveInDelivery },
        { true, settings::kDestPath, m_data + "\\p1\\", receiveInPlatform },
        { false, settings::kSourcePath, m_data + "\\P1", sendInPlatform },
        { false, settings::kSourcePath, m_data + "\\P1\\out", sendInPlatform },
        { false, settings::kSourcePath, m_data + "/q9 delivery.", sendInDelivery },
        { true, settings::kSourcePath, delivery, importFromSend },
        { true, settings::kSourcePath, m_data, importFromInsideSend },
        { false, settings::kSourcePath, "\\\\?\\" + m_data + "\\P1", sendInPlatform },
        { false, settings::kSourcePath, "\\\\.\\" + m_data + "\\P1\\out", sendInPlatform },
        { false, settings::kSourcePath, drive.Drive() + "\\P1", sendInPlatform },
        { false, settings::kSourcePath, m_root / "alias\\p1", sendInPlatform },
        { true, settings::kDestPath, "\\\\?\\" + backup, receiveInDelivery },
        { true, settings::kDestPath, "\\\\.\\" + m_data + "\\P1", receiveInPlatform },
        { true, settings::kDestPath, drive.Drive() + "\\Q9 Delivery\\Backup", receiveInDelivery },
        { true, settings::kDestPath, m_root / "alias\\Q9 Delivery\\Backup\\new", receiveInDelivery },
        { true, settings::kSourcePath, drive.Drive() + "\\Q9 Delivery", importFromSend },
        { true, settings::kSourcePath, m_root / "alias", importFromInsideSend },
        { false, settings::kSourcePath, m_root / "into-p1", sendInPlatform },
        { true, settings::kDestPath, m_root / "into-backup", receiveInDelivery },
        { true, settings::kDestPath, m_send, sendReceive },
        { false, settings::kDestPath, m_send + "\\IN\\", sendReceive },
        { true, settings::kSourcePath, m_recv + "\\out", sendReceive },
        { false, settings::kSourcePath, "\\\\.\\" + m_recv, sendReceive },
    };
    ASSERT_TRUE(test::WriteFile(backup + "\\y_C1_1.dat", "archived OLD"));
    ASSERT_TRUE(test::WriteFile(delivery + "\\y_C1_1.dat", "delivered NEW"));
    ASSERT_TRUE(test::WriteFile(m_data + "\\P1\\x_C1_1.dat", "exported before"));
    ASSERT_TRUE(test::WriteFile(m_data + "\\P1\\out\\z_C1_1.dat", "kept for the platform"));
    ASSERT_TRUE(test::WriteFile(m_send + "\\a_C1_1.dat", "to export"));
    const std::map<std::string, std::string> before = test::FilesBelow(m_root.Path());
    for (const auto& c : cases) {
        TRACE_CASE(cases, c);
        settings::SetString(c.setting, c.folder.c_str());
        test::RecordingView view;
        EXPECT_EQ(0, c.import ? Import(view) : Export(view));
        EXPECT_EQ(std::vector<std::string>{ c.message }, view.Errors());
        EXPECT_EQ(before, test::FilesBelow(m_root.Path()));
        settings::SetString(settings::kSourcePath, m_send.c_str());
        settings::SetString(settings::kDestPath, m_recv.c_str());
    }
    // A receive directory given as a link to the Backup that the run makes: refused once it leads there,
    // before anything is copied.
    SetUserOrgID("Q8");
    ASSERT_TRUE(test::MakeDir(m_data + "\\Q8"));
    ASSERT_TRUE(test::WriteFile(m_data + "\\Q8\\d.txt", "delivered"));
    const test::FolderLink intoBackupToBe(m_root / "into-backup-to-be", m_data + "\\Q8\\Backup");
    ASSERT_TRUE(intoBackupToBe.IsMade());
    settings::SetString(settings::kDestPath, (m_root / "into-backup-to-be").c_str());
    test::RecordingView linked;
    EXPECT_EQ(0, Import(linked));
    EXPECT_EQ(std::vector<std::string>{ receiveInDelivery }, linked.Errors());
    EXPECT_EQ((Names{ "Backup", "d.txt" }), ListDir(m_data + "\\Q8"));
    EXPECT_TRUE(ListDir(m_data + "\\Q8\\Backup").empty());
    settings::SetString(settings::kDestPath, m_recv.c_str());
    // Apart, they run: a send directory inside the data-file location that is no platform folder.
    settings::SetString(settings::kSourcePath, (m_data + "\\outbox").c_str());
    ASSERT_TRUE(test::MakeDir(m_data + "\\outbox"));
    test::RecordingView view;
    EXPECT_EQ(1, Export(view));
    EXPECT_TRUE(view.Errors().empty());
}

// Wine gives the name of a handle through its drive letters as it read them last, and reads them again
// only in a new second: a letter pointed at another folder just now still names what it stood for. A
// name that leads elsewhere now counts for nothing: the delivery folder, named through a letter that
// stood for the root and stands for the send directory now, is not taken for one inside the send
// directory. (Should a second begin in between, Wine names the folder rightly: the same result.)
TEST_F(Reliability, AFolderNamedThroughALetterThatStandsForAnotherFolderNowIsKnownByItsPath)
{
    const std::string delivery = MakeDelivery();
    Make(delivery, "d_1.dat", "delivered");
    test::DriveAlias drive(m_root.Path());
    ASSERT_FALSE(drive.Drive().empty());
    // Asking for a folder's name makes Wine read its drive letters for this second.
    EXPECT_FALSE(CFolderPlace(delivery).IsSameOrInside(CFolderPlace(m_send)));
    ASSERT_TRUE(drive.PointAt(m_send));
    settings::SetString(settings::kSourcePath, (drive.Drive() + "\\").c_str());
    test::RecordingView view;
    EXPECT_EQ(1, Import(view));
    EXPECT_EQ(std::vector<std::string>(), view.Errors());
    EXPECT_EQ(m_recv, Census({ delivery, m_recv }).at("d_1.dat"));
}

// The host's working directory holds the INI files and the transfer record: an import from it would take
// them as deliveries, and is refused, also when the folder is named another way.
TEST_F(Reliability, AnImportFromTheHostsWorkingDirectoryIsRefused)
{
    const test::TempDir elsewhere("rel-apart");
    ASSERT_TRUE(test::MakeDir(elsewhere / "send") && test::MakeDir(elsewhere / "recv"));
    settings::SetString(settings::kSourcePath, (elsewhere / "send").c_str());
    settings::SetString(settings::kDestPath, (elsewhere / "recv").c_str());
    // The delivery folder W9 below the data-file location is the current directory.
    ASSERT_TRUE(test::MakeDir(m_root / "W9"));
    const test::CurrentDir work(m_root / "W9");
    SetUserOrgID("W9");
    Make(m_root / "W9", "d_1.dat", "delivered");
    const std::map<std::string, std::string> before = test::FilesBelow(m_root.Path());
    for (const std::string& location : { m_root.Path(), "\\\\?\\" + m_root.Path() + "\\" }) {
        SCOPED_TRACE(location);
        settings::SetString(settings::kExportLocation, location.c_str());
        test::RecordingView view;
        EXPECT_EQ(0, Import(view));
        EXPECT_EQ(std::vector<std::string>{ "用户机构代码（UserOrgID）的交付文件夹是宿主程序的工作目录（OrgMap.ini和传送记录所在的文件夹），"
                                            "导入会把这些文件当作送来的文件取走，不能导入数据。请检查“UserOrgID”和“ExportLocation”的设置" },
                  view.Errors());
        EXPECT_EQ(before, test::FilesBelow(m_root.Path()));
    }
}

// A data-file location given in the "\\?\" form, with or without a trailing backslash, which that form
// does not forgive twice: exports reach the platform folder, and an import reaches the delivery folder.
TEST_F(HandOver, ALocationInTheLongFormIsJoinedWithOneBackslash)
{
    const std::string delivery = MakeDelivery();
    for (const std::string& location : { "\\\\?\\" + m_data, "\\\\?\\" + m_data + "\\" }) {
        SCOPED_TRACE(location);
        settings::SetString(settings::kExportLocation, location.c_str());
        ExportAndImportOneFile(delivery);
        EXPECT_EQ(Names{ "d.txt" }, ListDir(delivery + "\\Backup"));
        test::RemoveTree(delivery + "\\Backup");
        test::RemoveTree(m_data + "\\P1");
        ::DeleteFileA((m_recv + "\\d.txt").c_str());
        m_made.clear();
    }
}

// A platform folder and a receive directory of 240 characters: a name that makes a 259-character path
// travels, although its temporary path is far longer; one that makes 260 characters is refused as the
// platform refuses it, with the copy error of an export and silently by an import. An import does not
// take a file that it could not archive: it would deliver it again in every run.
TEST_F(Reliability, AFileWhoseFinalPathsFitTravelsHoweverLongItsTemporaryPath)
{
    SetUserOrgID("Q9");
    const std::string location = test::MakeDeepDir(m_root.Path(), 237);
    const std::string platform = location + "\\P1";
    ASSERT_TRUE(test::MakeDir(m_root / "r"));
    const std::string receive = test::MakeDeepDir(m_root / "r", 240);
    ASSERT_TRUE(test::MakeDir(m_data + "\\Q9"));
    ASSERT_TRUE(test::MakeDir(location + "\\Q9"));
    // Names of 18 and 19 characters: targets of 259 and 260.
    const std::string fits = "a_C1_123456789.txt";
    const std::string tooLong = "a_C1_1234567890.txt";
    for (const std::string& name : { fits, tooLong }) {
        Make(m_send, name, "export " + name);
        Make(m_data + "\\Q9", "d" + name.substr(1), "import " + name);
    }
    settings::SetString(settings::kExportLocation, location.c_str());
    test::RecordingView exportView;
    EXPECT_EQ(1, Export(exportView));
    EXPECT_EQ(std::vector<std::string>{ "\xCE\xC4\xBC\xFE\xBF\xBD\xB1\xB4\xB3\xF6\xB4\xED\xA3\xBA" + m_send + "\\"
                                        + tooLong + " ==> " + platform + "\\" + tooLong },
              exportView.Errors());
    EXPECT_EQ(Names{ fits }, ListDir(platform)) << "no temporary file is left";

    settings::SetString(settings::kExportLocation, m_data.c_str());
    settings::SetString(settings::kDestPath, receive.c_str());
    test::RecordingView importView;
    EXPECT_EQ(1, Import(importView));
    EXPECT_TRUE(importView.Errors().empty());
    EXPECT_EQ(Names{ "d" + fits.substr(1) }, ListDir(receive));
    auto where = Census({ platform, receive, m_send, m_data + "\\Q9" });
    EXPECT_EQ(m_send, where[tooLong]);
    EXPECT_EQ(m_data + "\\Q9", where["d" + tooLong.substr(1)]);

    // A delivery folder of 240 characters: Backup\name would take 266.
    settings::SetString(settings::kExportLocation, location.c_str());
    settings::SetString(settings::kDestPath, m_recv.c_str());
    ASSERT_TRUE(test::MakeDir(m_recv));
    Make(location + "\\Q9", "e_123456789012.txt", "not archivable");
    test::RecordingView archiveView;
    EXPECT_EQ(1, Import(archiveView));
    EXPECT_TRUE(archiveView.Errors().empty());
    EXPECT_TRUE(ListDir(m_recv).empty());
    EXPECT_EQ(location + "\\Q9", Census({ location + "\\Q9", m_recv, receive, platform, m_send, m_data + "\\Q9" })["e_123456789012.txt"]);
}

} // namespace
} // namespace reliability

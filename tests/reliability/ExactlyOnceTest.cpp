// Files handed over exactly once, each by its own name: a name that the narrow file functions cannot
// give back exactly stays where it is, and a delivery is handed over by a claim that only one run wins.
#include "support/Reliability.h"
#include "engine/Claim.h"
#include "support/LinuxSide.h"

#include <memory>

namespace reliability {
namespace {

typedef std::map<std::wstring, std::string> WideFiles;

std::wstring Wide(const std::string& text)
{
    std::vector<wchar_t> wide(text.size() + 1);
    const int n = ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), static_cast<int>(wide.size()));
    return std::wstring(wide.data(), n > 0 ? n - 1 : 0);
}

// The files of dir by their real names, with their contents.
WideFiles FilesIn(const std::string& dir)
{
    WideFiles files;
    WIN32_FIND_DATAW data;
    const std::wstring folder = L"\\\\?\\" + Wide(dir) + L"\\";
    CFindHandle find(::FindFirstFileW((folder + L"*").c_str(), &data));
    if (!find.IsValid())
        return files;
    do {
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        CFileHandle file(::CreateFileW((folder + data.cFileName).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                       OPEN_EXISTING, 0, nullptr));
        char buffer[256];
        DWORD read = 0;
        ::ReadFile(file, buffer, sizeof(buffer), &read, nullptr);
        files[data.cFileName] = std::string(buffer, read);
    } while (::FindNextFileW(find, &data));
    return files;
}

class ExactlyOnce : public Reliability {
protected:
    std::string RecordPath() const { return m_root / "传送记录.csv"; }

    // A file under its real name, made on the Linux side: the platform would take some of these names
    // for another (a name ending in a dot, a second name that differs only in case, a device name).
    static void MakeOnLinux(const std::string& dir, const std::wstring& name, const std::string& content)
    {
        char utf8[MAX_PATH * 3];
        ::WideCharToMultiByte(CP_UTF8, 0, name.c_str(), -1, utf8, sizeof(utf8), nullptr, nullptr);
        ASSERT_TRUE(test::RunUnix("printf %s " + test::ShellQuoted(content) + " > "
                                  + test::ShellQuoted(test::UnixPath(dir) + "/" + utf8)));
    }

    // A run of the engine with its record; for each file line, the file's name, its result and what was
    // said of it (and in *pSizes its size column).
    std::map<std::string, std::string> RecordedRun(RunKind kind, test::RecordingView& view,
                                                   std::map<std::string, std::string>* pSizes = nullptr)
    {
        ::DeleteFileA(RecordPath().c_str());
        {
            CTransferRecord record(RecordPath(), kind, true);
            std::unique_ptr<CTransferEngine> engine;
            if (kind == RunKind::kExport)
                engine.reset(new CExportEngine(&view, Input(), 0, 0));
            else
                engine.reset(new CImportEngine(&view, Input(), 0));
            record.RunStarted(engine->Input());
            engine->SetRecord(&record);
            EXPECT_EQ(1, engine->Run());
            record.RunEnded(CTransferRecord::End::kDone);
        }
        std::map<std::string, std::string> lines;
        const std::string text = ReadFile(RecordPath());
        for (size_t start = 0, end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
            const std::vector<std::string> f = test::SplitCsvLine(text.substr(start, end - start));
            const std::string& source = f[CTransferRecord::kSource];
            const std::string name = source.substr(source.rfind('\\') + 1);
            if (f[CTransferRecord::kSize].empty() || f[CTransferRecord::kSize] == "大小（字节）")
                continue;
            lines[name] = f[CTransferRecord::kResult] + "：" + f[CTransferRecord::kDetail];
            if (pSizes != nullptr)
                (*pSizes)[name] = f[CTransferRecord::kSize];
        }
        return lines;
    }
};

// Names outside GBK, which the narrow functions list under a look-alike (another client code, or the
// name of a neighbour); names ending in a dot or a blank, device names and two names that differ only in
// case, which open another file or none: each stays where it is, says why in the record and brings no
// box (a temporary copy among them is passed over without a line); the neighbour goes once, as itself.
TEST_F(ExactlyOnce, AFileIsHandedOverOnlyByTheNameItWasListedUnder)
{
    const std::string delivery = MakeDelivery();
    const std::string notGbk = "未传送：文件名含有GBK以外的字符（显示为“?”），插件无法按这个名字打开它";
    const std::string trailing = "未传送：文件名以点或空格结尾，Windows按这个名字会打开另一个文件或者找不到它";
    const std::string device = "未传送：文件名是CON、NUL、COM1这样的设备名，Windows按这个名字打开的是设备，不是这个文件";
    const std::string twin = "未传送：同一个文件夹里还有一个只差大小写的同名文件，Windows按这两个名字打开的是同一个文件";
    const struct {
        std::wstring name;
        std::string shown; // in the record
        std::string recorded;
    } stay[] = {
        { L"ORD_C1_\u00e2.txt", "ORD_C1_?.txt", notGbk },
        { L"ORD_C\u00b9_x.txt", "ORD_C?_x.txt", notGbk },
        { L"x_C1_dot.txt.", "x_C1_dot.txt.", trailing },
        { L"x_C1_blank.txt ", "x_C1_blank.txt ", trailing },
        { L"CON.txt", "CON.txt", device },
        { L"t_C1_twin.txt", "t_C1_twin.txt", twin },
        { L"T_C1_TWIN.txt", "T_C1_TWIN.txt", twin },
        { L".~qrvlnk-1-2.part", ".~qrvlnk-1-2.part", "no line" },
        { L".~QRVLNK-1-2.PART", ".~QRVLNK-1-2.PART", twin },
    };
    for (const std::string& dir : { m_send, delivery }) {
        for (const auto& s : stay)
            MakeOnLinux(dir, s.name, "kept");
        ASSERT_TRUE(test::WriteFile(dir + "\\ORD_C1_a.txt", "the neighbour"));
    }
    const WideFiles kept = FilesIn(m_send);
    ASSERT_EQ(10u, kept.size());
    for (RunKind kind : { RunKind::kExport, RunKind::kImport }) {
        const bool exporting = kind == RunKind::kExport;
        SCOPED_TRACE(exporting ? "export" : "import");
        test::RecordingView view;
        const std::map<std::string, std::string> recorded = RecordedRun(kind, view);
        EXPECT_TRUE(view.Errors().empty());
        for (const auto& s : stay) {
            TRACE_CASE(stay, s);
            EXPECT_EQ(s.recorded, recorded.count(s.shown) ? recorded.at(s.shown) : "no line");
        }
        WideFiles left = kept;
        left.erase(L"ORD_C1_a.txt");
        EXPECT_EQ(left, FilesIn(exporting ? m_send : delivery));
        EXPECT_EQ((WideFiles{ { L"ORD_C1_a.txt", "the neighbour" } }), FilesIn(exporting ? m_data + "\\P1" : m_recv));
    }
    EXPECT_EQ((WideFiles{ { L"ORD_C1_a.txt", "the neighbour" } }), FilesIn(delivery + "\\Backup"));
}

// A delivery is handed over once, by a claim, whatever the receive side holds, whatever an earlier run
// left behind, whoever else takes it or still writes it. Each row: what is there when the run starts
// (besides the delivery a.txt), what happens when the run comes to a.txt, what the record says of it
// and where its bytes end up.
TEST_F(ExactlyOnce, ADeliveryIsHandedOverOnceByItsClaim)
{
    const std::string delivery = MakeDelivery();
    const std::string backup = delivery + "\\Backup";
    const std::string taken = "未传送：另一个运行已经取走了它（或者别的程序把它移走或删除了），本次不传送";
    const std::string notClaimed =
        "失败：无法移到Backup（导入先把送来的文件移进Backup，再放到接收目录），没有传送。文件留在交付文件夹，下次再传送";
    // A run that ends after its claim: the receive side holds the target, so the copy waits beside it.
    const auto leaveAClaim = [&] {
        Make(m_recv, "a.txt", "older");
        {
            CFileHandle reader(::CreateFileA((m_recv + "\\a.txt").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                             OPEN_EXISTING, 0, nullptr));
            test::RecordingView view;
            EXPECT_EQ("失败：已取走并复制，但是无法放到接收目录；文件在Backup里等着，下次导入会完成",
                      RecordedRun(RunKind::kImport, view)["a.txt"]);
        }
        ASSERT_TRUE(::DeleteFileA((m_recv + "\\a.txt").c_str()));
        ASSERT_EQ(Names{ "Backup" }, ListDir(delivery));
    };
    std::vector<std::unique_ptr<CFileHandle>> holders;
    const auto holdWith = [&](DWORD access, DWORD share) {
        return [&, access, share] {
            holders.emplace_back(new CFileHandle(::CreateFileA((delivery + "\\a.txt").c_str(), access, share, nullptr,
                                                               OPEN_EXISTING, 0, nullptr)));
            ASSERT_TRUE(holders.back()->IsValid());
        };
    };
    std::unique_ptr<CClaimLock> otherRun;
    const std::string kOtherMark = "0badf00d-0000000000000001";
    const std::string otherClaims = ".~qrvlnk-claims-" + kOtherMark;
    const struct {
        const char* what;
        std::function<void()> before;
        std::function<void()> atStatus;
        std::string recorded;
        const char* received; // recv\a.txt afterwards; null for none
        Names archived;
        Names left; // in the delivery folder
        Names alsoReceived; // in the receive directory besides a.txt
        std::string otherClaim; // what is recorded of b.txt, a claim of another receive directory
    } cases[] = {
        { "an unchanged re-delivery is handed over like any other",
          [&] {
              ASSERT_TRUE(test::MakeDir(backup));
              Make(m_recv, "a.txt", "a");
              Make(backup, "a.txt", "a");
          }, nullptr,
          "已传送：已复制，备份为 Backup\\a.txt.1", "a", { "a.txt", "a.txt.1" }, { "Backup" } },
        { "a claim left with its copy beside the target is finished", leaveAClaim, nullptr,
          "已传送：上次导入没有做完：现在已放到接收目录，备份为 Backup\\a.txt", "a", { "a.txt" }, { "Backup" } },
        { "a claim left handed over, its copy consumed since, is only archived", [&] {
              leaveAClaim();
              for (const std::string& name : ListDir(m_recv))
                  ASSERT_TRUE(::MoveFileA((m_recv + "\\" + name).c_str(), (m_recv + "\\a.txt").c_str()));
              ASSERT_TRUE(::DeleteFileA((m_recv + "\\a.txt").c_str()));
          }, nullptr, "已传送：上次导入已经把它放到接收目录，只是没有备份：现在备份为 Backup\\a.txt", nullptr, { "a.txt" },
          { "Backup" } },
        { "another run took it after the listing", nullptr,
          [&] { ASSERT_TRUE(::MoveFileA((delivery + "\\a.txt").c_str(), (backup + "\\other").c_str())); }, taken, nullptr,
          { "other" }, { "Backup" } },
        { "another import into the same receive directory", [&] {
              ASSERT_TRUE(test::MakeDir(backup));
              otherRun.reset(new CClaimLock);
              ASSERT_EQ(0u, otherRun->Take(ClaimFolderOf(backup, m_recv), 0));
          }, nullptr, taken, nullptr, {}, { "Backup", "a.txt" } },
        { "a writer still holds it", nullptr, holdWith(GENERIC_WRITE, FILE_SHARE_READ),
          "未传送：送来的文件还在被别的程序写入，下次导入再传送", nullptr, {}, { "Backup", "a.txt" } },
        { "a reader does not let it be moved", nullptr, holdWith(GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE),
          notClaimed, nullptr, {}, { "Backup", "a.txt" } },
        { "it turned into a folder", nullptr, [&] {
              ASSERT_TRUE(::DeleteFileA((delivery + "\\a.txt").c_str()) && test::MakeDir(delivery + "\\a.txt"));
          }, "未传送：列出之后它变成了一个文件夹，插件不进入文件夹", nullptr, {}, { "Backup", "a.txt" } },
        { "a file named Backup", [&] { Make(delivery, "Backup", "not a folder"); }, nullptr, notClaimed, nullptr, {},
          { "Backup", "a.txt" } },
        { "a copy of its own that no claim owns goes; another delivery folder's stays", [&] {
              ASSERT_TRUE(test::MakeDir(backup));
              Make(m_recv, ClaimCopyName(ClaimCopyMark(backup), "gone.txt"), "lost the claim");
              Make(m_recv, ClaimCopyName(kOtherMark, "gone.txt"), "not claimed yet");
          }, nullptr, "已传送：已复制，备份为 Backup\\a.txt", "a", { "a.txt" }, { "Backup" },
          { ClaimCopyName(kOtherMark, "gone.txt") } },
        { "a claim of another receive directory is named and left", [&] {
              ASSERT_TRUE(test::MakeDir(backup) && test::MakeDir(backup + "\\" + otherClaims));
              Make(backup + "\\" + otherClaims, "b.txt", "b");
          }, nullptr, "已传送：已复制，备份为 Backup\\a.txt", "a", { otherClaims, "a.txt" }, { "Backup" }, {},
          "未传送：以前导入到另一个接收目录时没有做完：文件已经从交付文件夹取走，在Backup里等着导入到那个接收目录时完成，"
          "导入到现在的接收目录不会处理它。请把接收目录改回当时的那个，导入一次" },
    };
    for (const auto& c : cases) {
        TRACE_CASE(cases, c);
        test::RemoveTree(delivery);
        test::RemoveTree(m_recv);
        ASSERT_TRUE(test::MakeDir(delivery) && test::MakeDir(m_recv));
        Make(delivery, "a.txt", "a");
        if (c.before)
            c.before();
        test::MeddlingView view;
        view.m_atStatus["a.txt"] = c.atStatus;
        std::map<std::string, std::string> lines = RecordedRun(RunKind::kImport, view);
        EXPECT_EQ(c.recorded, lines["a.txt"]);
        EXPECT_EQ(c.otherClaim, lines["b.txt"]);
        holders.clear();
        otherRun.reset();
        EXPECT_TRUE(view.Errors().empty());
        Names received = c.alsoReceived;
        if (c.received != nullptr)
            received.push_back("a.txt");
        EXPECT_EQ(received, ListDir(m_recv)) << "nothing else is left";
        if (c.received != nullptr) {
            EXPECT_EQ(c.received, ReadFile(m_recv + "\\a.txt"));
        }
        EXPECT_EQ(c.left, ListDir(delivery));
        const DWORD attributes = ::GetFileAttributesA(backup.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            EXPECT_EQ(c.archived, ListDir(backup)) << "no claim is left";
        }
    }
}

// An export deletes a source only while it holds what the copy read, and records the size it copied.
TEST_F(ExactlyOnce, AnExportDeletesWhatItCopiedAndRecordsItsSize)
{
    const std::string source = m_send + "\\a_C1_x.txt";
    const struct {
        const char* what;
        std::function<void()> atStatus;
        std::string recorded;
        const char* size;
        const char* exported; // null for none
    } cases[] = {
        { "rewritten after the listing", [&] { ASSERT_TRUE(test::WriteFile(source, "longer now")); },
          "已传送：已复制，已删除源文件", "10", "longer now" },
        { "taken by another run", [&] { ASSERT_TRUE(::DeleteFileA(source.c_str())); },
          "未传送：另一个运行已经取走了它（或者别的程序把它移走或删除了），本次不传送", "1", nullptr },
    };
    for (const auto& c : cases) {
        TRACE_CASE(cases, c);
        test::RemoveTree(m_data + "\\P1");
        Make(m_send, "a_C1_x.txt", "x");
        test::MeddlingView view;
        view.m_atStatus["a_C1_x.txt"] = c.atStatus;
        std::map<std::string, std::string> sizes;
        EXPECT_EQ(c.recorded, RecordedRun(RunKind::kExport, view, &sizes)["a_C1_x.txt"]);
        EXPECT_EQ(c.size, sizes["a_C1_x.txt"]);
        EXPECT_FALSE(Exists(source));
        EXPECT_EQ(c.exported != nullptr, Exists(m_data + "\\P1\\a_C1_x.txt"));
        if (c.exported != nullptr) {
            EXPECT_EQ(c.exported, ReadFile(m_data + "\\P1\\a_C1_x.txt"));
        }
    }
}

} // namespace
} // namespace reliability

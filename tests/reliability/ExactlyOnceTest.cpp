// Files handed over exactly once, each by its own name: a name that the narrow file functions cannot
// give back exactly stays where it is, and a delivery is copied only when it can also be archived.
#include "support/Reliability.h"
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
    // said of it.
    std::map<std::string, std::string> RecordedRun(RunKind kind, test::RecordingView& view)
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
            const std::vector<std::string> f = CTransferRecord::ParseLine(text.substr(start, end - start));
            const std::string& source = f[CTransferRecord::kSource];
            if (!f[CTransferRecord::kSize].empty() && f[CTransferRecord::kSize] != "大小（字节）")
                lines[source.substr(source.rfind('\\') + 1)] = f[CTransferRecord::kResult] + "：" + f[CTransferRecord::kDetail];
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

// A delivery that could not be archived after its copy would be copied again by every run, over what
// the receive side has made of it since: nothing is copied that cannot be archived, a file named
// Backup is no delivery, and a copy whose archive failed once is only archived by the next run.
TEST_F(ExactlyOnce, ADeliveryIsCopiedAndArchivedOrNeither)
{
    const std::string delivery = MakeDelivery();
    const std::string notArchived = "失败：无法备份到Backup，所以没有复制（导入只复制能备份的文件）。文件留在交付文件夹，下次再传送";

    // A reader that does not let the file be moved: it stays, and nothing reaches the receive side.
    Make(delivery, "held.txt", "held");
    {
        CFileHandle reader(::CreateFileA((delivery + "\\held.txt").c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                         nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(reader.IsValid());
        test::RecordingView view;
        EXPECT_EQ(notArchived, RecordedRun(RunKind::kImport, view)["held.txt"]);
        EXPECT_TRUE(ListDir(m_recv).empty());
    }
    test::RecordingView free;
    EXPECT_EQ("已传送：已复制，备份为 Backup\\held.txt", RecordedRun(RunKind::kImport, free)["held.txt"]);

    // The receive side holds the bytes of a delivery already (its archive failed once): only archived,
    // and the receive side's file is not written again.
    Make(delivery, "copied.txt", "copied before");
    ASSERT_TRUE(test::WriteFile(m_recv + "\\copied.txt", "copied before"));
    const FILETIME older = { 0x12345678, 0x01c00000 };
    {
        CFileHandle file(::CreateFileA((m_recv + "\\copied.txt").c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(::SetFileTime(file, nullptr, nullptr, &older));
    }
    test::RecordingView again;
    EXPECT_EQ("已传送：接收目录里已经有内容相同的文件（以前复制过，当时没能备份），没有再复制，备份为 Backup\\copied.txt",
              RecordedRun(RunKind::kImport, again)["copied.txt"]);
    WIN32_FILE_ATTRIBUTE_DATA data;
    ASSERT_TRUE(::GetFileAttributesExA((m_recv + "\\copied.txt").c_str(), GetFileExInfoStandard, &data));
    EXPECT_EQ(0, ::CompareFileTime(&older, &data.ftLastWriteTime)) << "written again";

    // A file named Backup where the archive folder belongs: it is no delivery, and nothing is copied.
    test::RemoveTree(delivery + "\\Backup");
    Make(delivery, "Backup", "a file, not a folder");
    Make(delivery, "d.txt", "delivered");
    test::RecordingView blocked;
    const std::map<std::string, std::string> recorded = RecordedRun(RunKind::kImport, blocked);
    EXPECT_EQ("未传送：名为Backup的文件占着备份文件夹的位置，它不是送来的文件，送来的文件也都无法备份", recorded.at("Backup"));
    EXPECT_EQ(notArchived, recorded.at("d.txt"));
    EXPECT_EQ((Names{ "Backup", "d.txt" }), ListDir(delivery));
    EXPECT_EQ((Names{ "copied.txt", "held.txt" }), ListDir(m_recv));
}

} // namespace
} // namespace reliability

// The transfer record as real runs write it: workers with their engines run on a throwaway workspace
// whose current directory holds the record.
#include "support/RecordingView.h"
#include "support/Reliability.h"
#include "run/WorkThread.h"
#include "support/LinuxSide.h"
#include "support/GuiScript.h"
#include "support/Programs.h"

#include <gtest/gtest.h>
#include <atomic>
#include <set>

namespace reliability {
namespace {

typedef CTransferRecord Record;

// A view whose error boxes keep the record's last line as they come up, and are answered as a test asks.
class BoxView : public test::RecordingView {
public:
    explicit BoxView(const std::string& record) : m_record(record) {}
    BoxAnswer ShowError(const char* text) override
    {
        const std::string record = ReadFile(m_record);
        const size_t end = record.rfind("\r\n");
        const size_t start = end == std::string::npos ? end : record.rfind("\r\n", end - 1);
        m_lastLineAtBox.push_back(start == std::string::npos ? "" : record.substr(start + 2, end - start - 2));
        return RecordingView::ShowError(text);
    }
    std::vector<std::string> m_lastLineAtBox;

private:
    std::string m_record;
};

class TransferRecord : public Reliability {
protected:
    static std::string ComputerAndUser()
    {
        char computer[MAX_COMPUTERNAME_LENGTH + 1], user[257];
        DWORD computerSize = sizeof(computer), userSize = sizeof(user);
        EXPECT_TRUE(::GetComputerNameA(computer, &computerSize) && ::GetUserNameA(user, &userSize));
        return std::string(computer) + "\\" + user;
    }
    std::string RecordPath() const { return m_root / "传送记录.csv"; }

    // A whole run through the worker, as a run dialog starts it (pauses 0).
    void RunWorker(RunMode mode, test::RecordingView& view)
    {
        CWorkThread* worker = new CWorkThread(&view, mode, UserOrgID{ m_strUserOrgID, false });
        worker->m_dwPauseMs = 0;
        HANDLE thread = NULL;
        ASSERT_TRUE(worker->CreateThread(&thread));
        ASSERT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(thread, 60000));
        ::CloseHandle(thread);
    }
    // The lines of a record file, each split into its fields.
    static std::vector<std::vector<std::string>> Lines(const std::string& path)
    {
        std::vector<std::vector<std::string>> lines;
        const std::string text = ReadFile(path);
        for (size_t start = 0, end; start < text.size(); start = end + 2) {
            end = text.find("\r\n", start);
            EXPECT_NE(std::string::npos, end) << "a line without its end";
            if (end == std::string::npos)
                break;
            lines.push_back(test::SplitCsvLine(text.substr(start, end - start)));
        }
        return lines;
    }
};

// One record for runs that meet every outcome: files copied, deleted, archived under a copy number,
// left for each reason, vanished, changed, failed with and without a box; runs refused before they
// start; a run stopped by its host.
TEST_F(TransferRecord, EveryOutcomeOfARunHasItsLine)
{
    WriteOrgMap("[OrgMapping]\r\nClientID0000=C1\r\nQRVID0000=P1\r\nClientID0001=C3\r\nQRVID0001=..\\x\r\n");
    for (const char* name : { "n.txt", "a_C9_1.txt", "a_C3_1.txt", "a_C1_gone.txt", "a_C1_changed.txt",
                              "a_C1_held.txt", "a_C1_ok.txt", "a_C1_dir.txt" })
        Make(m_send, name, name);
    ASSERT_TRUE(test::MakeDir(m_data + "\\P1") && test::MakeDir(m_data + "\\P1\\a_C1_dir.txt"));
    test::MeddlingView exportView;
    exportView.m_atStatus["a_C1_gone.txt"] = [&] { ::DeleteFileA((m_send + "\\a_C1_gone.txt").c_str()); };
    exportView.m_atStatus["a_C1_changed.txt"] = [&] { test::WriteFile(m_send + "\\a_C1_changed.txt", "longer now"); };
    {
        // A reader that lets others read but not delete: the copy works, the delete does not.
        CFileHandle reader(::CreateFileA((m_send + "\\a_C1_held.txt").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                         OPEN_EXISTING, 0, nullptr));
        RunWorker(kModeAutoExport, exportView);
    }

    SetUserOrgID("Q9");
    const std::string delivery = m_data + "\\Q9";
    for (const std::string& dir : { delivery, delivery + "\\Backup", m_recv, m_recv + "\\d3.txt" })
        ASSERT_TRUE(test::MakeDir(dir));
    for (const char* name : { "d1.txt", "d2.txt", "d3.txt" })
        Make(delivery, name, name);
    Make(delivery + "\\Backup", "d1.txt", "archived before");
    test::RecordingView importView;
    {
        CFileHandle reader(::CreateFileA((delivery + "\\d2.txt").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                         OPEN_EXISTING, 0, nullptr));
        RunWorker(kModeImport, importView);
    }

    // Refused: folders that overlap (the run window gone, so the box cannot show), an escaping ID.
    settings::SetString(settings::kSourcePath, (m_data + "\\P1").c_str());
    test::RecordingView overlapView;
    overlapView.m_boxAnswer = BoxAnswer::kNotShown;
    RunWorker(kModeExport, overlapView);
    settings::SetString(settings::kSourcePath, m_send.c_str());
    SetUserOrgID("..\\x");
    test::RecordingView escapingView;
    RunWorker(kModeAutoImport, escapingView);
    // Stopped by its host before its first file.
    test::RecordingView stoppedView;
    stoppedView.m_bStop = true;
    RunWorker(kModeAutoExport, stoppedView);

    const std::string sharing = "系统错误 32";
    const struct {
        const char* number;
        const char* result;
        const char* file; // the source's name, for the lines of files
        std::string detail;
        std::string error; // the start of the error column
        const char* box;
    } expected[] = {
        { "1", "开始", "", "传送后删除源文件：是；用户机构代码（UserOrgID）为“”", "", "" },
        { "1", "未传送", "n.txt", "文件名不是“前缀_客户代码_其余”的形式，没有客户代码", "", "" },
        { "1", "未传送", "a_C9_1.txt", "客户代码“C9”在代码对应中没有", "", "" },
        { "1", "未传送", "a_C3_1.txt", "客户代码“C3”的代码对应被跳过：网商代码太长，或者不是一个文件夹名", "", "" },
        { "1", "未传送", "a_C1_gone.txt", "另一个运行已经取走了它（或者别的程序把它移走或删除了），本次不传送", "", "" },
        { "1", "已传送", "a_C1_changed.txt", "已复制，已删除源文件", "", "" },
        { "1", "失败", "a_C1_held.txt", "已复制，但是源文件无法删除，下次导出会再传送它", sharing, "" },
        { "1", "已传送", "a_C1_ok.txt", "已复制，已删除源文件", "", "" },
        { "1", "失败", "a_C1_dir.txt", "文件拷贝出错：目标位置是一个文件夹。源文件留在原处，下次再传送", "", "正在显示" },
        { "1", "结束", "", "传送2个，未传送4个，失败2个", "", "" },
        { "2", "开始", "", "用户机构代码（UserOrgID）为“Q9”", "", "" },
        { "2", "已传送", "d1.txt", "已复制，备份为 Backup\\d1.txt.1", "", "" },
        { "2", "失败", "d2.txt", "无法移到Backup（导入先把送来的文件移进Backup，再放到接收目录），没有传送。文件留在交付文件夹，下次再传送", sharing, "" },
        { "2", "失败", "d3.txt", "文件拷贝出错：目标位置是一个文件夹。源文件留在原处，下次再传送", "", "" },
        { "2", "结束", "", "传送1个，未传送0个，失败2个", "", "" },
        { "3", "开始", "", "传送后删除源文件：是；用户机构代码（UserOrgID）为“Q9”", "", "" },
        { "3", "拒绝", "",
          "源数据发送目录（SourcePath）是数据文件存放路径（ExportLocation）下网商代码“P1”的文件夹，或者在这个文件夹里面，导出的文件会覆盖源文件或者被再次传送，不能导出数据。请检查“SourcePath”和“ExportLocation”的设置",
          "", "未能显示（运行窗口已经关闭）" },
        { "4", "开始", "", "用户机构代码（UserOrgID）为“..\\x”", "", "" },
        { "4", "拒绝", "",
          "用户机构代码（UserOrgID）不是数据文件存放路径下的一个文件夹名，不能导入数据。请检查“UserOrgID”的设置", "",
          "正在显示" },
        { "5", "开始", "", "传送后删除源文件：是；用户机构代码（UserOrgID）为“..\\x”", "", "" },
        { "5", "中止", "", "宿主程序退出或者关闭了窗口，运行在文件之间停下，没有处理的文件留待下次；传送0个，未传送0个，失败0个",
          "", "" },
    };
    const char* const runs[] = { "", "导出（自动）", "导入（手动）", "导出（手动）", "导入（自动）", "导出（自动）" };
    // Lines of one run come in the order the folder lists its files: compared as a set.
    std::set<std::vector<std::string>> want, got;
    for (const auto& e : expected)
        want.insert({ e.number, runs[std::stoi(e.number)], e.result, e.file, e.detail, e.error, e.box });
    const std::vector<std::vector<std::string>> lines = Lines(RecordPath());
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ((std::vector<std::string>{ "时间", "运行编号", "运行", "源文件", "目标文件", "大小（字节）", "结果", "说明",
                                         "系统错误", "提示框", "计算机\\用户" }),
              lines[0]);
    for (size_t i = 1; i < lines.size(); ++i) {
        const std::vector<std::string>& f = lines[i];
        ASSERT_EQ(static_cast<size_t>(Record::kColumns), f.size()) << i;
        EXPECT_EQ(ComputerAndUser(), f[Record::kWho]) << i;
        const std::string& source = f[Record::kSource];
        // The error's number, without the words, which depend on the system's language.
        const std::string& error = f[Record::kError];
        got.insert({ f[Record::kNumber], f[Record::kRun], f[Record::kResult],
                     f[Record::kSize].empty() ? "" : source.substr(source.rfind('\\') + 1), f[Record::kDetail],
                     error.substr(0, error.find("：")), f[Record::kBox] });
    }
    EXPECT_EQ(want, got);
}

// The line of a failure is in the record before its box comes up; the end line tells a box that closed
// by itself.
TEST_F(TransferRecord, AFailureIsRecordedBeforeItsBox)
{
    WriteOrgMap("[OrgMapping]\r\nClientID0000=C1\r\nQRVID0000=P1\r\n");
    ASSERT_TRUE(test::MakeDir(m_data + "\\P1") && test::MakeDir(m_data + "\\P1\\a_C1_dir.txt"));
    Make(m_send, "a_C1_dir.txt", "x");
    const struct {
        BoxAnswer answer;
        const char* end; // the detail of the end line
    } cases[] = {
        { BoxAnswer::kAnswered, "传送0个，未传送0个，失败1个" },
        { BoxAnswer::kClosedByItself, "传送0个，未传送0个，失败1个；1个“错误信息”提示框没有人点，按AutoErrorBoxSeconds自行关闭了" },
    };
    for (const auto& c : cases) {
        TRACE_CASE(cases, c);
        BoxView view(RecordPath());
        view.m_boxAnswer = c.answer;
        RunWorker(kModeAutoExport, view);
        ASSERT_EQ(1u, view.m_lastLineAtBox.size());
        const std::vector<std::string> atBox = test::SplitCsvLine(view.m_lastLineAtBox[0]);
        ASSERT_EQ(static_cast<size_t>(Record::kColumns), atBox.size());
        EXPECT_EQ("失败", atBox[Record::kResult]);
        EXPECT_EQ("正在显示", atBox[Record::kBox]);
        EXPECT_EQ(c.end, Lines(RecordPath()).back()[Record::kDetail]);
    }
}

// A run stopped while it waits for another run of the process to end has its start line before its
// stop line.
TEST_F(TransferRecord, ARunStoppedBeforeItsTurnStartedInTheRecord)
{
    Make(m_send, "n.txt", "n");
    CHandle release(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
    std::atomic<bool> holding(false);
    test::MeddlingView first;
    first.m_atStatus["n.txt"] = [&] {
        holding = true;
        ::WaitForSingleObject(release, 60000);
    };
    CWorkThread* worker = new CWorkThread(&first, kModeAutoExport, UserOrgID{ m_strUserOrgID, false });
    worker->m_dwPauseMs = 0;
    HANDLE thread = NULL;
    ASSERT_TRUE(worker->CreateThread(&thread));
    ASSERT_TRUE(test::PumpUntil([&] { return holding.load(); }, 10000));
    test::RecordingView stopped;
    stopped.m_bStop = true;
    RunWorker(kModeAutoImport, stopped);
    ::SetEvent(release);
    ASSERT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(thread, 60000));
    ::CloseHandle(thread);
    std::vector<std::string> results;
    for (const auto& line : Lines(RecordPath()))
        if (line[Record::kRun] == "导入（自动）")
            results.push_back(line[Record::kResult]);
    EXPECT_EQ((std::vector<std::string>{ "开始", "中止" }), results);
}

// A record that has reached its size moves aside when the next run starts, and the older ones move on:
// three are kept, and nothing but the oldest is ever lost, also while an older one is held open (its
// rotation is finished by a later run). A smaller one is appended to. A full record that another
// program holds open, so that it cannot move, is left as it is with every older one, and the lines
// wait beside it; a rotation that was cut short (the record set aside as .0) is finished first.
TEST_F(TransferRecord, AFullRecordMovesAsideAndThreeOlderOnesStay)
{
    const std::string full(static_cast<size_t>(Record::kRotateBytes), 'x');
    const auto lay = [&](const char* aside) {
        ASSERT_TRUE(test::WriteFile(RecordPath(), full));
        for (int n = 1; n <= Record::kOlderFiles; ++n)
            ASSERT_TRUE(test::WriteFile(Record::OlderFile(RecordPath(), n), "older " + std::to_string(n)));
        ::DeleteFileA(Record::OlderFile(RecordPath(), 0).c_str());
        ::DeleteFileA(Record::WaitingFile(RecordPath()).c_str());
        if (aside != nullptr) {
            ASSERT_TRUE(test::WriteFile(Record::OlderFile(RecordPath(), 0), aside));
        }
    };
    const auto exports = [this](int runs) {
        for (int run = 1; run <= runs; ++run) {
            test::RecordingView view;
            RunWorker(kModeAutoExport, view);
        }
    };
    // Held by a program that lets others read and write it (or .n), but not move or delete it.
    const auto hold = [](const std::string& path) {
        return CFileHandle(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                         OPEN_EXISTING, 0, nullptr));
    };
    lay(nullptr);
    {
        CFileHandle holder = hold(RecordPath());
        ASSERT_TRUE(holder.IsValid());
        exports(2);
    }
    EXPECT_TRUE(full == ReadFile(RecordPath())) << "a held record gets no lines";
    EXPECT_EQ(5u, Lines(Record::WaitingFile(RecordPath())).size()) << "the lines wait beside it";
    for (int n = 1; n <= Record::kOlderFiles; ++n)
        EXPECT_EQ("older " + std::to_string(n), ReadFile(Record::OlderFile(RecordPath(), n)));

    const struct {
        const char* aside;
        int held; // the older record held open during two runs, then a third run: 0 none
        std::string older[Record::kOlderFiles]; // what .1, .2 and .3 hold after the runs
    } cases[] = { { nullptr, 0, { full, "older 1", "older 2" } },
                  { "set aside", 0, { full, "set aside", "older 1" } },
                  { nullptr, 1, { full, "older 1", "older 2" } },
                  { nullptr, 2, { full, "older 1", "older 2" } } };
    for (const auto& c : cases) {
        TRACE_CASE(cases, c);
        lay(c.aside);
        if (c.held != 0) {
            CFileHandle holder = hold(Record::OlderFile(RecordPath(), c.held));
            ASSERT_TRUE(holder.IsValid());
            exports(2);
        }
        exports(c.held != 0 ? 1 : 2);
        for (int n = 1; n <= Record::kOlderFiles; ++n) {
            const std::string got = ReadFile(Record::OlderFile(RecordPath(), n));
            EXPECT_TRUE(c.older[n - 1] == got) << "." << n << " holds " << got.size() << " bytes from \"" << got.substr(0, 9)
                                              << "\", not " << c.older[n - 1].size() << " from \"" << c.older[n - 1].substr(0, 9) << "\"";
        }
        EXPECT_FALSE(Exists(Record::OlderFile(RecordPath(), 0)));
        EXPECT_FALSE(Exists(Record::OlderFile(RecordPath(), 4)));
        EXPECT_EQ(c.held != 0 ? 7u : 5u, Lines(RecordPath()).size()) << "a header, then the start and the end of each run";
    }
}

// No line is lost or glued to another: a record whose last line has no line end (a power cut, an
// editor) gets one before the next line, and the lines of runs that could not write a held record are
// added to it by the next run that can.
TEST_F(TransferRecord, NoLineIsLostOrGluedToAnother)
{
    const std::string header = "时间,运行编号,运行,源文件,目标文件,大小（字节）,结果,说明,系统错误,提示框,计算机\\用户\r\n";
    const struct {
        const char* what;
        std::string before; // the record before the runs
        bool held;          // held without write sharing during the first run
        size_t lines;       // of the record after two runs
    } cases[] = {
        { "a torn last line", header + "2026-12-08 08:00:00,1,导出（自动）,D:\\Send,D:\\Da", false, 6 },
        { "an editor's last line", header + "2026-12-08 08:00:00,1,导出（自动）,,,,结束,,,,PC\\op", false, 6 },
        { "held by Excel", header, true, 5 },
    };
    for (const auto& c : cases) {
        TRACE_CASE(cases, c);
        ASSERT_TRUE(test::WriteFile(RecordPath(), c.before));
        for (int run = 1; run <= 2; ++run) {
            CFileHandle holder(c.held && run == 1 ? ::CreateFileA(RecordPath().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                                                  OPEN_EXISTING, 0, nullptr)
                                                  : INVALID_HANDLE_VALUE);
            test::RecordingView view;
            RunWorker(kModeAutoImport, view);
        }
        EXPECT_FALSE(Exists(Record::WaitingFile(RecordPath())));
        const std::vector<std::vector<std::string>> lines = Lines(RecordPath());
        ASSERT_EQ(c.lines, lines.size()) << ReadFile(RecordPath());
        int starts = 0;
        for (size_t i = lines.size() - 4; i < lines.size(); ++i) {
            EXPECT_EQ(static_cast<size_t>(Record::kColumns), lines[i].size()) << i;
            starts += lines[i][Record::kResult] == "开始" ? 1 : 0;
        }
        EXPECT_EQ(2, starts);
    }
}

// part of one; and a copy that meets the full disk says so in its line.
TEST_F(TransferRecord, OnAFullDiskEveryLineIsWholeAndACopySaysTheDiskIsFull)
{
    const test::SmallDisk disk(256 * 1024);
    if (disk.Folder().empty())
        GTEST_SKIP() << "no disk of its own can be mounted here";
    // A filler takes the disk, then gives two pages back.
    const std::string filler = disk.Folder() + "\\filler";
    {
        CFileHandle file(::CreateFileA(filler.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
        const std::string block(4096, 'f');
        DWORD written = block.size();
        LONG size = 0;
        while (written == block.size() && ::WriteFile(file, block.data(), block.size(), &written, nullptr))
            size += written;
        ::SetFilePointer(file, size - 2 * 4096, nullptr, FILE_BEGIN);
        ASSERT_TRUE(::SetEndOfFile(file));
    }
    const std::string path = disk.Folder() + "\\" + "传送记录.csv";
    EntryDecision decision;
    decision.name = "a_C1_" + std::string(100, 'n') + ".txt";
    decision.source = m_send + "\\" + decision.name;
    for (int run = 1; run <= 2; ++run) {
        CTransferRecord record(path, RunKind::kExport, true);
        record.RunStarted(Input());
        for (int i = 0; i < 100; ++i)
            record.Entry(decision, i, Outcome::kLeft);
        record.RunEnded(CTransferRecord::End::kDone);
        ::DeleteFileA(filler.c_str());
    }
    const std::vector<std::vector<std::string>> lines = Lines(path);
    ASSERT_LT(100u, lines.size());
    ASSERT_GT(204u, lines.size()) << "the disk was not full";
    for (size_t i = 1; i < lines.size(); ++i)
        EXPECT_EQ(static_cast<size_t>(Record::kColumns), lines[i].size()) << "line " << i;
    EXPECT_EQ(Record::kEnded, lines.back()[Record::kResult]);

    // A delivery larger than the room left on the receive side.
    SetUserOrgID("Q9");
    ASSERT_TRUE(test::MakeDir(m_data + "\\Q9"));
    Make(m_data + "\\Q9", "large.dat", std::string(512 * 1024, 'L'));
    settings::SetString(settings::kDestPath, disk.Folder().c_str());
    test::RecordingView view;
    RunWorker(kModeAutoImport, view);
    bool said = false;
    for (const std::vector<std::string>& f : Lines(RecordPath()))
        said = said || (f[Record::kResult] == Record::kFailed && f[Record::kError].compare(0, 14, "系统错误 112：") == 0);
    EXPECT_TRUE(said) << ReadFile(RecordPath());
    EXPECT_EQ((Names{ "传送记录.csv", "传送记录.lock" }), ListDir(disk.Folder())) << "no copy or temporary file is left";
}

// With the record off, or unwritable (a folder stands in its place), runs do exactly what they do with
// it: the same calls to their window, the same files in the same places.
TEST_F(TransferRecord, ARunIsTheSameWithoutItsRecord)
{
    SetUserOrgID("Q9");
    std::vector<std::vector<test::RecordingView::Call>> calls;
    std::vector<std::map<std::string, std::string>> files;
    const std::string workspace = m_root / "ws";
    for (const char* variant : { "on", "off", "unwritable" }) {
        SCOPED_TRACE(variant);
        test::RemoveTree(workspace);
        for (const char* dir : { "", "\\send", "\\data", "\\data\\Q9", "\\recv", "\\data\\P1", "\\data\\P1\\b_C1_2.txt" })
            ASSERT_TRUE(test::MakeDir(workspace + dir));
        for (const char* name : { "a_C1_1.txt", "b_C1_2.txt", "c_C9_3.txt" })
            ASSERT_TRUE(test::WriteFile(workspace + "\\send\\" + name, name));
        ASSERT_TRUE(test::WriteFile(workspace + "\\data\\Q9\\d.txt", "d"));
        settings::SetString(settings::kSourcePath, (workspace + "\\send").c_str());
        settings::SetString(settings::kExportLocation, (workspace + "\\data").c_str());
        settings::SetString(settings::kDestPath, (workspace + "\\recv").c_str());
        settings::SetInt(settings::kRecordTransfers, std::string(variant) == "off" ? 0 : 1);
        test::RemoveTree(RecordPath());
        ::DeleteFileA(RecordPath().c_str());
        if (std::string(variant) == "unwritable") {
            ASSERT_TRUE(test::MakeDir(RecordPath()));
        }
        const int numbered = settings::GetInt(settings::kLastRunNumber);
        test::RecordingView exportView, importView;
        RunWorker(kModeAutoExport, exportView);
        RunWorker(kModeAutoImport, importView);
        std::vector<test::RecordingView::Call> both = exportView.Calls();
        for (const auto& call : importView.Calls())
            both.push_back(call);
        calls.push_back(both);
        files.push_back(test::FilesBelow(workspace));
        if (std::string(variant) == "off") {
            EXPECT_FALSE(Exists(RecordPath()));
            EXPECT_EQ(numbered, settings::GetInt(settings::kLastRunNumber)) << "runs without a record take no number";
        }
        if (std::string(variant) == "unwritable") {
            EXPECT_TRUE(test::IsDirectory(RecordPath()) && ListDir(RecordPath()).empty());
        }
    }
    for (size_t i = 1; i < calls.size(); ++i) {
        EXPECT_EQ(calls[0].size(), calls[i].size()) << i;
        for (size_t c = 0; c < calls[0].size() && c < calls[i].size(); ++c) {
            EXPECT_TRUE(calls[0][c].kind == calls[i][c].kind && calls[0][c].text == calls[i][c].text
                        && calls[0][c].pos == calls[i][c].pos) << i << ": call " << c;
        }
        EXPECT_EQ(files[0], files[i]) << i;
    }
}

// Two processes appending at once: every line whole, each process's lines all there, one header.
TEST_F(TransferRecord, TwoProcessesWritingAtOnceNeverMixTheirLines)
{
    const test::PluginProfile writerProfile("record_writer");
    const int kLines = 1500;
    CHandle ready(::CreateSemaphoreA(nullptr, 0, 2, "QRVLNK.RecordWriters.Ready"));
    CHandle go(::CreateEventA(nullptr, TRUE, FALSE, "QRVLNK.RecordWriters.Go"));
    std::vector<HANDLE> processes;
    for (const char* tag : { "A", "B" }) {
        STARTUPINFOA startup = {};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION process = {};
        std::string command = "\"" + test::BinDir() + "\\record_writer.exe\" \"" + RecordPath() + "\" " + tag + " "
                              + std::to_string(kLines);
        ASSERT_TRUE(::CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process));
        ::CloseHandle(process.hThread);
        processes.push_back(process.hProcess);
    }
    for (int writer = 0; writer < 2; ++writer)
        EXPECT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(ready, 30000)) << "the writers have their record open";
    ::SetEvent(go);
    for (HANDLE process : processes) {
        EXPECT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(process, 120000));
        ::CloseHandle(process);
    }
    const std::vector<std::vector<std::string>> lines = Lines(RecordPath());
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ("时间", lines[0][Record::kTime]);
    std::map<std::string, int> next = { { "A", 0 }, { "B", 0 } };
    int ends = 0;
    int turns = 0;
    std::string last;
    for (size_t i = 1; i < lines.size(); ++i) {
        const std::vector<std::string>& f = lines[i];
        ASSERT_EQ(static_cast<size_t>(Record::kColumns), f.size()) << "line " << i;
        if (f[Record::kResult] == Record::kEnded) {
            ++ends;
            continue;
        }
        const std::string& source = f[Record::kSource];
        const std::string tag = source.substr(3, 1);
        ASSERT_TRUE(next.count(tag)) << "line " << i << ": " << source.substr(0, 40);
        turns += tag != last ? 1 : 0;
        last = tag;
        EXPECT_EQ("C:\\" + tag + "\\" + std::to_string(next[tag]) + "_" + std::string(1000, 'x'), source) << "line " << i;
        EXPECT_EQ(std::to_string(next[tag]), f[Record::kSize]) << "line " << i;
        ++next[tag];
    }
    EXPECT_EQ(kLines, next["A"]);
    EXPECT_EQ(kLines, next["B"]);
    EXPECT_EQ(2, ends);
    EXPECT_LT(10, turns) << "the writers did not write at the same time";
}

} // namespace
} // namespace reliability

// qrvcheck.exe --history on the transfer record that the real DLL's runs wrote, on records as other
// programs and older versions leave them, and beside a run that is still writing.
#include "CheckWorkspace.h"

#include "engine/TransferRecord.h"
#include "settings/Settings.h"

#include <gtest/gtest.h>
#include <cstdio>
#include <functional>
#include <memory>

namespace checktest {
namespace {

const char kHeader[] = "时间,运行编号,运行,源文件,目标文件,大小（字节）,结果,说明,系统错误,提示框,计算机\\用户";

std::string RecordPath(const CheckWorkspace& ws)
{
    return ws.Host() + "\\" + settings::kRecordFile;
}

// The local time minutes ago, as the record writes it.
std::string TimeAgo(int minutes)
{
    FILETIME file;
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    ::SystemTimeToFileTime(&now, &file);
    ULARGE_INTEGER ticks;
    ticks.LowPart = file.dwLowDateTime;
    ticks.HighPart = file.dwHighDateTime;
    ticks.QuadPart -= static_cast<ULONGLONG>(minutes) * 60 * 10000000;
    file.dwLowDateTime = ticks.LowPart;
    file.dwHighDateTime = ticks.HighPart;
    ::FileTimeToSystemTime(&file, &now);
    char text[32];
    std::snprintf(text, sizeof(text), "%04u-%02u-%02u %02u:%02u:%02u", now.wYear, now.wMonth, now.wDay, now.wHour,
                  now.wMinute, now.wSecond);
    return text;
}

// The record file of ws made of lines, each ended by CRLF.
void WriteRecord(const CheckWorkspace& ws, const std::vector<std::string>& lines)
{
    std::string record;
    for (const std::string& line : lines)
        record += line + "\r\n";
    ASSERT_TRUE(test::WriteFile(RecordPath(ws), record));
}

// Each run with its counts and each failure with its reason; exit code 1 while the last run of a kind
// has failures, with the command that shows the files now; 0 once the next run of that kind has none.
TEST(CheckHistory, TellsTheLastRunsFromWhatTheRunsRecorded)
{
    CheckWorkspace ws("QRVLNK");
    for (const char* name : { "a_C01_1.txt", "b_C01_2.txt", "c_C99_3.txt" })
        test::WriteFile(ws.Send() + "\\" + name, name);
    test::MakeDir(ws.Data() + "\\P01");
    test::MakeDir(ws.Data() + "\\P01\\b_C01_2.txt");
    test::WriteFile(ws.Delivery() + "\\d.txt", "d");
    EXPECT_EQ(1u, ws.RunThePlugin({ "AutoExport", "AutoImport" }).size());
    const std::string failure = "[失败] " + ws.Send() + "\\b_C01_2.txt：文件拷贝出错：目标位置是一个文件夹。源文件留在原处，下次再传送";

    test::ProgramResult r = ws.CheckHere("--history");
    EXPECT_EQ(1u, r.exitCode) << r.output;
    for (const std::string& line : { std::string("导出（自动） 运行编号1：传送1个，未传送1个，失败1个"), failure,
                                     std::string("导入（自动） 运行编号2：传送1个，未传送0个，失败0个"),
                                     std::string("[结论] 最近一次导出有失败"),
                                     "请运行 " + test::BinDir() + "\\qrvcheck.exe --plan " + ws.Host() })
        EXPECT_TRUE(HasLine(r.output, line)) << line << "\nin\n" << r.output;

    test::RemoveTree(ws.Data() + "\\P01\\b_C01_2.txt");
    EXPECT_TRUE(ws.RunThePlugin({ "AutoExport" }).empty());
    r = ws.CheckHere("--history 1");
    EXPECT_EQ(0u, r.exitCode) << r.output;
    EXPECT_FALSE(HasLine(r.output, "运行编号1：")) << r.output;
    for (const std::string& line : { std::string("运行编号2："), std::string("导出（自动） 运行编号3：传送1个，未传送1个，失败0个"),
                                     std::string("[结论] 最近一次导出和最近一次导入都没有失败") })
        EXPECT_TRUE(HasLine(r.output, line)) << line << "\nin\n" << r.output;
}

// Records that runs did not end, or that older versions and other programs wrote: what is read, the
// lines that tell it and the exit code.
TEST(CheckHistory, RecordsAsTheyAreFound)
{
    const std::string start = ",导出（自动）,D:\\Send,D:\\Data,,开始,,,";
    const std::string failed = ",导出（自动）,D:\\Send\\b_C01_1.txt,D:\\Data\\P01\\b_C01_1.txt,1,失败,文件拷贝出错,系统错误 5：访问被拒绝。,";
    const std::string ended = ",导出（自动）,,,,结束,,,";
    const std::string importStart = ",导入（自动）,D:\\Data\\Q900,D:\\Recv,,开始,用户机构代码（UserOrgID）为“Q900”,,,PC1\\op";
    const std::string importEnd = ",导入（自动）,,,,结束,传送0个，未传送0个，失败0个,,,PC1\\op";
    const struct {
        const char* what;
        std::function<void(CheckWorkspace&)> setUp;
        const char* options;
        DWORD exitCode;
        std::vector<std::string> lines; // each held by a line of the output
    } cases[] = {
        { "no record", nullptr, "--history", 3,
          { "[结论] 没有可查的传送记录：没有找到", "\\传送记录.csv，也没有较早的传送记录.1.csv到传送记录.3.csv",
            "写在命令的最后，例如 " + test::BinDir() + "\\qrvcheck.exe --history D:\\QRVHUB\\Work。" } },
        { "no record, and RecordTransfers 0",
          [](CheckWorkspace& ws) { ws.Profile().SetDword(settings::kRecordTransfers, 0); }, "--history", 3,
          { "[注意] RecordTransfers（传送记录）为0，现在的运行不写传送记录.csv", "[结论] 没有可查的传送记录" } },
        { "a header and no run", [](CheckWorkspace& ws) { WriteRecord(ws, { kHeader }); }, "--history", 3,
          { "\\传送记录.csv里没有运行的记录" } },
        { "a run cut off", [&](CheckWorkspace& ws) {
              WriteRecord(ws, { kHeader, "2026-12-08 08:00:00,7" + start + ",PC9\\op" });
          }, "--history", 1,
          { "导出（自动） 运行编号7：传送0个，未传送0个，失败0个，没有结束的记录",
            "[中断] 运行编号7没有做完：记录里没有它的结束行，它也不在运行", "[结论] 最近一次导出有失败、被拒绝或者没有做完" } },
        { "a run that broke", [&](CheckWorkspace& ws) {
              WriteRecord(ws, { kHeader, "2026-12-08 08:00:00,7" + start + ",PC9\\op",
                                "2026-12-08 08:00:01,7,导出（自动）,,,,出错,插件内部出错,,,PC9\\op" });
          }, "--history", 1, { "[中断] 运行编号7因为插件内部出错没有做完" } },
        { "the last export beyond the runs asked for", [&](CheckWorkspace& ws) {
              WriteRecord(ws, { kHeader, "2026-12-08 08:00:00,1" + start + ",PC1\\op", "2026-12-08 08:00:01,1" + failed + ",PC1\\op",
                                "2026-12-08 08:00:02,1" + ended + ",PC1\\op",
                                "2026-12-08 09:00:00,2,导入（自动）,D:\\Data\\Q900,D:\\Recv,,开始,,,,PC1\\op",
                                "2026-12-08 09:00:01,2,导入（自动）,,,,结束,,,,PC1\\op" });
          }, "--history 1", 1,
          { "导出（自动） 运行编号1：传送0个，未传送0个，失败1个", "导入（自动） 运行编号2：传送0个，未传送0个，失败0个",
            "[失败] D:\\Send\\b_C01_1.txt：文件拷贝出错（系统错误 5：访问被拒绝）" } },
        // Run numbers are counted per computer and user; a line of ten columns comes from before the last.
        { "two computers with the same number", [&](CheckWorkspace& ws) {
              WriteRecord(ws, { kHeader, "2026-12-01 08:00:00,9,导入（自动）,D:\\Data\\Q900,D:\\Recv,,开始,,,",
                                "2026-12-01 08:00:01,9,导入（自动）,,,,结束,,,", "2026-12-08 08:00:00,1" + start + ",PC1\\op",
                                "2026-12-08 08:00:00,1" + start + ",PC2\\op",
                                "2026-12-08 08:00:01,1,导出（自动）,D:\\Send\\a_C01_1.txt,D:\\Data\\P01\\a_C01_1.txt,1,已传送,已复制,,,PC1\\op",
                                "2026-12-08 08:00:01,1" + failed + ",PC2\\op", "2026-12-08 08:00:02,1" + ended + ",PC1\\op",
                                "2026-12-08 08:00:02,1" + ended + ",PC2\\op" });
          }, "--history", 1,
          { "导入（自动） 运行编号9：传送0个，未传送0个，失败0个", "导出（自动） 运行编号1（PC1\\op）：传送1个，未传送0个，失败0个",
            "导出（自动） 运行编号1（PC2\\op）：传送0个，未传送0个，失败1个" } },
        // Excel rewrites the times, leaves out empty fields at the end of a line and may add empty rows.
        { "saved by Excel", [&](CheckWorkspace& ws) {
              WriteRecord(ws, { kHeader, "2026/12/8 8:00,1,导出（自动）,D:\\Send,D:\\Data,,开始",
                                "2026/12/8 8:00,1" + failed.substr(0, failed.size() - 1), "2026/12/8 8:00,1,导出（自动）,,,,结束,传送0个",
                                ",,,,,,,,,," });
          }, "--history", 4,
          { "有3行不是插件写的格式，例如第2行的时间是“2026/12/8 8:00”，插件写的时间是“年-月-日 时:分:秒”的形式",
            "请给这个文件改个名字（例如改为传送记录-另存.csv），插件会重新开始一个记录",
            "2026/12/8 8:00 导出（自动） 运行编号1：传送0个，未传送0个，失败1个",
            "[失败] D:\\Send\\b_C01_1.txt：文件拷贝出错（系统错误 5：访问被拒绝）",
            "[结论] 传送记录里有不是插件写的行（见上面的[错误]行），只按读得出来的行判断：最近一次导出有失败" } },
        // Lines of another form neither make nor end runs, whatever their columns.
        { "foreign lines among the runs", [&](CheckWorkspace& ws) {
              WriteRecord(ws, { kHeader, "2026-12-08 08:00:00,1" + start + ",PC1\\op",
                                "2026-12-08 08:00:01,1,导出（自动）,,,,完成,,,,PC1\\op",
                                "2026-12-08 08:00:01,1" + failed + ",PC1\\op",
                                "2026-12-08 08:00:02,9,\x81\x30乱,,,,结束,,,,PC1\\op",
                                "2026-12-08 08:00:03,1" + ended + ",PC1\\op" });
          }, "--history", 4,
          { "有2行不是插件写的格式，例如第3行的结果是“完成”，插件不写这个结果",
            "导出（自动） 运行编号1：传送0个，未传送0个，失败1个；发送目录D:\\Send",
            "只按读得出来的行判断：最近一次导出有失败" } },
        { "an import that found nothing, long ago", [&](CheckWorkspace& ws) {
              WriteRecord(ws, { kHeader, "2026-12-01 08:00:00,2" + importStart, "2026-12-01 08:00:01,2" + importEnd });
          }, "--history --within 24", 5,
          { "导入（自动） 运行编号2：传送0个，未传送0个，失败0个；交付文件夹D:\\Data\\Q900，用户机构代码“Q900”；交付文件夹里没有送来的文件",
            "[结论] 记录里没有导出，最近一次导入没有失败。记录里没有导出（--within要求24小时内有一次），最近一次导入在2026-12-01 08:00:00（",
            "天前），超过了--within给的24小时" } },
        { "both within the hours asked", [&](CheckWorkspace& ws) {
              WriteRecord(ws, { kHeader, TimeAgo(90) + ",2" + importStart, TimeAgo(90) + ",2" + importEnd,
                                TimeAgo(3) + ",3" + start + ",PC1\\op", TimeAgo(3) + ",3" + ended + ",PC1\\op" });
          }, "--history --within 2", 0,
          { "最近一次导出和最近一次导入都没有失败。最近一次导出在", "（3分钟前），最近一次导入在", "（1小时前）" } },
        { "--within without --history", nullptr, "--within 2", 2, { "--within只能和--history一起用" } },
        { "lines waiting beside the record", [&](CheckWorkspace& ws) {
              WriteRecord(ws, { kHeader, "2026-12-01 08:00:00,2" + importStart });
              test::WriteFile(CTransferRecord::WaitingFile(RecordPath(ws)),
                              std::string(kHeader) + "\r\n2026-12-01 08:00:01,2" + importEnd + "\r\n");
          }, "--history", 0,
          { "[注意] 1行记录还在", "传送记录.待写入.csv里，没有写进传送记录", "导入（自动） 运行编号2：传送0个，未传送0个，失败0个；交付文件夹" } },
        { "saved as UTF-8", [](CheckWorkspace& ws) {
              test::WriteFile(RecordPath(ws), "\xEF\xBB\xBF" "2026-12-08 08:00:00,1,\xE5\xAF\xBC\xE5\x85\xA5\xEF\xBC\x88\xE8\x87\xAA\xE5\x8A\xA8\xEF\xBC\x89,D:\\Data\\Q900,D:\\Recv,,"
                                              "\xE5\xBC\x80\xE5\xA7\x8B,,,,PC1\\op\r\n"
                                              "2026-12-08 08:00:01,1,\xE5\xAF\xBC\xE5\x85\xA5\xEF\xBC\x88\xE8\x87\xAA\xE5\x8A\xA8\xEF\xBC\x89,,,,\xE7\xBB\x93\xE6\x9D\x9F,,,,PC1\\op\r\n");
          }, "--history", 4,
          { "有2行不是插件写的格式，例如第1行是UTF-8文本，插件写的是GBK文本", "导入（自动） 运行编号1：传送0个，未传送0个，失败0个",
            "记录里没有导出，最近一次导入没有失败" } },
    };
    for (const auto& c : cases) {
        TRACE_CASE(cases, c);
        CheckWorkspace ws("QRVLNK");
        if (c.setUp)
            c.setUp(ws);
        const test::ProgramResult r = ws.CheckHere(c.options);
        EXPECT_EQ(c.exitCode, r.exitCode) << c.what << "\n" << r.output;
        for (const std::string& line : c.lines)
            EXPECT_TRUE(HasLine(r.output, line)) << c.what << ": no line holds\n" << line << "\nin\n" << r.output;
    }
}

// A run without its end line is under way while its process holds the record, and cut off once it
// does not; one under way for more than an hour is a problem: it may wait for its error box.
TEST(CheckHistory, TellsARunUnderWayFromOneCutOff)
{
    const struct {
        bool live;
        int minutesAgo; // of its start line
        DWORD exitCode;
        std::vector<std::string> lines; // each held by a line of the output
    } cases[] = {
        { true, 0, 0, { "传送0个，未传送0个，失败0个，还在运行", "[结论] 最近一次导出还在运行，到现在没有失败，记录里没有导入" } },
        { true, 120, 1, { "[等待] 运行编号", "2小时前就开始了，到现在还没有结束：可能在等人点“错误信息”提示框",
                          "[结论] 最近一次导出有失败、被拒绝或者没有做完" } },
        { false, 0, 1, { "传送0个，未传送0个，失败0个，没有结束的记录", "[中断] 运行编号" } },
    };
    char computer[MAX_COMPUTERNAME_LENGTH + 1] = "", user[257] = "";
    DWORD computerSize = sizeof(computer), userSize = sizeof(user);
    ASSERT_TRUE(::GetComputerNameA(computer, &computerSize) && ::GetUserNameA(user, &userSize));
    for (const auto& c : cases) {
        TRACE_CASE(cases, c);
        CheckWorkspace ws("QRVLNK");
        // The start line as the next run writes it, at the time the case asks for.
        const std::string number = std::to_string(settings::GetInt(settings::kLastRunNumber) + 1);
        WriteRecord(ws, { kHeader, TimeAgo(c.minutesAgo) + "," + number + ",导出（自动）,D:\\Send,D:\\Data,,开始,,,,"
                                       + computer + "\\" + user });
        std::unique_ptr<CTransferRecord> record(new CTransferRecord(RecordPath(ws), RunKind::kExport, true));
        if (!c.live)
            record.reset();
        const test::ProgramResult r = ws.CheckHere("--history");
        EXPECT_EQ(c.exitCode, r.exitCode) << r.output;
        for (const std::string& line : c.lines)
            EXPECT_TRUE(HasLine(r.output, line)) << "no line holds\n" << line << "\nin\n" << r.output;
    }
}

} // namespace
} // namespace checktest

// What qrvcheck.exe --history does, on a record of 4 MB and on one that, with its three older files,
// holds 16 MB: the time it takes should grow with the bytes it reads, no faster.
#include "Bench.h"

#include "History.h"
#include "engine/TransferRecord.h"

#include <cstdio>

namespace bench {

namespace {

// A record file of about bytes bytes: runs of 50 files each, as an export writes them.
void WriteRecord(const std::string& path, size_t bytes, int firstRun)
{
    std::string text = "时间,运行编号,运行,源文件,目标文件,大小（字节）,结果,说明,系统错误,提示框,计算机\\用户\r\n";
    char line[512];
    for (int run = firstRun; text.size() < bytes; ++run) {
        std::snprintf(line, sizeof(line), "2026-12-08 08:00:00,%d,导出（自动）,D:\\Dist\\Send,D:\\QRVHUB\\Data,,开始,"
                                          "传送后删除源文件：是,,,PC01\\op\r\n", run);
        text += line;
        for (int file = 0; file < 50; ++file) {
            std::snprintf(line, sizeof(line), "2026-12-08 08:00:01,%d,导出（自动）,D:\\Dist\\Send\\ORD_C001_%05d.txt,"
                                              "D:\\QRVHUB\\Data\\Q100\\ORD_C001_%05d.txt,1234,已传送,已复制，已删除源文件,,,PC01\\op\r\n",
                          run, file, file);
            text += line;
        }
        std::snprintf(line, sizeof(line), "2026-12-08 08:00:02,%d,导出（自动）,,,,结束,传送50个，未传送0个，失败0个,,,PC01\\op\r\n", run);
        text += line;
    }
    WriteOldFile(path, text);
}

// The seconds that reading the last 5 runs of the record at path takes, as qrvcheck.exe --history does.
double HistoryRun(const std::string& path)
{
    return Seconds([&] {
        check::CReport report;
        check::ReportHistory(path, 5, 0, "", report);
    });
}

} // namespace

void HistoryGrowth(const Workspace& ws)
{
    const size_t kFile = static_cast<size_t>(CTransferRecord::kRotateBytes);
    const std::string one = Join(ws.Path("history-4MB"), "传送记录.csv"), four = Join(ws.Path("history-16MB"), "传送记录.csv");
    MakeDir(ws.Path("history-4MB"));
    MakeDir(ws.Path("history-16MB"));
    WriteRecord(one, kFile, 1);
    WriteRecord(four, kFile, 1);
    for (int older = 1; older <= CTransferRecord::kOlderFiles; ++older)
        WriteRecord(CTransferRecord::OlderFile(four, older), kFile, older * 10000);
    Compare("--history, the record alone (4 MB) against the record and 3 older files (16 MB)", ws.rounds,
            { "4 MB", [] {}, [&] { return HistoryRun(one); } }, { "16 MB", [] {}, [&] { return HistoryRun(four); } });
    RemoveTree(ws.Path("history-4MB"));
    RemoveTree(ws.Path("history-16MB"));
}

} // namespace bench

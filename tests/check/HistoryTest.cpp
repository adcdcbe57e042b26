// qrvcheck.exe --history on the transfer record that the real DLL's runs wrote.
#include "CheckWorkspace.h"

#include <gtest/gtest.h>

namespace checktest {
namespace {

// Each run with its counts and each failure with its reason; exit code 1 while the last run of a kind
// has failures, 0 once the next run of that kind has none.
TEST(CheckHistory, TellsTheLastRunsFromWhatTheRunsRecorded)
{
    CheckWorkspace ws("QRVLNK");
    for (const char* name : { "a_C01_1.txt", "b_C01_2.txt", "c_C99_3.txt" })
        test::WriteFile(ws.Send() + "\\" + name, name);
    test::MakeDir(ws.Data() + "\\P01");
    test::MakeDir(ws.Data() + "\\P01\\b_C01_2.txt");
    test::WriteFile(ws.Delivery() + "\\d.txt", "d");
    EXPECT_EQ(1u, ws.RunThePlugin({ "AutoExport", "AutoImport" }).size());
    const std::string failure = "[失败] " + ws.Send() + "\\b_C01_2.txt：文件拷贝出错。源文件留在原处，下次再传送（系统错误 ";

    test::ProgramResult r = ws.CheckHere("--history");
    EXPECT_EQ(1u, r.exitCode) << r.output;
    for (const std::string& line : { std::string("导出（自动） 第1次：传送1个，未传送1个，失败1个"), failure,
                                     std::string("导入（自动） 第2次：传送1个，未传送0个，失败0个"),
                                     std::string("[结论] 最近一次导出或导入有失败或者被拒绝") })
        EXPECT_TRUE(HasLine(r.output, line)) << line << "\nin\n" << r.output;

    test::RemoveTree(ws.Data() + "\\P01\\b_C01_2.txt");
    EXPECT_TRUE(ws.RunThePlugin({ "AutoExport" }).empty());
    r = ws.CheckHere("--history 2");
    EXPECT_EQ(0u, r.exitCode) << r.output;
    EXPECT_FALSE(HasLine(r.output, "第1次")) << r.output;
    for (const std::string& line : { std::string("第2次"), std::string("导出（自动） 第3次：传送1个，未传送1个，失败0个"),
                                     std::string("[结论] 最近一次导出和最近一次导入都没有失败") })
        EXPECT_TRUE(HasLine(r.output, line)) << line << "\nin\n" << r.output;
}

// Two computers that share one working directory number their runs alike: a run is told apart by its
// computer and user too, and lines written before that column existed still count.
TEST(CheckHistory, RunsOfTwoComputersWithTheSameNumberStayApart)
{
    CheckWorkspace ws("QRVLNK");
    const char* const lines[] = {
        "时间,运行编号,运行,源文件,目标文件,大小（字节）,结果,说明,系统错误,提示框",
        "2026-12-01 08:00:00,9,导入（自动）,D:\\Data\\Q900,D:\\Recv,,开始,,,",
        "2026-12-01 08:00:01,9,导入（自动）,,,,结束,传送0个，未传送0个，失败0个,,",
        "2026-12-08 08:00:00,1,导出（自动）,D:\\Send,D:\\Data,,开始,,,,PC1\\op",
        "2026-12-08 08:00:00,1,导出（自动）,D:\\Send,D:\\Data,,开始,,,,PC2\\op",
        "2026-12-08 08:00:01,1,导出（自动）,D:\\Send\\a_C01_1.txt,D:\\Data\\P01\\a_C01_1.txt,1,已传送,已复制,,,PC1\\op",
        "2026-12-08 08:00:01,1,导出（自动）,D:\\Send\\b_C01_1.txt,D:\\Data\\P01\\b_C01_1.txt,1,失败,文件拷贝出错,,,PC2\\op",
        "2026-12-08 08:00:02,1,导出（自动）,,,,结束,,,,PC1\\op",
        "2026-12-08 08:00:02,1,导出（自动）,,,,结束,,,,PC2\\op",
    };
    std::string record;
    for (const char* line : lines)
        record += std::string(line) + "\r\n";
    ASSERT_TRUE(test::WriteFile(ws.Host() + "\\传送记录.csv", record));
    const test::ProgramResult r = ws.CheckHere("--history");
    EXPECT_EQ(1u, r.exitCode) << r.output;
    for (const std::string& line : { std::string("导入（自动） 第9次：传送0个，未传送0个，失败0个"),
                                     std::string("导出（自动） 第1次：传送1个，未传送0个，失败0个"),
                                     std::string("导出（自动） 第1次：传送0个，未传送0个，失败1个") })
        EXPECT_TRUE(HasLine(r.output, line)) << line << "\nin\n" << r.output;
}

} // namespace
} // namespace checktest

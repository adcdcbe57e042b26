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

} // namespace
} // namespace checktest

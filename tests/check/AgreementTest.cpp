// qrvcheck.exe --plan against the real thing: on the same workspace, the plan is read, then the real
// QRVLNK.dll runs AutoExport and AutoImport under a host window, and every file must be where the plan
// said: each planned copy made with its source's content, each planned stay still in place, nothing else.
#include "CheckWorkspace.h"

#include "settings/Settings.h"
#include "support/GuiScript.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <atomic>
#include <functional>
#include <map>
#include <set>

namespace checktest {
namespace {

const char kCopyError[] = "文件拷贝出错";
// An export whose source stays (read-only, it cannot be deleted): an error line with its copy.
const char kNotDeleted[] = "删不掉";
// A temporary copy named in 1601: long past the age at which runs remove them.
const char kStaleTemporary[] = ".~qrvlnk-0000000000000001-1-2-0.part";

// What the plan says will happen to the files.
struct Plan {
    std::map<std::string, std::string> copies;  // target -> source, planned copies
    std::set<std::string> removed;              // sources that leave their folder
    int errorBoxes = 0;                         // copy errors and refused runs
};

std::vector<std::string> Lines(const std::string& output)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < output.size()) {
        size_t end = output.find("\r\n", start);
        if (end == std::string::npos)
            end = output.size();
        lines.push_back(output.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

// The path that follows marker in line, up to "（", "，" or the end.
std::string PathAfter(const std::string& line, const std::string& marker)
{
    const size_t start = line.find(marker);
    if (start == std::string::npos)
        return "";
    const std::string rest = line.substr(start + marker.size());
    return rest.substr(0, std::min(rest.find("（"), rest.find("，")));
}

bool StartsWith(const std::string& text, const std::string& prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

Plan ReadPlan(const std::string& output, const CheckWorkspace& ws, bool deleteAfterCopy)
{
    Plan plan;
    std::string folder;
    for (const std::string& line : Lines(output)) {
        if (StartsWith(line, "[信息] 导出预演"))
            folder = ws.Send();
        if (StartsWith(line, "[信息] 导入预演"))
            folder = ws.Delivery();
        if (line.find("会停止") != std::string::npos && StartsWith(line, "[信息] "))
            ++plan.errorBoxes;
        const size_t begin = line.find("] ") + 2;
        const std::string name = line.substr(begin, std::min(line.find(" → ", begin), line.find("：", begin)) - begin);
        const std::string source = folder + "\\" + name;
        if (StartsWith(line, "[清理] ")) {
            plan.removed.insert(name);
        } else if (StartsWith(line, "[导出] ") || (StartsWith(line, "[错误] ") && line.find(kNotDeleted) != std::string::npos)) {
            plan.copies[PathAfter(line, " → ")] = source;
            if (deleteAfterCopy && line.find(kNotDeleted) == std::string::npos)
                plan.removed.insert(source);
        } else if (StartsWith(line, "[导入] ")) {
            plan.copies[PathAfter(line, " → ")] = source;
            plan.copies[PathAfter(line, "备份为 ")] = source;
            plan.removed.insert(source);
        } else if (StartsWith(line, "[未传送] ")) {
            const std::string copiedTo = PathAfter(line, "会复制到");
            if (!copiedTo.empty())
                plan.copies[copiedTo] = source;
            if (line.find(kCopyError) != std::string::npos)
                ++plan.errorBoxes;
        }
    }
    return plan;
}

TEST(CheckPlan, AgreesWithARealAutoExportAndAutoImport)
{
    const std::string longCode(24, 'L');
    const struct {
        const char* what;
        std::function<void(CheckWorkspace&)> setUp;
    } cases[] = {
        { "routes, stays, a copy error and archive names", [&](CheckWorkspace& ws) {
              ws.WriteMapping("ClientID0000=C01\r\nQRVID0000=P01\r\nClientID0001=C02\r\n"
                              "ClientID0002=C03\r\nQRVID0002=P03\r\nClientID0003=" + longCode + "\r\nQRVID0003=P04\r\n"
                              "ClientID0005=C05\r\nQRVID0005=P05\r\n");
              test::WriteFile(ws.Data() + "\\P03", "a file where the folder P03 should be");
              for (const std::string& name : std::vector<std::string>{ "a_C01_1.txt", "a_C01_2.txt", "notes.txt", "x_C99_1.txt", "h_C02_1.txt",
                                               "f_C03_1.txt", "g_C05_1.txt", "l_" + longCode + "_1.txt" })
                  test::WriteFile(ws.Send() + "\\" + name, "content of " + name);
              test::MakeDir(ws.Send() + "\\C01");
              test::WriteFile(ws.Send() + "\\C01\\inner_C01_1.txt", "inner");
              test::MakeDir(ws.Backup());
              test::WriteFile(ws.Backup() + "\\d2.txt", "older d2");
              test::WriteFile(ws.Backup() + "\\d2.txt.1", "oldest d2");
              test::WriteFile(ws.Delivery() + "\\d1.txt", "d1");
              test::WriteFile(ws.Delivery() + "\\d2.txt", "d2");
              test::WriteFile(ws.Delivery() + "\\d2.txt.2", "d2.2");
              ws.WriteWide(ws.Delivery(), L"d_\u0E01.txt", "thai");
              test::MakeDir(ws.Delivery() + "\\later");
              test::WriteFile(ws.Send() + "\\.~qrvlnk-1-2.part", "left by a copy into the send folder");
              test::MakeDir(ws.Data() + "\\P01");
              test::WriteFile(ws.Data() + "\\P01\\.~qrvlnk-1-2.part", "a copy under way");
              test::WriteFile(ws.Data() + "\\P01\\" + kStaleTemporary, "left by an export");
              test::WriteFile(ws.Receive() + "\\.~qrvlnk-3-4.part", "a copy under way");
              test::WriteFile(ws.Receive() + "\\" + kStaleTemporary, "left by an import");
          } },
        { "sources held open, and a read-only source to delete", [](CheckWorkspace& ws) {
              for (const std::string& path : { ws.Send() + "\\a_C01_1.txt", ws.Send() + "\\r_C01_1.txt",
                                               ws.Delivery() + "\\d1.txt", ws.Delivery() + "\\d2.txt" })
                  test::WriteFile(path, "content of " + path);
              ws.Lock(ws.Send() + "\\a_C01_1.txt");
              ws.Lock(ws.Delivery() + "\\d1.txt");
              ::SetFileAttributesA((ws.Send() + "\\r_C01_1.txt").c_str(), FILE_ATTRIBUTE_READONLY);
          } },
        { "folders that overlap", [](CheckWorkspace& ws) {
              test::MakeDir(ws.Data() + "\\P01");
              test::WriteFile(ws.Data() + "\\P01\\a_C01_1.txt", "exported before");
              ws.Profile().SetString(settings::kSourcePath, ws.Data() + "\\p01\\");
              test::MakeDir(ws.Backup());
              test::WriteFile(ws.Backup() + "\\y_1.dat", "archived OLD");
              test::WriteFile(ws.Delivery() + "\\y_1.dat", "delivered NEW");
              ws.Profile().SetString(settings::kDestPath, ws.Backup());
          } },
        { "paths near the limit", [](CheckWorkspace& ws) {
              // Names that make targets of 259 and 260 characters in P01 and in a deep receive directory.
              const size_t room = 259 - (ws.Data() + "\\P01\\").size();
              for (size_t length : { room, room + 1 }) {
                  const std::string name = "a_C01_" + std::string(length - 10, 'n') + ".txt";
                  test::WriteFile(ws.Send() + "\\" + name, name);
              }
              test::MakeDir(ws.Root() + "\\r");
              const std::string receive = test::MakeDeepDir(ws.Root() + "\\r", 220);
              ws.Profile().SetString(settings::kDestPath, receive);
              for (size_t length : { 38, 39 })
                  test::WriteFile(ws.Delivery() + "\\" + std::string(length - 4, 'd') + ".txt", "delivered");
          } },
        { "a file named Backup", [](CheckWorkspace& ws) {
              test::WriteFile(ws.Send() + "\\a_C01_1.txt", "a");
              test::WriteFile(ws.Backup(), "not a folder");
              test::WriteFile(ws.Delivery() + "\\d1.txt", "d1");
          } },
        { "codes and a user organisation ID that leave their root", [](CheckWorkspace& ws) {
              ws.WriteMapping("ClientID0000=C01\r\nQRVID0000=P01\r\nClientID0001=C04\r\nQRVID0001=..\\esc\r\n"
                              "ClientID0002=C05\r\nQRVID0002=NUL\r\n");
              for (const char* name : { "a_C01_1.txt", "e_C04_1.txt", "n_C05_1.txt" })
                  test::WriteFile(ws.Send() + "\\" + name, name);
              ws.Profile().SetString(settings::kUserOrgID, std::string("..\\") + kUserOrgID);
              test::MakeDir(ws.Root() + "\\" + kUserOrgID);
              test::WriteFile(ws.Root() + "\\" + kUserOrgID + "\\outside.txt", "outside the data-file location");
              test::WriteFile(ws.Delivery() + "\\d1.txt", "d1");
          } },
    };
    for (const auto& c : cases) {
        TRACE_CASE(cases, c);
        CheckWorkspace ws("QRVLNK");
        c.setUp(ws);
        const test::ProgramResult check = ws.CheckHere("--plan");
        ASSERT_NE(9999u, check.exitCode) << c.what;
        const Plan plan = ReadPlan(check.output, ws, true);
        const std::map<std::string, std::string> before = test::FilesBelow(ws.Root(), ws.Host());

        const std::vector<std::string> boxes = ws.RunThePlugin({ "AutoExport", "AutoImport" });

        const std::map<std::string, std::string> after = test::FilesBelow(ws.Root(), ws.Host());
        std::map<std::string, std::string> expected = before;
        for (const std::string& source : plan.removed)
            expected.erase(source);
        for (const auto& copy : plan.copies)
            expected[copy.first] = before.at(copy.second);
        EXPECT_EQ(expected, after) << c.what << ": the plan was\n" << check.output;
        EXPECT_EQ(static_cast<size_t>(plan.errorBoxes), boxes.size()) << c.what << "\n" << check.output;
    }
}

} // namespace
} // namespace checktest

// qrvcheck.exe --plan-table: the plan's verdicts as rows a program reads, one for each kind of verdict.
#include "CheckWorkspace.h"

#include "engine/Claim.h"
#include "settings/Settings.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <functional>

namespace checktest {
namespace {

const char kHeader[] = "run\tentry\taction\treason\ttarget\tarchive\tsource";

// The rows of the output after its header, sorted: their order is the file system's.
std::vector<std::string> Rows(const std::string& output)
{
    std::vector<std::string> rows;
    size_t start = 0;
    for (size_t end = output.find("\r\n"); end != std::string::npos; start = end + 2, end = output.find("\r\n", start))
        rows.push_back(output.substr(start, end - start));
    if (rows.empty() || rows.front() != kHeader)
        return { "no header: " + output };
    rows.erase(rows.begin());
    std::sort(rows.begin(), rows.end());
    return rows;
}

std::string Row(const std::string& run, const std::string& entry, const char* action, const char* reason,
                const std::string& target, const std::string& archive, const char* source)
{
    return run + "\t" + entry + "\t" + action + "\t" + reason + "\t" + target + "\t" + archive + "\t" + source;
}

// A name that brings its path in P01 to the limit of 259 characters.
std::string LongName(const CheckWorkspace& ws)
{
    return "a_C01_" + std::string(259 - (ws.Data() + "\\P01\\a_C01_.txt").size(), 'n') + ".txt";
}

TEST(CheckPlan, TableHasARowForEachVerdict)
{
    const struct {
        const char* what;
        std::function<void(CheckWorkspace&)> setUp;
        std::function<std::vector<std::string>(const CheckWorkspace&)> rows;
    } cases[] = {
        { "each action and reason", [](CheckWorkspace& ws) {
              ws.WriteMapping("ClientID0000=C01\r\nQRVID0000=P01\r\nClientID0001=C02\r\nQRVID0001=..\\x\r\n");
              for (const char* name : { "a_C01_1.txt", "notes.txt", "a_C99_1.txt", "a_C02_1.txt", "r_C01_1.txt", "h_C01_1.txt" })
                  test::WriteFile(ws.Send() + "\\" + name, name);
              ::SetFileAttributesA((ws.Send() + "\\r_C01_1.txt").c_str(), FILE_ATTRIBUTE_READONLY);
              ws.Lock(ws.Send() + "\\h_C01_1.txt");
              test::MakeDir(ws.Send() + "\\C01");
              test::WriteFile(ws.Send() + "\\.~qrvlnk-1-2.part", "a copy under way");
              test::MakeDir(ws.Backup());
              test::WriteFile(ws.Backup() + "\\d2.txt", "older d2");
              for (const char* name : { "d1.txt", "d2.txt", "same.txt", "ro.txt", "held.txt" })
                  test::WriteFile(ws.Delivery() + "\\" + name, name);
              test::WriteFile(ws.Receive() + "\\same.txt", "same.txt");
              test::WriteFile(ws.Receive() + "\\ro.txt", "older ro");
              ::SetFileAttributesA((ws.Receive() + "\\ro.txt").c_str(), FILE_ATTRIBUTE_READONLY);
              ws.Lock(ws.Delivery() + "\\held.txt");
              ws.WriteWide(ws.Delivery(), L"d_\u0E01.txt", "thai");
              const std::string claims = ClaimFolderOf(ws.Backup(), ws.Receive());
              test::MakeDir(claims);
              test::WriteFile(claims + "\\c.txt", "claimed and handed over before");
          }, [](const CheckWorkspace& ws) {
              const std::string p01 = ws.Data() + "\\P01\\";
              return std::vector<std::string>{
                  Row("export", "a_C01_1.txt", "copy", "", p01 + "a_C01_1.txt", "", "deleted"),
                  Row("export", "notes.txt", "stay", "no-client-code", "", "", "stays"),
                  Row("export", "a_C99_1.txt", "stay", "code-not-mapped", "", "", "stays"),
                  Row("export", "a_C02_1.txt", "stay", "code-refused", "", "", "stays"),
                  Row("export", "r_C01_1.txt", "copy", "source-read-only", p01 + "r_C01_1.txt", "", "stays"),
                  Row("export", "h_C01_1.txt", "stay", "source-in-use", "", "", "stays"),
                  Row("export", "C01", "pass", "folder", "", "", "stays"),
                  Row("export", ".~qrvlnk-1-2.part", "pass", "temporary", "", "", "stays"),
                  Row("import", "Backup", "pass", "folder", "", "", "stays"),
                  Row("import", "d1.txt", "copy", "", ws.Receive() + "\\d1.txt", ws.Backup() + "\\d1.txt", "archived"),
                  Row("import", "d2.txt", "copy", "", ws.Receive() + "\\d2.txt", ws.Backup() + "\\d2.txt.1", "archived"),
                  Row("import", "same.txt", "copy", "", ws.Receive() + "\\same.txt", ws.Backup() + "\\same.txt", "archived"),
                  Row("import", "c.txt", "archive", "unfinished-claim", ws.Receive() + "\\c.txt", ws.Backup() + "\\c.txt", "archived"),
                  Row("import", "ro.txt", "stay", "target-read-only", "", "", "stays"),
                  Row("import", "held.txt", "stay", "source-being-written", "", "", "stays"),
                  Row("import", "d_?.txt", "stay", "name-not-gbk", "", "", "stays"),
              };
          } },
        { "a source past the path limit whose target fits, which a run opens in the long form", [](CheckWorkspace& ws) {
              test::MakeDir(ws.Root() + "\\s");
              const std::string send = test::MakeDeepDir(ws.Root() + "\\s", 200);
              ws.Profile().SetString(settings::kSourcePath, send);
              test::WriteFile(send + "\\" + LongName(ws), "far down");
          }, [](const CheckWorkspace& ws) {
              return std::vector<std::string>{ Row("export", LongName(ws), "copy", "", ws.Data() + "\\P01\\" + LongName(ws), "", "deleted") };
          } },
        { "runs that would be refused", [](CheckWorkspace& ws) {
              test::WriteFile(ws.Send() + "\\a_C01_1.txt", "a");
              ws.Profile().SetString(settings::kSourcePath, ws.Delivery());
          }, [](const CheckWorkspace&) {
              return std::vector<std::string>{ Row("export", "", "refused", "source-in-delivery", "", "", "stays"),
                                               Row("import", "", "refused", "import-from-source", "", "", "stays") };
          } },
    };
    for (const auto& c : cases) {
        TRACE_CASE(cases, c);
        CheckWorkspace ws("QRVCHECK");
        c.setUp(ws);
        std::vector<std::string> expected = c.rows(ws);
        std::sort(expected.begin(), expected.end());
        const test::ProgramResult table = ws.Check("--plan-table");
        EXPECT_EQ(expected, Rows(table.output)) << c.what;
        EXPECT_EQ(ws.Check("--plan").exitCode, table.exitCode) << c.what;
    }
}

} // namespace
} // namespace checktest

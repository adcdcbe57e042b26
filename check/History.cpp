#include "History.h"

#include "Folder.h"
#include "engine/TransferRecord.h"

#include <windows.h>
#include <algorithm>
#include <vector>

namespace check {

namespace {

typedef CTransferRecord Record;

struct Run {
    std::string key;
    std::string label;  // "导出（自动）", ...
    std::string number;
    std::string time;   // of its first line
    std::string ending; // the result of its end line, or "" when it has none
    std::string refusal;
    int moved = 0;
    int left = 0;
    int failed = 0;
    std::vector<std::string> failures;
};

std::vector<std::string> ReadLines(const std::string& path)
{
    std::vector<std::string> lines;
    std::string text;
    DWORD error = 0;
    if (!ReadAll(path, &text, &error))
        return lines;
    for (size_t start = 0; start < text.size();) {
        const size_t end = std::min(text.find('\n', start), text.size());
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

// Every run of the record and its older files, oldest first.
std::vector<Run> ReadRuns(const std::string& path, int* pFiles)
{
    std::vector<std::string> files;
    for (int n = Record::kOlderFiles; n >= 1; --n)
        files.push_back(Record::OlderFile(path, n));
    files.push_back(path);
    std::vector<Run> runs;
    *pFiles = 0;
    for (const std::string& file : files) {
        const std::vector<std::string> lines = ReadLines(file);
        *pFiles += lines.empty() ? 0 : 1;
        for (const std::string& line : lines) {
            const std::vector<std::string> f = Record::ParseLine(line);
            if (f.size() < Record::kColumns || f[Record::kTime] == "时间")
                continue;
            const std::string key = f[Record::kNumber] + "|" + f[Record::kRun];
            Run* run = nullptr;
            for (auto it = runs.rbegin(); it != runs.rend() && run == nullptr; ++it) {
                if (it->key == key && it->ending.empty())
                    run = &*it;
            }
            if (run == nullptr) {
                runs.push_back(Run());
                run = &runs.back();
                run->key = key;
                run->label = f[Record::kRun];
                run->number = f[Record::kNumber];
                run->time = f[Record::kTime];
            }
            const std::string& result = f[Record::kResult];
            if (result == Record::kMoved) {
                ++run->moved;
            } else if (result == Record::kLeft) {
                ++run->left;
            } else if (result == Record::kFailed) {
                ++run->failed;
                run->failures.push_back(f[Record::kSource] + "：" + f[Record::kDetail]
                                        + (f[Record::kError].empty() ? "" : "（" + f[Record::kError] + "）")
                                        + (f[Record::kBox].empty() ? "" : "，提示框" + f[Record::kBox]));
            } else if (result != Record::kStarted) {
                run->ending = result;
                if (result == Record::kRefused)
                    run->refusal = f[Record::kDetail] + (f[Record::kBox].empty() ? "" : "（提示框" + f[Record::kBox] + "）");
            }
        }
    }
    return runs;
}

std::string Ending(const Run& run)
{
    if (run.ending == Record::kEnded)
        return "";
    if (run.ending == Record::kStopped)
        return "，中止：宿主程序退出或者关闭了窗口";
    if (run.ending == Record::kRefused)
        return "，被拒绝，没有传送任何文件";
    if (run.ending == Record::kBroken)
        return "，插件内部出错，没有做完";
    return "，没有结束的记录：运行被打断（进程被结束或者断电）";
}

bool Failed(const Run& run)
{
    return run.failed != 0 || run.ending == Record::kRefused || run.ending == Record::kBroken;
}

} // namespace

void ReportHistory(const std::string& path, int count, CReport& report)
{
    int files = 0;
    const std::vector<Run> runs = ReadRuns(path, &files);
    if (files == 0) {
        report.Info("传送记录不存在或者是空的：" + path);
        return;
    }
    report.Info("传送记录：" + path + (files > 1 ? "（连同较早的" + std::to_string(files - 1) + "个文件）" : ""));
    // The last run of each kind decides the exit code.
    const Run* lastExport = nullptr;
    const Run* lastImport = nullptr;
    for (const Run& run : runs)
        (run.label.compare(0, 4, "导出") == 0 ? lastExport : lastImport) = &run;
    const size_t first = runs.size() > static_cast<size_t>(count) ? runs.size() - count : 0;
    for (size_t i = first; i < runs.size(); ++i) {
        const Run& run = runs[i];
        const Level level = (&run == lastExport || &run == lastImport) && Failed(run) ? Level::kProblem : Level::kNote;
        report.Add(Level::kInfo, "运行",
                   run.time + " " + run.label + " 第" + run.number + "次：传送" + std::to_string(run.moved) + "个，未传送"
                       + std::to_string(run.left) + "个，失败" + std::to_string(run.failed) + "个" + Ending(run));
        if (!run.refusal.empty())
            report.Add(level, "拒绝", run.refusal);
        for (const std::string& failure : run.failures)
            report.Add(level, "失败", failure);
    }
}

} // namespace check

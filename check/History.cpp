#include "History.h"

#include "engine/TransferRecord.h"
#include "framework/Handle.h"

#include <windows.h>
#include <deque>
#include <map>
#include <memory>
#include <vector>

namespace check {

namespace {

typedef CTransferRecord Record;

// Failures kept for each run shown; the rest are counted.
const size_t kFailuresShown = 20;

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
typedef std::shared_ptr<Run> RunPtr;

// Reads a file line by line without holding more than a block of it.
class CLineReader {
public:
    explicit CLineReader(const std::string& path)
        : m_file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr))
    {
    }
    bool IsOpen() const { return m_file.IsValid(); }
    bool Next(std::string* pLine)
    {
        for (;;) {
            const size_t end = m_buffer.find('\n', m_start);
            if (end != std::string::npos) {
                pLine->assign(m_buffer, m_start, end - m_start);
                m_start = end + 1;
                return true;
            }
            m_buffer.erase(0, m_start);
            m_start = 0;
            char block[65536];
            DWORD read = 0;
            if (!m_file.IsValid() || !::ReadFile(m_file, block, sizeof(block), &read, nullptr) || read == 0) {
                if (m_buffer.empty())
                    return false;
                pLine->swap(m_buffer);
                m_buffer.clear();
                return true;
            }
            m_buffer.append(block, read);
        }
    }

private:
    CFileHandle m_file;
    std::string m_buffer;
    size_t m_start = 0;
};

// The runs of the record in one pass over its lines, keeping the last count runs and the last run of
// each kind, however long the record.
class CRunWindow {
public:
    explicit CRunWindow(size_t count) : m_count(count) {}

    void Add(const std::vector<std::string>& f)
    {
        const std::string who = f.size() > Record::kWho ? f[Record::kWho] : std::string();
        const std::string key = who + "|" + f[Record::kNumber] + "|" + f[Record::kRun];
        auto open = m_open.find(key);
        RunPtr run = open != m_open.end() ? open->second : Start(key, f);
        const std::string& result = f[Record::kResult];
        if (result == Record::kMoved) {
            ++run->moved;
        } else if (result == Record::kLeft) {
            ++run->left;
        } else if (result == Record::kFailed) {
            if (++run->failed <= static_cast<int>(kFailuresShown))
                run->failures.push_back(f[Record::kSource] + "：" + f[Record::kDetail]
                                        + (f[Record::kError].empty() ? "" : "（" + f[Record::kError] + "）")
                                        + (f[Record::kBox].empty() ? "" : "，提示框" + f[Record::kBox]));
        } else if (result != Record::kStarted) {
            run->ending = result;
            if (result == Record::kRefused)
                run->refusal = f[Record::kDetail] + (f[Record::kBox].empty() ? "" : "（提示框" + f[Record::kBox] + "）");
            m_open.erase(key);
        }
    }

    const std::deque<RunPtr>& Recent() const { return m_recent; }
    bool IsLastOfItsKind(const RunPtr& run) const { return run == m_lastExport || run == m_lastImport; }

private:
    RunPtr Start(const std::string& key, const std::vector<std::string>& f)
    {
        RunPtr run = std::make_shared<Run>();
        run->key = key;
        run->label = f[Record::kRun];
        run->number = f[Record::kNumber];
        run->time = f[Record::kTime];
        m_open[key] = run;
        RunPtr& last = run->label.compare(0, 4, "导出") == 0 ? m_lastExport : m_lastImport;
        const RunPtr previous = last;
        last = run;
        Forget(previous);
        m_recent.push_back(run);
        if (m_recent.size() > m_count) {
            RunPtr gone = m_recent.front();
            m_recent.pop_front();
            Forget(gone);
        }
        return run;
    }
    // A run that is neither shown nor the last of its kind is no longer followed: a later line of it
    // (a record far longer than count runs interleaved) starts a new one.
    void Forget(const RunPtr& run)
    {
        if (!run || IsLastOfItsKind(run))
            return;
        for (const RunPtr& shown : m_recent) {
            if (shown == run)
                return;
        }
        auto open = m_open.find(run->key);
        if (open != m_open.end() && open->second == run)
            m_open.erase(open);
    }

    size_t m_count;
    std::deque<RunPtr> m_recent;
    std::map<std::string, RunPtr> m_open;
    RunPtr m_lastExport;
    RunPtr m_lastImport;
};

// Reads the record and its older files, oldest first, into window; the number of files read.
int ReadRuns(const std::string& path, CRunWindow& window)
{
    std::vector<std::string> files;
    for (int n = Record::kOlderFiles; n >= 0; --n)
        files.push_back(Record::OlderFile(path, n));
    files.push_back(path);
    int read = 0;
    for (const std::string& file : files) {
        CLineReader reader(file);
        std::string line;
        bool any = false;
        while (reader.Next(&line)) {
            any = true;
            const std::vector<std::string> f = Record::ParseLine(line);
            if (f.size() >= Record::kWho && f[Record::kTime] != "时间")
                window.Add(f);
        }
        read += any ? 1 : 0;
    }
    return read;
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
    CRunWindow window(static_cast<size_t>(count));
    const int files = ReadRuns(path, window);
    if (files == 0) {
        report.Info("传送记录不存在或者是空的：" + path);
        return;
    }
    report.Info("传送记录：" + path + (files > 1 ? "（连同较早的" + std::to_string(files - 1) + "个文件）" : ""));
    for (const RunPtr& run : window.Recent()) {
        const Level level = window.IsLastOfItsKind(run) && Failed(*run) ? Level::kProblem : Level::kNote;
        report.Add(Level::kInfo, "运行",
                   run->time + " " + run->label + " 第" + run->number + "次：传送" + std::to_string(run->moved)
                       + "个，未传送" + std::to_string(run->left) + "个，失败" + std::to_string(run->failed) + "个"
                       + Ending(*run));
        if (!run->refusal.empty())
            report.Add(level, "拒绝", run->refusal);
        for (const std::string& failure : run->failures)
            report.Add(level, "失败", failure);
        if (run->failures.size() < static_cast<size_t>(run->failed))
            report.Add(level, "失败",
                       "另有" + std::to_string(run->failed - static_cast<int>(run->failures.size())) + "个失败，见传送记录");
    }
}

} // namespace check

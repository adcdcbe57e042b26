#include "History.h"

#include "Console.h"
#include "PluginVersion.h"
#include "TextEncoding.h"
#include "engine/TransferRecord.h"
#include "framework/Gbk.h"
#include "framework/Handle.h"
#include "framework/WideText.h"
#include "settings/Settings.h"

#include <windows.h>
#include <algorithm>
#include <deque>
#include <map>
#include <memory>
#include <vector>

namespace check {

namespace {

typedef CTransferRecord Record;

// Failures kept for each run shown; the rest are counted.
const size_t kFailuresShown = 20;
// A run under way this long is waiting for something: most likely for someone to answer its error box.
const long long kStuckMinutes = 60;

struct Run {
    std::string key;
    std::string who;
    std::string label;  // "导出（自动）", ...
    std::string number;
    std::string time;   // of its first line
    std::string folder; // where it looked for files, from its start line
    std::string org;    // the user organisation ID it ran with, from its start line
    std::string ending; // the result of its end line, or "" when it has none
    std::string refusal;
    size_t order = 0;   // of its first line among all runs read
    bool underWay = false;
    bool stuck = false; // under way for more than kStuckMinutes
    int moved = 0;
    int left = 0;
    int failed = 0;
    std::vector<std::string> failures;

    bool IsExport() const { return label.compare(0, 4, "导出") == 0; }
    bool IsCutOff() const { return ending.empty() && !underWay; }
    bool Failed() const
    {
        return failed != 0 || ending == Record::kRefused || ending == Record::kBroken || IsCutOff() || stuck;
    }
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
        const std::string key = f[Record::kWho] + "|" + f[Record::kNumber] + "|" + f[Record::kRun];
        auto open = m_open.find(key);
        RunPtr run = open != m_open.end() ? open->second : Start(key, f);
        const std::string& result = f[Record::kResult];
        if (result == Record::kMoved) {
            ++run->moved;
        } else if (result == Record::kLeft) {
            ++run->left;
        } else if (result == Record::kFailed) {
            if (++run->failed <= static_cast<int>(kFailuresShown))
                run->failures.push_back(f[Record::kSource] + "：" + f[Record::kDetail] + InBrackets(f[Record::kError])
                                        + BoxNote(f[Record::kBox]));
        } else if (result == Record::kStarted) {
            run->folder = f[Record::kSource];
            run->org = OrgOf(f[Record::kDetail]);
        } else {
            run->ending = result;
            if (result == Record::kRefused)
                run->refusal = f[Record::kDetail] + BoxNote(f[Record::kBox]);
            m_open.erase(key);
        }
    }

    // The last count runs and the last run of each kind, in the order they started.
    std::vector<RunPtr> Shown() const
    {
        std::vector<RunPtr> shown(m_recent.begin(), m_recent.end());
        for (const RunPtr& last : { m_lastExport, m_lastImport }) {
            if (last && std::find(shown.begin(), shown.end(), last) == shown.end())
                shown.push_back(last);
        }
        std::sort(shown.begin(), shown.end(), [](const RunPtr& a, const RunPtr& b) { return a->order < b->order; });
        return shown;
    }
    const RunPtr& LastExport() const { return m_lastExport; }
    const RunPtr& LastImport() const { return m_lastImport; }
    bool IsLastOfItsKind(const RunPtr& run) const { return run == m_lastExport || run == m_lastImport; }

private:
    // An old record's system error ends with a full stop, which does not belong inside brackets.
    static std::string InBrackets(std::string text)
    {
        gbk::DropFullStop(text);
        return text.empty() ? "" : "（" + text + "）";
    }
    static std::string BoxNote(const std::string& box) { return box.empty() ? "" : "，提示框" + box; }
    // The user organisation ID that a start line names: "…用户机构代码（UserOrgID）为“Q900”".
    static std::string OrgOf(const std::string& detail)
    {
        const std::string before = "（UserOrgID）为“";
        const size_t start = detail.find(before);
        const size_t end = start == std::string::npos ? start : detail.find("”", start + before.size());
        return end == std::string::npos ? "" : detail.substr(start + before.size(), end - start - before.size());
    }

    RunPtr Start(const std::string& key, const std::vector<std::string>& f)
    {
        RunPtr run = std::make_shared<Run>();
        run->key = key;
        run->who = f[Record::kWho];
        run->label = f[Record::kRun];
        run->number = f[Record::kNumber];
        run->time = f[Record::kTime];
        run->order = m_started++;
        m_open[key] = run;
        RunPtr& last = run->IsExport() ? m_lastExport : m_lastImport;
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
    size_t m_started = 0;
    std::deque<RunPtr> m_recent;
    std::map<std::string, RunPtr> m_open;
    RunPtr m_lastExport;
    RunPtr m_lastImport;
};

// The lines of a record file that are not as the plug-in writes them: how many, and the first.
struct Foreign {
    int lines = 0;
    int first = 0;
    std::string what; // of the first, following "第N行"

    void Add(int line, const std::string& why)
    {
        if (lines++ == 0) {
            first = line;
            what = why;
        }
    }
};

const char kUtf8Line[] = "是UTF-8文本，插件写的是GBK文本";

// True for a time as the record writes it: "2026-12-08 08:08:43".
bool IsRecordTime(const std::string& time)
{
    const char pattern[] = "0000-00-00 00:00:00";
    if (time.size() != sizeof(pattern) - 1)
        return false;
    for (size_t i = 0; i < time.size(); ++i) {
        if (pattern[i] == '0' ? time[i] < '0' || time[i] > '9' : time[i] != pattern[i])
            return false;
    }
    return true;
}

// Reads a number of 1 to most digits at text[*pAt].
bool ReadNumber(const std::string& text, size_t* pAt, size_t most, unsigned* pValue)
{
    size_t digits = 0;
    *pValue = 0;
    for (; *pAt < text.size() && digits < most && text[*pAt] >= '0' && text[*pAt] <= '9'; ++*pAt, ++digits)
        *pValue = *pValue * 10 + static_cast<unsigned>(text[*pAt] - '0');
    return digits > 0;
}

// Reads the character c at text[*pAt].
bool ReadChar(const std::string& text, size_t* pAt, char c)
{
    if (*pAt >= text.size() || text[*pAt] != c)
        return false;
    ++*pAt;
    return true;
}

// The time of a line as the record writes it ("2026-12-08 08:08:43") or as Excel saves it
// ("2026/12/8 8:08"); false for anything else.
bool ParseTime(const std::string& text, SYSTEMTIME* pTime)
{
    unsigned year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    size_t at = 0;
    const char sep = text.size() > 4 ? text[4] : 0;
    if (!ReadNumber(text, &at, 4, &year) || at != 4 || (sep != '-' && sep != '/') || !ReadChar(text, &at, sep)
        || !ReadNumber(text, &at, 2, &month) || !ReadChar(text, &at, sep) || !ReadNumber(text, &at, 2, &day)
        || !ReadChar(text, &at, ' ') || !ReadNumber(text, &at, 2, &hour) || !ReadChar(text, &at, ':')
        || !ReadNumber(text, &at, 2, &minute)
        || (at < text.size() && (!ReadChar(text, &at, ':') || !ReadNumber(text, &at, 2, &second)))
        || at != text.size())
        return false;
    SYSTEMTIME time = {};
    time.wYear = static_cast<WORD>(year);
    time.wMonth = static_cast<WORD>(month);
    time.wDay = static_cast<WORD>(day);
    time.wHour = static_cast<WORD>(hour);
    time.wMinute = static_cast<WORD>(minute);
    time.wSecond = static_cast<WORD>(second);
    FILETIME check;
    if (!::SystemTimeToFileTime(&time, &check))
        return false;
    *pTime = time;
    return true;
}

bool IsRunLabel(const std::string& label)
{
    for (const RunKind kind : { RunKind::kExport, RunKind::kImport }) {
        if (label == Record::RunLabel(kind, true) || label == Record::RunLabel(kind, false))
            return true;
    }
    return false;
}

// True for a line that makes or ends a run: the plug-in's time (or Excel's form of it), one of its run
// labels and one of its results.
bool IsRunLine(const std::vector<std::string>& f)
{
    SYSTEMTIME time;
    return f.size() > Record::kResult && ParseTime(f[Record::kTime], &time) && IsRunLabel(f[Record::kRun])
           && Record::IsResult(f[Record::kResult]);
}

// True for the fields of a line as the plug-in writes them. (Records written before the last column was
// added have one column less.)
bool IsOwnForm(const std::vector<std::string>& f)
{
    return (f.size() == Record::kColumns || f.size() == Record::kColumns - 1) && IsRecordTime(f[Record::kTime])
           && IsRunLine(f);
}

// What makes the fields of a line other than the plug-in writes them.
std::string FormProblem(const std::vector<std::string>& f)
{
    if (!IsRecordTime(f[Record::kTime]))
        return "的时间是" + Quote(f[Record::kTime]) + "，插件写的时间是“年-月-日 时:分:秒”的形式";
    if (f.size() != Record::kColumns && f.size() != Record::kColumns - 1)
        return std::string(f.size() < Record::kColumns ? "只有" : "有") + std::to_string(f.size()) + "列，插件写的是"
               + std::to_string(Record::kColumns) + "列";
    if (!IsRunLabel(f[Record::kRun]))
        return "的运行是" + Quote(f[Record::kRun]) + "，插件写的是“导出（自动）”“导出（手动）”“导入（自动）”或“导入（手动）”";
    return "的结果是" + Quote(f[Record::kResult]) + "，插件不写这个结果";
}

// Minutes from the time of a line to now; false for a time that cannot be read.
bool MinutesSince(const std::string& text, long long* pMinutes)
{
    SYSTEMTIME then, now;
    FILETIME thenFile, nowFile;
    if (!ParseTime(text, &then) || !::SystemTimeToFileTime(&then, &thenFile))
        return false;
    ::GetLocalTime(&now);
    ::SystemTimeToFileTime(&now, &nowFile);
    const auto ticks = [](const FILETIME& t) {
        return static_cast<long long>((static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime);
    };
    *pMinutes = (ticks(nowFile) - ticks(thenFile)) / (60LL * 10000000);
    return true;
}

std::string AgeText(long long minutes)
{
    if (minutes < 0)
        return "在现在之后，请检查计算机的时钟";
    if (minutes < 60)
        return std::to_string(minutes) + "分钟前";
    if (minutes < 48 * 60)
        return std::to_string(minutes / 60) + "小时前";
    return std::to_string(minutes / (24 * 60)) + "天前";
}

// line as GBK text when it is UTF-8 text; false when it is not.
bool Utf8ToGbk(const std::string& line, std::string* pGbk)
{
    if (!IsUtf8Text(line))
        return false;
    *pGbk = FromWide(ToWide(line, CP_UTF8), kGbkCodePage);
    return true;
}

bool IsEmptyLine(const std::vector<std::string>& f)
{
    return std::all_of(f.begin(), f.end(), [](const std::string& field) { return field.empty(); });
}

// Reads one record file into window; the number of its lines. A line in another form (saved by
// another program) is read as far as it can be and counted in foreign; a file that starts as UTF-8 text
// has its UTF-8 lines converted.
int ReadFile(const std::string& file, CRunWindow& window, Foreign& foreign)
{
    CLineReader reader(file);
    std::string line, converted;
    bool utf8 = false;
    int number = 0;
    while (reader.Next(&line)) {
        ++number;
        if (number == 1 && line.compare(0, 3, kUtf8Bom) == 0) {
            line.erase(0, 3);
            utf8 = true;
        }
        const bool fromUtf8 = (utf8 || number == 1) && Utf8ToGbk(line, &converted);
        utf8 = utf8 || fromUtf8;
        std::vector<std::string> f = Record::ParseLine(fromUtf8 ? converted : line);
        const bool header = f[Record::kTime] == "时间";
        if (fromUtf8)
            foreign.Add(number, kUtf8Line);
        else if (!header && !IsOwnForm(f) && !IsEmptyLine(f))
            foreign.Add(number, FormProblem(f));
        if (header || !IsRunLine(f))
            continue;
        f.resize(Record::kColumns);
        window.Add(f);
    }
    return number;
}

std::string Ending(const Run& run)
{
    if (run.underWay)
        return "，还在运行";
    if (run.ending.empty())
        return "，没有结束的记录";
    if (run.ending == Record::kStopped)
        return "，中止（宿主程序退出或者关闭了窗口）";
    if (run.ending == Record::kRefused)
        return "，被拒绝，没有传送任何文件";
    if (run.ending == Record::kBroken)
        return "，插件内部出错，没有做完";
    return "";
}

// Where the run looked for files and with which user organisation ID; an import that found nothing
// says so.
std::string Place(const Run& run)
{
    if (run.folder.empty())
        return "";
    const bool foundNothing = !run.IsExport() && run.ending == Record::kEnded && run.moved + run.left + run.failed == 0;
    return std::string("；") + (run.IsExport() ? "发送目录" : "交付文件夹") + run.folder
           + (run.org.empty() ? "" : "，用户机构代码“" + run.org + "”") + (foundNothing ? "；交付文件夹里没有送来的文件" : "");
}

// The time and age of the last run of a kind, and whether it is within hours (0: not asked).
std::string Newest(const RunPtr& last, const char* kind, int hours, bool* pStale)
{
    long long minutes = 0;
    const bool known = last && MinutesSince(last->time, &minutes);
    *pStale = hours > 0 && (!known || minutes > hours * 60LL);
    if (!last)
        return std::string("记录里没有") + kind + (hours > 0 ? "（--within要求" + std::to_string(hours) + "小时内有一次）" : "");
    return std::string("最近一次") + kind + "在" + last->time + (known ? "（" + AgeText(minutes) + "）" : "")
           + (*pStale && last ? "，超过了--within给的" + std::to_string(hours) + "小时" : "");
}

// Why a run did not finish, or "" when it did or still runs.
std::string Unfinished(const Run& run)
{
    const char kLeftForNext[] = "。没有处理的文件留在原处，下一次运行会再传送";
    if (run.ending == Record::kBroken)
        return "运行编号" + run.number + "因为插件内部出错没有做完" + kLeftForNext;
    if (run.IsCutOff())
        return "运行编号" + run.number + "没有做完：记录里没有它的结束行，它也不在运行，进程被结束了或者断了电"
               + kLeftForNext;
    return "";
}

std::string KindState(const RunPtr& last, const char* kind)
{
    if (!last)
        return std::string("记录里没有") + kind;
    return std::string("最近一次") + kind + (last->underWay ? "还在运行，到现在没有失败" : "没有失败");
}

std::string Conclusion(const CRunWindow& window, const std::string& planCommand)
{
    const RunPtr& exported = window.LastExport();
    const RunPtr& imported = window.LastImport();
    const bool exportFailed = exported && exported->Failed();
    const bool importFailed = imported && imported->Failed();
    if (exportFailed || importFailed)
        return std::string(exportFailed && importFailed ? "最近一次导出和最近一次导入" : exportFailed ? "最近一次导出" : "最近一次导入")
               + "有失败、被拒绝或者没有做完，见上面的[失败]、[拒绝]、[中断]和[等待]行。请按原因处理；没有传送的文件留在原处，"
                 "下一次运行会再传送"
               + (planCommand.empty() ? "" : "。要看这些文件现在的情况，请运行 " + planCommand);
    if (exported && imported && !exported->underWay && !imported->underWay)
        return "最近一次导出和最近一次导入都没有失败";
    return KindState(exported, "导出") + "，" + KindState(imported, "导入");
}

} // namespace

HistoryResult ReportHistory(const std::string& path, int count, int withinHours, const std::string& planCommand,
                            CReport& report)
{
    std::vector<std::string> files;
    for (int n = Record::kOlderFiles; n >= 0; --n)
        files.push_back(Record::OlderFile(path, n));
    files.push_back(path);
    CRunWindow window(static_cast<size_t>(count));
    std::vector<std::pair<std::string, Foreign>> foreign;
    int read = 0;
    // Lines that runs could not add to the record wait beside it, for the next run that can.
    const std::string waiting = Record::WaitingFile(path);
    int waitingLines = 0;
    for (const std::string& file : files) {
        Foreign lines;
        read += ReadFile(file, window, lines) > 0 ? 1 : 0;
        if (lines.lines != 0)
            foreign.emplace_back(file, lines);
    }
    {
        Foreign lines;
        waitingLines = std::max(0, ReadFile(waiting, window, lines) - 1);
        if (lines.lines != 0)
            foreign.emplace_back(waiting, lines);
    }
    files.push_back(waiting);
    if (waitingLines > 0)
        report.Note(std::to_string(waitingLines) + "行记录还在" + waiting + "里，没有写进传送记录：运行时传送记录被别的程序（例如Excel）"
                    "占用，写不进去。请关闭占用它的程序，下一次运行会把这些行补进传送记录。下面的运行已经包括这些行");
    const std::vector<RunPtr> shown = window.Shown();
    const char* foreignNote = foreign.empty() ? "" : "传送记录里有不是插件写的行（见上面的[错误]行），只按读得出来的行判断：";
    if (read > 0)
        report.Info("传送记录：" + path + (read > 1 ? "（连同较早的" + std::to_string(read - 1) + "个文件）" : ""));
    for (const auto& file : foreign)
        report.Problem("传送记录" + file.first + "有" + std::to_string(file.second.lines) + "行不是插件写的格式，例如第"
                       + std::to_string(file.second.first) + "行" + file.second.what
                       + "。这个文件被别的程序（例如Excel）另存过，读出来的可能不全或者不对。请给这个文件改个名字（例如改为"
                         "传送记录-另存.csv），插件会重新开始一个记录；以后请不要在Excel里保存传送记录");
    if (shown.empty()) {
        report.Add(Level::kInfo, "结论",
                   foreignNote + std::string("没有可查的传送记录：")
                       + (read > 0 ? path + "里没有运行的记录" : "没有找到" + path)
                       + "，也没有较早的" + Record::OlderFile(settings::kRecordFile, 1) + "到"
                       + Record::OlderFile(settings::kRecordFile, Record::kOlderFiles) + "。请确认上面的工作目录是宿主程序的工作目录（"
                       + settings::kLogFile + "所在的文件夹）；不是时，请把宿主程序的工作目录写在命令的最后，例如 "
                       + Argument(OwnPath()) + " --history D:\\QRVHUB\\Work。"
                         "宿主程序还没有运行过导出或导入，或者RecordTransfers为0时，也没有记录");
        return { HistoryVerdict::kNoRecord, !foreign.empty(), withinHours > 0 };
    }
    bool manyComputers = false;
    for (const RunPtr& run : shown)
        manyComputers = manyComputers || run->who != shown.front()->who;
    for (const RunPtr& run : shown) {
        run->underWay = run->ending.empty() && !run->who.empty()
                        && std::any_of(files.begin(), files.end(), [&](const std::string& file) {
                               return Record::IsBeingWritten(file, run->who, run->number);
                           });
        long long minutes = 0;
        run->stuck = run->underWay && MinutesSince(run->time, &minutes) && minutes > kStuckMinutes;
        const Level level = window.IsLastOfItsKind(run) && run->Failed() ? Level::kProblem : Level::kNote;
        report.Add(Level::kInfo, "运行",
                   run->time + " " + run->label + " 运行编号" + run->number
                       + (manyComputers && !run->who.empty() ? "（" + run->who + "）" : "") + "：传送"
                       + std::to_string(run->moved) + "个，未传送" + std::to_string(run->left) + "个，失败"
                       + std::to_string(run->failed) + "个" + Ending(*run) + Place(*run));
        if (!run->refusal.empty())
            report.Add(level, "拒绝", run->refusal);
        for (const std::string& failure : run->failures)
            report.Add(level, "失败", failure);
        if (run->failures.size() < static_cast<size_t>(run->failed))
            report.Add(level, "失败",
                       "另有" + std::to_string(run->failed - static_cast<int>(run->failures.size())) + "个失败，见传送记录");
        const std::string unfinished = Unfinished(*run);
        if (!unfinished.empty())
            report.Add(level, "中断", unfinished);
        if (run->stuck)
            report.Add(level, "等待", "运行编号" + run->number + "从" + run->time + "开始，" + AgeText(minutes)
                                          + "就开始了，到现在还没有结束：可能在等人点“错误信息”提示框。请到宿主程序所在的计算机上看一看，"
                                            "点“确定”以后运行会接着做完");
    }
    const bool failed = (window.LastExport() && window.LastExport()->Failed())
                        || (window.LastImport() && window.LastImport()->Failed());
    bool exportStale = false, importStale = false;
    const std::string newest = Newest(window.LastExport(), "导出", withinHours, &exportStale) + "，"
                               + Newest(window.LastImport(), "导入", withinHours, &importStale);
    report.Add(Level::kInfo, "结论", foreignNote + Conclusion(window, planCommand) + "。" + newest);
    return { failed ? HistoryVerdict::kFailed : HistoryVerdict::kNoFailure, !foreign.empty(),
             exportStale || importStale };
}

} // namespace check

// Law 4: the transfer record tells each run whole and true.
#include "Laws.h"

#include "Outcome.h"

#include "Text.h"
#include "engine/TransferRecord.h"
#include "support/TestSupport.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>

namespace hostile {

namespace {

const char* const kRefusalMarks[] = { "不能导出数据", "不能导入数据", "不能导出或导入数据", "还没有设置" };

bool IsRotated(const RunSeen& seen)
{
    return seen.recordBefore.main.size() >= kRecordRotateBytes && seen.recordAfter.olderExists[0]
           && seen.recordAfter.older[0] == CCensus::Hash(seen.recordBefore.main);
}

// True when the older record i + 1 is the same in a and b.
bool SameOlder(const RecordFiles& a, const RecordFiles& b, int i)
{
    return a.olderExists[i] == b.olderExists[i] && a.older[i] == b.older[i];
}

bool Contains(const std::string& text, const char* part)
{
    return text.find(part) != std::string::npos;
}

// The counts an end line gives: "传送N个，未传送M个，失败K个".
bool EndCounts(const std::string& detail, int counts[3])
{
    for (size_t at = detail.find("传送"); at != std::string::npos; at = detail.find("传送", at + 1)) {
        if (std::sscanf(detail.c_str() + at, "传送%d个，未传送%d个，失败%d个", &counts[0], &counts[1], &counts[2]) == 3)
            return true;
    }
    return false;
}

class CRecordLaw {
public:
    CRecordLaw(const Workspace& ws, const CModel& model, const RunSeen& seen, std::vector<Violation>* violations)
        : m_ws(ws), m_model(model), m_seen(seen), m_violations(violations)
    {
    }

    void Check()
    {
        const bool on = !(m_ws.recordTransfers.stored == Stored::kDword && m_ws.recordTransfers.value == 0);
        // The record and its older files are the host's: what a neighbour writes into them, renames or
        // deletes is beyond the plug-in.
        for (const Fact& fact : m_seen.facts) {
            if (fact.done && fact.kind != Event::kHold && (IsRecordFile(fact.path) || IsRecordFile(fact.to)))
                return;
        }
        if (!on) {
            if (Changed())
                Add("the record changed though RecordTransfers is 0");
            return;
        }
        CheckFiles();
        std::string tail;
        const std::vector<std::vector<std::string>> lines = AddedLines(m_seen, &tail);
        if (!tail.empty())
            Add("a line was written in part: " + Utf8FromGbk(tail));
        // While another program holds the record without sharing, lines are passed over: which ones
        // depends on when it held it.
        if (RecordHeld())
            return;
        if (lines.empty()) {
            Add("the run wrote no line");
            return;
        }
        for (const std::vector<std::string>& line : lines) {
            if (line.size() != CTransferRecord::kColumns) {
                Add("a line with " + std::to_string(line.size()) + " fields");
                return;
            }
        }
        if (m_seen.alongside) {
            CheckTogether(lines);
            return;
        }
        CheckFrame(lines);
        CheckEntries(lines);
        CheckBoxes(lines);
    }

private:
    void Add(const std::string& text) { m_violations->push_back({ 4, text }); }

    // The record or one of its older files ("传送记录.N.csv").
    bool IsRecordFile(const std::wstring& path) const
    {
        const std::wstring record = RecordPath(m_ws);
        const std::wstring stem = record.substr(0, record.size() - 4);
        return !path.empty() && SameName(path.substr(0, std::min(path.size(), stem.size())), stem)
               && m_model.IsHostFile(path);
    }

    // True when a neighbour held the record open for some time during the run.
    bool RecordHeld() const
    {
        for (const Fact& fact : m_seen.facts) {
            if (fact.done && fact.kind == Event::kHold && SameName(fact.path, RecordPath(m_ws)))
                return true;
        }
        return false;
    }

    bool Changed() const
    {
        const RecordFiles& a = m_seen.recordBefore;
        const RecordFiles& b = m_seen.recordAfter;
        for (int i = 0; i < 3; ++i) {
            if (!SameOlder(a, b, i))
                return true;
        }
        return a.exists != b.exists || a.main != b.main;
    }

    void CheckFiles()
    {
        const RecordFiles& a = m_seen.recordBefore;
        const RecordFiles& b = m_seen.recordAfter;
        if (IsRotated(m_seen)) {
            for (int i = 0; i < 2; ++i) {
                if (a.olderExists[i] && (!b.olderExists[i + 1] || b.older[i + 1] != a.older[i]))
                    Add("rotating the record lost the older record " + std::to_string(i + 1));
            }
            return;
        }
        for (int i = 0; i < 3; ++i) {
            if (!SameOlder(a, b, i))
                Add("the older record " + std::to_string(i + 1) + " changed though the record did not rotate");
        }
        if (b.main.compare(0, a.main.size(), a.main) != 0)
            Add("the record's earlier lines changed");
    }

    // A start line first, an end line last, all of this run.
    void CheckFrame(const std::vector<std::vector<std::string>>& lines)
    {
        const std::string run = std::string(m_seen.run == Run::kExport ? "导出" : "导入") + "（自动）";
        for (const std::vector<std::string>& line : lines) {
            if (line[CTransferRecord::kRun] != run || line[CTransferRecord::kNumber] != lines[0][CTransferRecord::kNumber]) {
                Add("a line of another run: " + Utf8FromGbk(line[CTransferRecord::kRun] + " " + line[CTransferRecord::kNumber]));
                return;
            }
        }
        if (lines.front()[CTransferRecord::kResult] != CTransferRecord::kStarted)
            Add("the run's first line is not its start: " + Utf8FromGbk(lines.front()[CTransferRecord::kResult]));
        const std::string& end = lines.back()[CTransferRecord::kResult];
        if (lines.size() < 2
            || (end != CTransferRecord::kEnded && end != CTransferRecord::kRefused && end != CTransferRecord::kStopped
                && end != CTransferRecord::kBroken))
            Add("the run has no end line");
    }

    // Two runs at once, each told whole by the lines of its number: a delivery one of them handed over
    // is recorded as transferred once, and the other run leaves it without a failure.
    void CheckTogether(const std::vector<std::vector<std::string>>& lines)
    {
        std::map<std::string, std::vector<std::vector<std::string>>> runs;
        for (const std::vector<std::string>& line : lines)
            runs[line[CTransferRecord::kNumber]].push_back(line);
        for (const auto& run : runs)
            CheckFrame(run.second);
        for (const EntryOutcome& outcome : Observe(m_model, m_seen)) {
            if (outcome.what != EntryOutcome::kCopiedAndGone || outcome.archive.empty())
                continue;
            int moved = 0;
            for (const std::vector<std::string>& line : lines) {
                if (!SameName(FromGbk(GbkNameOf(line[CTransferRecord::kSource])), outcome.name))
                    continue;
                const std::string& result = line[CTransferRecord::kResult];
                moved += result == CTransferRecord::kMoved ? 1 : 0;
                if (result == CTransferRecord::kFailed)
                    Add("a delivery the other run handed over is recorded as failed: " + Utf8FromGbk(line[CTransferRecord::kSource] + " " + line[CTransferRecord::kDetail]));
            }
            if (moved != 1)
                Add(Utf8(outcome.source) + " was handed over, and recorded as transferred " + std::to_string(moved) + " times");
        }
    }

    // One line for each file the run found, matched by name, saying what became of it.
    void CheckEntries(const std::vector<std::vector<std::string>>& lines)
    {
        if (lines.size() < 2)
            return;
        const std::string& end = lines.back()[CTransferRecord::kResult];
        std::vector<EntryOutcome> listed;
        if (end != CTransferRecord::kRefused)
            listed = Observe(m_model, m_seen);
        int counts[3] = { 0, 0, 0 };
        for (size_t i = 1; i + 1 < lines.size(); ++i) {
            const std::vector<std::string>& line = lines[i];
            const std::string& result = line[CTransferRecord::kResult];
            const int kind = result == CTransferRecord::kMoved ? 0 : result == CTransferRecord::kLeft ? 1 : result == CTransferRecord::kFailed ? 2 : -1;
            if (kind < 0) {
                Add("a file's line says " + Utf8FromGbk(result));
                continue;
            }
            ++counts[kind];
            const std::string name = GbkNameOf(line[CTransferRecord::kSource]);
            const auto match = std::find_if(listed.begin(), listed.end(), [&](const EntryOutcome& outcome) {
                const std::vector<std::string> spellings = NarrowSpellings(outcome.name);
                return std::find(spellings.begin(), spellings.end(), name) != spellings.end();
            });
            if (match == listed.end()) {
                // The run makes the record and the log in its working directory, which may be the folder it walks.
                const std::wstring path = JoinPath(m_model.Walked(m_seen.run), FromGbk(name));
                if (!TouchedSpelling(m_seen, name) && !m_model.IsHostFile(path))
                    Add("a line for " + Utf8FromGbk(name) + ", which the folder did not hold");
                continue;
            }
            const EntryOutcome outcome = *match;
            listed.erase(match);
            std::string exact;
            if (outcome.touched || m_model.IsHostFile(outcome.source))
                continue;
            if (!CModel::IsTransferable(outcome.name, &exact))
                CheckUntransferable(line, outcome);
            else
                CheckLine(line, outcome);
        }
        if (end == CTransferRecord::kEnded) {
            for (const EntryOutcome& outcome : listed) {
                if (!outcome.touched)
                    Add("no line for " + Utf8(outcome.source));
            }
        }
        int told[3] = { 0, 0, 0 };
        if (end != CTransferRecord::kRefused && EndCounts(lines.back()[CTransferRecord::kDetail], told)
            && !std::equal(told, told + 3, counts))
            Add("the end line counts " + Utf8FromGbk(lines.back()[CTransferRecord::kDetail]) + " but the lines say "
                + std::to_string(counts[0]) + " / " + std::to_string(counts[1]) + " / " + std::to_string(counts[2]));
    }

    // What one line says against what the disk shows.
    void CheckLine(const std::vector<std::string>& line, const EntryOutcome& outcome)
    {
        const std::string& result = line[CTransferRecord::kResult];
        const std::string& detail = line[CTransferRecord::kDetail];
        const std::string what = Utf8(outcome.source) + ": " + Utf8FromGbk(result + "，" + detail);
        const bool copied = outcome.what == EntryOutcome::kCopied || outcome.what == EntryOutcome::kCopiedAndGone;
        if (result == CTransferRecord::kMoved) {
            if (!copied || !SameName(NameOf(outcome.target), FromGbk(GbkNameOf(line[CTransferRecord::kTarget]))))
                Add("the record says transferred, but the copy is not where the line says: " + what);
            if (Contains(detail, "已删除源文件") && (outcome.what == EntryOutcome::kStayed || outcome.what == EntryOutcome::kCopied))
                Add("the record says the source was deleted, but it is still there: " + what);
            const size_t backup = detail.find("备份为 ");
            if (backup != std::string::npos
                && !SameName(outcome.archive, JoinPath(m_model.Delivery(), FromGbk(detail.substr(backup + std::strlen("备份为 "))))))
                Add("the record names an archive that does not hold the file: " + what);
        } else if (Contains(detail, "已经被别的程序移走或删除")) {
            if (outcome.what != EntryOutcome::kGone)
                Add("the record says the source was gone, but it is there: " + what);
        } else if (outcome.what != EntryOutcome::kStayed && outcome.what != EntryOutcome::kCopied) {
            Add("the record says the file stayed, but it did not: " + what);
        }
    }

    // A name outside GBK or ending in a dot or blank cannot be opened by the name the narrow functions
    // give: such a file stays where it is, with its reason, and without a box.
    void CheckUntransferable(const std::vector<std::string>& line, const EntryOutcome& outcome)
    {
        const std::string& result = line[CTransferRecord::kResult];
        const std::string& detail = line[CTransferRecord::kDetail];
        if (result != CTransferRecord::kLeft || Contains(detail, "已经被别的程序移走或删除"))
            Add("a file whose name the narrow functions cannot give back exactly is recorded as "
                + Utf8FromGbk(result + "，" + detail) + ": " + Utf8(outcome.source));
    }

    // Every box shown is marked in the line it belongs to.
    void CheckBoxes(const std::vector<std::vector<std::string>>& lines)
    {
        size_t shown = 0;
        for (const std::vector<std::string>& line : lines)
            shown += line[CTransferRecord::kBox] == "正在显示" ? 1 : 0;
        if (shown != m_seen.call.boxes.size())
            Add(std::to_string(m_seen.call.boxes.size()) + " boxes were shown, the record marks " + std::to_string(shown));
    }

    const Workspace& m_ws;
    const CModel& m_model;
    const RunSeen& m_seen;
    std::vector<Violation>* m_violations;
};

} // namespace

std::vector<std::vector<std::string>> AddedLines(const RunSeen& seen, std::string* tail)
{
    const std::string& before = seen.recordBefore.main;
    const std::string& after = seen.recordAfter.main;
    std::string added = after;
    if (!IsRotated(seen) && after.compare(0, before.size(), before) == 0)
        added = after.substr(before.size());
    std::vector<std::vector<std::string>> lines;
    size_t start = 0;
    for (size_t end = added.find("\r\n"); end != std::string::npos; start = end + 2, end = added.find("\r\n", start)) {
        const std::string text = added.substr(start, end - start);
        // The line end that a torn last line gets first, the lines of earlier runs that waited beside the
        // record, and calls of an unattended host that did not run are not this run's.
        if ((start == 0 && text.empty()) || IsWaitingLine(seen, text) || IsCallThatDidNotRun(text))
            continue;
        const std::vector<std::string> fields = test::SplitCsvLine(text);
        // A new record starts with its header.
        if (fields.size() <= CTransferRecord::kResult || fields[CTransferRecord::kResult] != "结果")
            lines.push_back(fields);
    }
    *tail = added.substr(start);
    return lines;
}

bool WasRefused(const RunSeen& seen)
{
    std::string tail;
    for (const std::vector<std::string>& line : AddedLines(seen, &tail)) {
        if (line.size() > CTransferRecord::kResult && line[CTransferRecord::kResult] == CTransferRecord::kRefused)
            return true;
    }
    for (const Box& box : seen.call.boxes) {
        for (const char* mark : kRefusalMarks) {
            if (box.text.find(FromGbk(mark)) != std::wstring::npos)
                return true;
        }
    }
    return false;
}

void CheckRecord(const Workspace& ws, const CModel& model, const RunSeen& seen, std::vector<Violation>* violations)
{
    CRecordLaw(ws, model, seen, violations).Check();
}

} // namespace hostile

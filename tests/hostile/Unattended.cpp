// An unattended night: the record's last line torn by a power cut, an older record held open, error
// boxes that nobody answers for a while and a host timer that calls the export again meanwhile; and the
// part of law 4 that the person on duty relies on the morning after: every line once, none lost, each
// call that did not run told, and qrvcheck --history not calling a failed run good.
#include "Laws.h"

#include "Random.h"
#include "Record.h"
#include "Text.h"
#include "engine/TransferRecord.h"
#include "support/Programs.h"

#include <set>

namespace hostile {

namespace {

// Its own chance, so that the workspace of a seed stays what it was without it.
const uint64_t kStream = 0x756E617474656E64ULL;
const char kCallThatDidNotRun[] = "上一次自动";

std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    for (size_t start = 0, end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

// A line the plug-in wrote in this session (not the header): all its columns, the last naming computer
// and user.
bool IsWrittenLine(const std::string& line)
{
    const std::vector<std::string> fields = test::SplitCsvLine(line);
    return fields.size() == CTransferRecord::kColumns && !fields[CTransferRecord::kWho].empty()
           && fields[CTransferRecord::kResult] != "结果";
}

} // namespace

void Unattended(Workspace& ws)
{
    CRandom random(ws.seed ^ kStream);
    for (FileSpec& file : ws.files) {
        const bool record = SameName(file.path, RecordPath(ws));
        if (record && random.Percent(40) && file.bytes.size() > 2)
            file.bytes.resize(file.bytes.size() - (random.Percent(50) ? 2 : 30)); // a torn last line
        if (SameName(file.path, OlderPath(ws, 1 + static_cast<int>(random.Below(2)))) && random.Percent(50)) {
            Event hold;
            hold.kind = Event::kHold;
            hold.run = random.Below(ws.runs.size());
            hold.path = file.path;
            ws.events.push_back(hold);
        }
    }
    if (random.Percent(30))
        ws.boxDelayMs = static_cast<DWORD>(random.Between(300, 1500));
    if (ws.boxDelayMs != 0 && random.Percent(60))
        ws.reentryMs = static_cast<DWORD>(random.Between(100, 400));
}

bool IsWaitingLine(const RunSeen& seen, const std::string& line)
{
    return !line.empty() && seen.recordBefore.waiting.find(line + "\r\n") != std::string::npos;
}

bool IsCallThatDidNotRun(const std::string& line)
{
    const std::vector<std::string> fields = test::SplitCsvLine(line);
    return fields.size() == CTransferRecord::kColumns && fields[CTransferRecord::kResult] == CTransferRecord::kRefused
           && fields[CTransferRecord::kDetail].compare(0, sizeof(kCallThatDidNotRun) - 1, kCallThatDidNotRun) == 0;
}

void CheckUnattended(const Workspace& ws, const RunSeen& seen, std::vector<Violation>* violations)
{
    const auto add = [&](const std::string& text) { violations->push_back({ 4, text }); };
    const RecordFiles& before = seen.recordBefore;
    const RecordFiles& after = seen.recordAfter;
    if (ws.recordTransfers.stored == Stored::kDword && ws.recordTransfers.value == 0)
        return;
    for (const Fact& fact : seen.facts) {
        // What a neighbour writes into the record, renames or deletes is beyond the plug-in.
        if (fact.done && fact.kind != Event::kHold && NameOf(fact.path).find(L".csv") != std::wstring::npos
            && SameName(ParentOf(fact.path), ws.work))
            return;
    }
    const std::vector<std::string> main = SplitLines(after.main);
    const std::vector<std::string> waiting = SplitLines(after.waiting);
    std::set<std::string> written;
    int didNotRun = 0;
    for (const std::vector<std::string>* lines : { &main, &waiting }) {
        for (const std::string& line : *lines) {
            if (IsWrittenLine(line) && !written.insert(line).second)
                add("a line is in the record twice: " + Utf8FromGbk(line));
        }
    }
    const std::vector<std::string> earlierLines = SplitLines(before.main + before.waiting);
    const std::set<std::string> earlier(earlierLines.begin(), earlierLines.end());
    for (const std::string& line : main)
        didNotRun += IsCallThatDidNotRun(line) && earlier.count(line) == 0 ? 1 : 0;
    for (const std::string& line : waiting)
        didNotRun += IsCallThatDidNotRun(line) && earlier.count(line) == 0 ? 1 : 0;
    if (didNotRun != seen.call.reentries)
        add("the host called again " + std::to_string(seen.call.reentries) + " times, the record tells "
            + std::to_string(didNotRun));
    const bool rotated = after.olderExists[0] && (!before.olderExists[0] || after.older[0] != before.older[0]);
    for (const std::string& line : SplitLines(before.waiting)) {
        if (IsWrittenLine(line) && !rotated && written.count(line) == 0)
            add("a line that waited beside the record was lost: " + Utf8FromGbk(line));
    }
    // A run whose lines tell a failure is never read as good news.
    bool failed = false;
    std::string tail;
    for (const std::vector<std::string>& line : AddedLines(seen, &tail))
        failed = failed
                 || (line.size() > CTransferRecord::kResult
                     && (line[CTransferRecord::kResult] == CTransferRecord::kFailed
                         || line[CTransferRecord::kResult] == CTransferRecord::kRefused));
    if (failed) {
        const std::string work = Gbk(JoinPath(ws.root, ws.work));
        const test::ProgramResult history = test::RunProgram(test::BinDir() + "\\qrvcheck.exe", "--history \"" + work + "\"", work);
        if (history.exitCode == 0)
            add("the run failed, but qrvcheck --history found no failure");
    }
}

} // namespace hostile

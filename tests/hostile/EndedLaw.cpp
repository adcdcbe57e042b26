// Law 6: a run ended at a file call, as a power cut or Task Manager ends its host, and then made again
// hands every file over once: each is in one place a rule allows with its bytes, no claim waits, no
// claim's copy is left in the receive directory, and no file is recorded as transferred twice.
#include "Laws.h"

#include "Text.h"
#include "engine/TransferRecord.h"

#include <map>

namespace hostile {

namespace {

// The bytes at place that the runs wrote (for an archive: not there before).
size_t NewAt(const RunSeen& seen, const Place& place, uint64_t hash)
{
    size_t count = 0;
    for (const auto& entry : seen.after.Entries()) {
        const Entry* before = seen.before.Find(entry.first);
        if (!entry.second.folder && entry.second.hash == hash && Matches(place, entry.first)
            && (before == nullptr || before->folder || before->hash != hash))
            ++count;
    }
    return count;
}

bool HasAt(const CCensus& census, const std::wstring& path, uint64_t hash)
{
    const Entry* entry = census.Find(path);
    return entry != nullptr && !entry->folder && entry->hash == hash;
}

// The lines added to the record between two of its states.
std::vector<std::vector<std::string>> Added(const RecordFiles& from, const RecordFiles& to)
{
    RunSeen span;
    span.recordBefore = from;
    span.recordAfter = to;
    std::string tail;
    return AddedLines(span, &tail);
}

} // namespace

void CheckEnded(const Workspace& ws, const CModel& model, const RunSeen& seen, std::vector<Violation>* violations)
{
    // The run made again is held to the record law on its own.
    RunSeen again = seen;
    again.before = seen.ended;
    again.recordBefore = seen.recordEnded;
    // A record the ended run moved aside and did not put among the older ones yet: the run made again
    // finishes the rotation, and is judged as the one that rotated it.
    if (seen.recordBefore.main.size() >= kRecordRotateBytes
        && !(seen.recordEnded.olderExists[0] && seen.recordEnded.older[0] == CCensus::Hash(seen.recordBefore.main)))
        again.recordBefore = seen.recordBefore;
    again.endedAt = 0;
    CheckRecord(ws, model, again, violations);
    for (const auto& entry : seen.after.Entries()) {
        if (!entry.second.folder && model.IsClaim(entry.first))
            violations->push_back({ 6, "a claim waits after the run was made again: " + Utf8(entry.first) });
    }
    // A copy the ended run wrote and did not claim (or whose claim is finished) is not left behind.
    for (const std::wstring& name : seen.after.FilesIn(ws.recv.real)) {
        if (seen.run == Run::kImport && !WasRefused(seen) && CModel::IsClaimCopyName(name))
            violations->push_back({ 6, "a claim's copy is left after the run was made again: " + Utf8(JoinPath(ws.recv.real, name)) });
    }
    if (seen.run != Run::kImport || WasRefused(seen))
        return;
    for (const std::wstring& name : seen.before.FilesIn(model.Delivery())) {
        const std::wstring source = JoinPath(model.Delivery(), name);
        const std::vector<Place> routes = model.Routes(seen.run, source);
        if (routes.empty())
            continue;
        const uint64_t hash = seen.before.Find(source)->hash;
        const size_t archives = NewAt(seen, routes[1], hash);
        const bool delivered = HasAt(seen.after, source, hash);
        const bool received = HasAt(seen.after, JoinPath(routes[0].folder, routes[0].name), hash);
        std::string fault;
        if (archives > 1)
            fault = "archived " + std::to_string(archives) + " times";
        else if (archives == 1 && !received)
            fault = "archived, but not in the receive directory";
        else if (archives == 1 && delivered)
            fault = "archived, and still in the delivery folder for the next import";
        if (!fault.empty())
            violations->push_back({ 6, Utf8(source) + ": " + fault });
    }
    // A delivery is recorded as transferred by the ended run or the one made again, not by both.
    std::vector<std::vector<std::string>> lines = Added(seen.recordBefore, seen.recordEnded);
    const std::vector<std::vector<std::string>> later = Added(seen.recordEnded, seen.recordAfter);
    lines.insert(lines.end(), later.begin(), later.end());
    std::map<std::wstring, int> moved;
    for (const std::vector<std::string>& line : lines) {
        if (line.size() == CTransferRecord::kColumns && line[CTransferRecord::kResult] == CTransferRecord::kMoved
            && ++moved[Upper(FromGbk(GbkNameOf(line[CTransferRecord::kSource])))] == 2)
            violations->push_back({ 6, "recorded as transferred twice: " + Utf8FromGbk(line[CTransferRecord::kSource]) });
    }
}

} // namespace hostile

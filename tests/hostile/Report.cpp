#include "Report.h"

#include "Record.h"
#include "Settings.h"
#include "Text.h"

#include <cstdio>

namespace hostile {

namespace {

const char* SpellingName(Spelling spelling)
{
    static const char* const kNames[] = { "plain", "trailing separator", "other case", "\\\\?\\ prefix", "\\\\.\\ prefix",
                                          "second drive letter", "link", "with .." };
    return kNames[static_cast<int>(spelling)];
}

std::string Setting(const char* name, const CModel& model, const FolderSetting& setting)
{
    static const char* const kPresences[] = { "a folder", "missing", "a file" };
    if (setting.unset)
        return std::string(name) + " unset\n";
    return std::string(name) + " = " + Utf8FromGbk(model.Spell(setting)) + "  [" + SpellingName(setting.spelling)
           + "; really " + (setting.real.empty() ? "the root" : Utf8(setting.real)) + ", " + kPresences[static_cast<int>(setting.presence)]
           + "]\n";
}

std::string Dword(const char* name, const DwordSetting& setting)
{
    static const char* const kStored[] = { "unset", "DWORD", "string" };
    return std::string(name) + " = " + (setting.stored == Stored::kAbsent ? "" : std::to_string(setting.value) + " ")
           + "[" + kStored[static_cast<int>(setting.stored)] + "]\n";
}

std::string Tree(const CCensus& census)
{
    std::string text;
    for (const auto& entry : census.Entries()) {
        char line[96];
        if (entry.second.folder)
            std::snprintf(line, sizeof(line), "  %-12s", "<folder>");
        else
            std::snprintf(line, sizeof(line), "  %10llu %08llx", static_cast<unsigned long long>(entry.second.size),
                          static_cast<unsigned long long>(entry.second.hash & 0xFFFFFFFFULL));
        text += std::string(line) + " " + Utf8(entry.first);
        const DWORD attributes = entry.second.attributes;
        if (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM))
            text += std::string("  [") + (attributes & FILE_ATTRIBUTE_READONLY ? "R" : "")
                    + (attributes & FILE_ATTRIBUTE_HIDDEN ? "H" : "") + (attributes & FILE_ATTRIBUTE_SYSTEM ? "S" : "") + "]";
        text += entry.second.unreadable ? "  (unreadable)\n" : "\n";
    }
    return text;
}

std::string Indented(const std::string& text)
{
    std::string out;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        out += "  " + line + "\n";
        start = end + 1;
    }
    return out;
}

std::string DescribeRun(const RunSeen& seen)
{
    std::string text;
    for (const std::string& note : seen.between)
        text += "--- between runs: " + note + "\n";
    if (seen.endedAt != 0)
        text += "--- run " + std::to_string(seen.index + 1) + " in a host process ended at its file call "
                + std::to_string(seen.endedAt) + "; then the tree\n" + Tree(seen.ended);
    text += "--- run " + std::to_string(seen.index + 1) + ": " + RunName(seen.run) + " returned "
                       + std::to_string(seen.call.value) + " after " + std::to_string(seen.call.ms) + " ms"
                       + (seen.planHolds ? "" : " (its folders changed since the plan: law 3 does not hold it)")
                       + (seen.alongside ? " (a second host ran it at the same time)" : "") + "\n";
    for (const Box& box : seen.call.boxes)
        text += "  box \"" + Utf8(box.caption) + "\": " + Utf8(box.text) + "\n";
    for (const Fact& fact : seen.facts)
        text += "  " + Describe(fact) + "\n";
    std::string tail;
    for (const std::vector<std::string>& line : AddedLines(seen, &tail)) {
        std::string joined;
        for (const std::string& field : line)
            joined += (joined.empty() ? "" : " | ") + Utf8FromGbk(field);
        text += "  record: " + joined + "\n";
    }
    if (!tail.empty())
        text += "  record, a part line: " + Utf8FromGbk(tail) + "\n";
    return text;
}

} // namespace

std::string LawName(int law)
{
    static const char* const kNames[] = { "the generator", "conservation", "routing", "the plan", "the record", "the host", "ended and made again", "liveness" };
    return "law " + std::to_string(law) + " " + kNames[law];
}

std::string Report(const Workspace& ws, const CModel& model, const Plan& plan, const CCensus& first,
                   const std::vector<RunSeen>& runs, const std::vector<Violation>& violations)
{
    std::string text = "=== seed " + std::to_string(ws.seed) + "\n";
    for (const Violation& violation : violations)
        text += LawName(violation.law) + ": " + violation.text + "\n";
    text += "--- workspace " + Utf8(ws.root) + ", host's working directory " + Utf8(ws.work) + "\n";
    text += Setting("SourcePath", model, ws.send) + Setting("ExportLocation", model, ws.data) + Setting("DestPath", model, ws.recv);
    text += std::string("UserOrgID = ") + (ws.userOrgIDSet ? "\"" + Utf8FromGbk(ws.userOrgID) + "\"" : "unset")
            + (model.IsUserOrgIDUsable() ? "" : " [not usable]") + "; delivery folder " + Utf8(model.Delivery()) + "\n";
    text += Dword("IsDeleted", ws.isDeleted) + Dword("RecordTransfers", ws.recordTransfers);
    if (ws.hasDrive)
        text += std::string(1, static_cast<char>(ws.driveLetter)) + ": stands for " + Utf8(ws.driveTarget) + "\n";
    for (const Alias& link : ws.links)
        text += Utf8(link.path) + " is a link to " + Utf8(link.target) + "\n";
    text += "OrgMap.ini" + std::string(ws.lfLineEnds ? " (LF)" : "") + ":\n" + Indented(Utf8FromGbk(OrgMapText(ws)));
    text += "--- tree before\n" + Tree(first);
    text += "--- plan (qrvcheck --plan, exit " + std::to_string(plan.exitCode) + ")\n" + Indented(Utf8FromGbk(plan.output));
    text += "--- plan table (qrvcheck --plan-table: run, entry, action, reason, target, archive, source)\n";
    for (const PlanRow& row : plan.rows)
        text += "  " + std::string(row.run == Run::kExport ? "export" : "import") + " | " + Utf8FromGbk(row.entry) + " | "
                + row.action + " | " + row.reason + " | " + Utf8FromGbk(row.target) + " | " + Utf8FromGbk(row.archive)
                + " | " + row.source + "\n";
    if (!plan.unread.empty())
        text += "--- lines of qrvcheck --plan-table that are not rows\n" + Indented(Utf8FromGbk(plan.unread));
    for (const RunSeen& seen : runs)
        text += DescribeRun(seen);
    if (!runs.empty())
        text += "--- tree after\n" + Tree(runs.back().after);
    return text;
}

} // namespace hostile

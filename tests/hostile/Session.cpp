#include "Session.h"

#include "Census.h"
#include "Generate.h"
#include "Hooks.h"
#include "Layout.h"
#include "Laws.h"
#include "Model.h"
#include "Neighbour.h"
#include "Record.h"
#include "Report.h"
#include "Settings.h"
#include "Text.h"
#include "support/Programs.h"
#include "support/TestSupport.h"

#include <cstdio>
#include <functional>
#include <set>

namespace hostile {

namespace {

const DWORD kKeptAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

// The first difference between two censuses among the paths that count, or "".
std::string Difference(const CCensus& a, const CCensus& b, const std::function<bool(const std::wstring&)>& counts)
{
    for (const auto& entry : a.Entries()) {
        if (!counts(entry.first))
            continue;
        const Entry* other = b.Find(entry.first);
        if (other == nullptr)
            return Utf8(entry.first) + " is gone";
        if (other->folder != entry.second.folder || other->hash != entry.second.hash
            || (other->attributes & kKeptAttributes) != (entry.second.attributes & kKeptAttributes))
            return Utf8(entry.first) + " changed";
    }
    for (const auto& entry : b.Entries()) {
        if (counts(entry.first) && a.Find(entry.first) == nullptr)
            return Utf8(entry.first) + " appeared";
    }
    return std::string();
}

bool Everything(const std::wstring&)
{
    return true;
}

std::string Verdict(uint64_t seed, const std::vector<Violation>& violations)
{
    if (violations.empty())
        return "seed " + std::to_string(seed) + ": passed\n";
    std::set<int> laws;
    for (const Violation& violation : violations)
        laws.insert(violation.law);
    std::string names;
    for (int law : laws)
        names += (names.empty() ? "" : ", ") + LawName(law);
    return "seed " + std::to_string(seed) + ": FAILED (" + names + ")\n";
}

class CSession {
public:
    CSession(uint64_t seed, CHost& host, const Options& options)
        : m_ws(Generate(seed, options.root, options.driveLetter)), m_model(m_ws), m_host(host), m_options(options)
    {
    }

    bool Run()
    {
        Clear(m_ws);
        std::string error;
        if (!Lay(m_ws, &error) || !WriteIniFiles(m_ws))
            m_violations.push_back({ 0, "the workspace could not be made: " + error });
        else
            Runs();
        Print((m_violations.empty() && !m_options.show ? std::string() : Report(m_ws, m_model, m_plan, m_first, m_runs, m_violations))
              + Verdict(m_ws.seed, m_violations));
        if (m_violations.empty() || !m_options.keep)
            Clear(m_ws);
        return m_violations.empty();
    }

private:
    void Runs()
    {
        const test::PluginProfile profile(kPluginName);
        StoreSettings(m_ws, m_model, profile);
        const std::string work = Gbk(JoinPath(m_ws.root, m_ws.work));
        // As a host does: it tells the plug-in the data-file location and the user's code, which the
        // plug-in reads when it is loaded.
        if (!m_host.Load(work)) {
            m_violations.push_back({ 5, "QRVLNK.dll does not load, or its imports cannot be reached" });
            return;
        }
        if (!m_ws.data.unset)
            m_host.SetDataFilePath(m_model.ExportLocation());
        if (m_ws.userOrgIDSet)
            m_host.SetUserOrgID(m_ws.userOrgID);
        m_host.Unload();
        m_host.Load(work);
        m_first = CCensus::Take(m_ws);
        const std::string check = test::BinDir() + "\\qrvcheck.exe";
        const test::ProgramResult plan = test::RunProgram(check, "--plan \"" + work + "\"", work);
        m_plan.exitCode = plan.exitCode;
        m_plan.output = plan.output;
        ReadPlanTable(test::RunProgram(check, "--plan-table \"" + work + "\"", work).output, &m_plan);
        if (!m_plan.unread.empty())
            m_violations.push_back({ 3, "qrvcheck --plan-table printed lines that are not rows" });
        CCensus current = CCensus::Take(m_ws);
        const std::string changed = Difference(m_first, current, Everything);
        if (!changed.empty())
            m_violations.push_back({ 2, "qrvcheck --plan changed the workspace: " + changed });
        for (size_t i = 0; i < m_ws.runs.size(); ++i)
            current = RunOne(i, current);
        m_host.Unload();
    }

    CCensus RunOne(size_t index, const CCensus& before)
    {
        m_runs.emplace_back();
        RunSeen& seen = m_runs.back();
        seen.run = m_ws.runs[index];
        seen.index = index;
        seen.before = before;
        seen.recordBefore = ReadRecordFiles(m_ws);
        CNeighbour neighbour(m_ws, index);
        neighbour.Before(0);
        hooks::Arm([&neighbour](unsigned call) { neighbour.Before(call); });
        seen.call = m_host.Call(seen.run, [this, &seen](const CallResult& sofar) { Hung(seen, sofar); }, m_ws.boxDelayMs,
                                m_ws.reentryMs);
        hooks::Disarm();
        neighbour.End();
        seen.facts = neighbour.Facts();
        seen.after = CCensus::Take(m_ws);
        seen.recordAfter = ReadRecordFiles(m_ws);
        const size_t first = m_violations.size();
        CheckFiles(m_ws, m_model, seen, &m_violations);
        // The plan holds while nothing the run reads has changed since it was taken.
        const hostile::Run kind = seen.run;
        seen.planHolds = Difference(m_first, seen.before, [&](const std::wstring& path) { return m_model.Affects(kind, path); }).empty();
        if (seen.planHolds)
            CheckPlan(m_ws, m_model, m_plan, seen, &m_violations);
        CheckRecord(m_ws, m_model, seen, &m_violations);
        CheckUnattended(m_ws, seen, &m_violations);
        CheckHost(seen, &m_violations);
        for (size_t i = first; i < m_violations.size(); ++i)
            m_violations[i].text = "run " + std::to_string(index + 1) + " (" + RunName(seen.run) + "): " + m_violations[i].text;
        return seen.after;
    }

    // On the watcher's thread, while the host's thread is still in the call: tell and end the program.
    [[noreturn]] void Hung(RunSeen& seen, const CallResult& sofar)
    {
        seen.call = sofar;
        seen.after = CCensus::Take(m_ws);
        m_violations.push_back({ 5, std::string(RunName(seen.run)) + " did not return within "
                                        + std::to_string(m_options.timeoutMs / 1000) + " s" });
        Print(Report(m_ws, m_model, m_plan, m_first, m_runs, m_violations) + Verdict(m_ws.seed, m_violations));
        std::fflush(stdout);
        ::ExitProcess(3);
    }

    const Workspace m_ws;
    const CModel m_model;
    CHost& m_host;
    const Options& m_options;
    Plan m_plan;
    CCensus m_first;
    std::vector<RunSeen> m_runs;
    std::vector<Violation> m_violations;
};

} // namespace

void Print(const std::string& text)
{
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
}

bool RunSeed(uint64_t seed, CHost& host, const Options& options)
{
    return CSession(seed, host, options).Run();
}

} // namespace hostile

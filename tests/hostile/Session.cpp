#include "Session.h"

#include "Census.h"
#include "Generate.h"
#include "Hooks.h"
#include "Layout.h"
#include "Laws.h"
#include "Model.h"
#include "Neighbour.h"
#include "OtherHost.h"
#include "Random.h"
#include "Record.h"
#include "Report.h"
#include "Settings.h"
#include "Text.h"
#include "support/Programs.h"
#include "support/TestSupport.h"

#include <cstdio>
#include <functional>
#include <memory>
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
        std::string why;
        if (!m_host.Load(work, &why)) {
            m_violations.push_back({ 5, why });
            return;
        }
        if (!m_ws.data.unset)
            m_host.SetDataFilePath(m_model.ExportLocation());
        if (m_ws.userOrgIDSet)
            m_host.SetUserOrgID(m_ws.userOrgID);
        m_host.Unload();
        m_host.Load(work, &why);
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
        // Law 6: runs ended at a file call, each in the workspace laid out afresh.
        CRandom random(m_ws.seed ^ 0xC075C075C075ULL);
        CRandom atClaim(m_ws.seed ^ 0xC1A1C1A1C1A1ULL);
        for (unsigned cut = 0; cut < m_options.cuts && m_violations.empty(); ++cut) {
            size_t index = random.Below(m_ws.runs.size());
            unsigned at = m_calls[index] != 0 ? static_cast<unsigned>(random.Between(1, m_calls[index])) : 0;
            const bool claim = AtAClaim(atClaim, &index, &at);
            if (at != 0)
                EndAndRunAgain(index, at, claim, work);
        }
        m_host.Unload();
    }

    CCensus RunOne(size_t index, const CCensus& before)
    {
        m_runs.emplace_back();
        RunSeen& seen = m_runs.back();
        seen.run = m_ws.runs[index];
        seen.index = index;
        seen.before = DoBetween(index, before, &seen.between);
        seen.recordBefore = ReadRecordFiles(m_ws);
        CNeighbour neighbour(m_ws, index);
        neighbour.Before(0);
        hooks::Arm([&neighbour](unsigned call) { neighbour.Before(call); });
        std::unique_ptr<COtherHost> other;
        if (m_ws.alongside == index)
            other.reset(new COtherHost(m_ws, seen.run, 0, true, m_options.timeDivisor));
        seen.call = m_host.Call(seen.run, [this, &seen](const CallResult& sofar) { Hung(seen, sofar); }, m_ws.boxDelayMs,
                                m_ws.reentryMs);
        m_calls.push_back(hooks::Calls());
        m_claimCalls.push_back(hooks::ClaimCalls());
        hooks::Disarm();
        neighbour.End();
        seen.facts = neighbour.Facts();
        seen.alongside = other != nullptr;
        const int otherExit = other ? other->Wait(m_options.timeoutMs) : 0;
        seen.after = CCensus::Take(m_ws);
        seen.recordAfter = ReadRecordFiles(m_ws);
        const size_t first = m_violations.size();
        if (otherExit != 0)
            m_violations.push_back({ 5, "the second host's " + std::string(RunName(seen.run)) + " ended with " + std::to_string(otherExit) });
        CheckFiles(m_ws, m_model, seen, &m_violations);
        CheckLiveness(m_ws, m_model, seen, &m_violations);
        // The plan holds while nothing the run reads has changed since it was taken.
        const hostile::Run kind = seen.run;
        seen.planHolds = !seen.alongside
                         && Difference(m_first, seen.before, [&](const std::wstring& path) { return m_model.Affects(kind, path); }).empty();
        if (seen.planHolds)
            CheckPlan(m_ws, m_model, m_plan, seen, &m_violations);
        CheckRecord(m_ws, m_model, seen, &m_violations);
        CheckUnattended(m_ws, seen, &m_violations);
        CheckHost(seen, &m_violations);
        Label(first, "run " + std::to_string(index + 1) + " (" + RunName(seen.run) + ")");
        return seen.after;
    }

    // In one seed of three, a run that claims is to be ended just before one of its claims (its copy
    // written, the delivery not claimed yet): *pIndex and *pAt are set to it, and true is returned.
    bool AtAClaim(CRandom& random, size_t* pIndex, unsigned* pAt) const
    {
        std::vector<size_t> claiming;
        for (size_t i = 0; i < m_claimCalls.size(); ++i) {
            if (!m_claimCalls[i].empty())
                claiming.push_back(i);
        }
        if (claiming.empty() || random.Below(3) != 0)
            return false;
        *pIndex = claiming[random.Below(claiming.size())];
        const std::vector<unsigned>& calls = m_claimCalls[*pIndex];
        *pAt = calls[random.Below(calls.size())];
        return true;
    }

    // After a run ended before its claim: the platform withdraws the delivery whose copy the run left in
    // the receive directory, so that the run made again does not write that copy again.
    void WithdrawCopied(RunSeen& seen)
    {
        const CCensus now = CCensus::Take(m_ws);
        for (const std::wstring& copy : now.FilesIn(m_ws.recv.real)) {
            if (!CModel::IsClaimCopyName(copy))
                continue;
            const uint64_t hash = now.Find(JoinPath(m_ws.recv.real, copy))->hash;
            for (const std::wstring& name : now.FilesIn(m_model.Delivery())) {
                const std::wstring delivery = JoinPath(m_model.Delivery(), name);
                if (now.Find(delivery)->hash != hash || !::DeleteFileW(LongPath(m_ws, delivery).c_str()))
                    continue;
                seen.between.push_back("the platform withdrew " + Utf8(delivery) + ", whose copy the ended run left");
                Fact withdrawn;
                withdrawn.kind = Event::kDelete;
                withdrawn.path = delivery;
                withdrawn.done = true;
                seen.facts.push_back(withdrawn);
                break;
            }
        }
    }

    // Lays the workspace out again, makes the runs before index, then ends run index at the plug-in's
    // file call at (in a host process of its own) and makes it again in this one; with withdraw, the
    // delivery it copied and did not claim is withdrawn in between (WithdrawCopied).
    void EndAndRunAgain(size_t index, unsigned at, bool withdraw, const std::string& work)
    {
        m_host.Unload();
        Clear(m_ws);
        std::string error;
        if (!Lay(m_ws, &error) || !WriteIniFiles(m_ws) || !m_host.Load(work, &error)) {
            m_violations.push_back({ 0, "the workspace could not be made again: " + error });
            return;
        }
        CCensus current = CCensus::Take(m_ws);
        std::vector<std::string> notes;
        for (size_t i = 0; i < index; ++i) {
            DoBetween(i, current, &notes);
            m_host.Call(m_ws.runs[i], [this](const CallResult&) { ::ExitProcess(3); });
            current = CCensus::Take(m_ws);
        }
        m_runs.emplace_back();
        RunSeen& seen = m_runs.back();
        seen.run = m_ws.runs[index];
        seen.index = index;
        seen.endedAt = at;
        seen.before = DoBetween(index, current, &seen.between);
        seen.recordBefore = ReadRecordFiles(m_ws);
        const int exit = COtherHost(m_ws, seen.run, at, false, m_options.timeDivisor).Wait(m_options.timeoutMs);
        if (withdraw)
            WithdrawCopied(seen);
        seen.ended = CCensus::Take(m_ws);
        seen.recordEnded = ReadRecordFiles(m_ws);
        seen.call = m_host.Call(seen.run, [this, &seen](const CallResult& sofar) { Hung(seen, sofar); });
        seen.after = CCensus::Take(m_ws);
        seen.recordAfter = ReadRecordFiles(m_ws);
        const size_t first = m_violations.size();
        if (exit != static_cast<int>(kEndedAtCall) && exit != 0)
            m_violations.push_back({ 5, "the host to be ended at file call " + std::to_string(at) + " ended with " + std::to_string(exit) });
        CheckFiles(m_ws, m_model, seen, &m_violations);
        CheckEnded(m_ws, m_model, seen, &m_violations);
        CheckHost(seen, &m_violations);
        Label(first, "run " + std::to_string(index + 1) + " (" + RunName(seen.run) + ") ended at file call " + std::to_string(at)
                         + " and made again");
    }

    // Does what is due between the runs before run index; the census after it.
    CCensus DoBetween(size_t index, const CCensus& before, std::vector<std::string>* notes)
    {
        bool done = false;
        for (const Between& between : m_ws.between) {
            if (between.run != index)
                continue;
            done = true;
            if (between.kind == Between::kConsume) {
                notes->push_back("the receiving side took every file from " + Utf8(m_ws.recv.real));
                for (const std::wstring& name : before.FilesIn(m_ws.recv.real))
                    ::DeleteFileW(LongPath(m_ws, JoinPath(m_ws.recv.real, name)).c_str());
                continue;
            }
            notes->push_back("the platform delivered again, unchanged, what imports took from " + Utf8(m_model.Delivery()));
            for (const FileSpec& file : m_ws.files) {
                if (SameName(ParentOf(file.path), m_model.Delivery()) && before.Find(file.path) == nullptr)
                    MakeFile(LongPath(m_ws, file.path), file.bytes, file.attributes);
            }
        }
        return done ? CCensus::Take(m_ws) : before;
    }

    void Label(size_t first, const std::string& run)
    {
        for (size_t i = first; i < m_violations.size(); ++i)
            m_violations[i].text = run + ": " + m_violations[i].text;
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
    std::vector<unsigned> m_calls; // the file calls of each run
    std::vector<std::vector<unsigned>> m_claimCalls; // the numbers of its claims among them
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

// Law 3: the plan is the oracle. What the settings check's plan said of each entry of the folder a run
// walks is what the run did with it: the same action, the same target, the same archive. Entries that a
// neighbour touched during the run are held to conservation alone; a run whose folders changed since the
// plan was taken is not held to it at all (the session decides that).
#include "Laws.h"

#include "Outcome.h"
#include "Text.h"

namespace hostile {

namespace {

class CPlanLaw {
public:
    CPlanLaw(const Workspace& ws, const CModel& model, const Plan& plan, const RunSeen& seen,
             std::vector<Violation>* violations)
        : m_ws(ws), m_model(model), m_plan(plan), m_seen(seen), m_violations(violations), m_neighbourActed(false),
          m_backupTouched(false)
    {
        for (const Fact& fact : seen.facts) {
            m_neighbourActed = m_neighbourActed || fact.done;
            // What stands where Backup belongs decides for every delivery.
            m_backupTouched = m_backupTouched
                              || (fact.done && (SameName(fact.path, model.Backup()) || SameName(fact.to, model.Backup())));
        }
    }

    void Check()
    {
        bool planRefused = false;
        for (const PlanRow& row : m_plan.rows) {
            if (row.run != m_seen.run)
                continue;
            if (row.action == "refused")
                planRefused = true;
            else
                m_rows.push_back(&row);
        }
        if (planRefused != WasRefused(m_seen)) {
            if (!m_model.RefusalOf(m_seen.run, m_seen.before).hiddenByDrive && (planRefused || !LinkLedNowhere()))
                Add(planRefused ? "the plan said the run would be refused, but it went ahead"
                                : "the run was refused, but the plan said it would go ahead");
            return;
        }
        if (planRefused)
            return;
        if (m_seen.run == Run::kImport && m_backupTouched)
            return;
        m_used.assign(m_rows.size(), false);
        for (const EntryOutcome& outcome : Observe(m_model, m_seen)) {
            if (outcome.touched || m_model.IsHostFile(outcome.source))
                continue;
            const PlanRow* row = Take(outcome.name);
            if (row == nullptr)
                Add("the plan has no row for " + Utf8(outcome.source) + ", which the run found");
            else
                Compare(*row, outcome);
        }
        for (size_t i = 0; i < m_rows.size(); ++i) {
            const std::string& name = m_rows[i]->entry;
            if (!m_used[i] && m_rows[i]->action != "pass" && !TouchedSpelling(m_seen, name)
                && !m_model.IsHostFile(JoinPath(m_model.Walked(m_seen.run), FromGbk(name))))
                Add("the plan has a row for " + Utf8FromGbk(m_rows[i]->entry) + ", which the folder did not hold");
        }
    }

private:
    void Add(const std::string& text) { m_violations->push_back({ 3, text }); }

    // The row of the entry listed as name: the one with its exact name, else one with a spelling the
    // narrow functions give it.
    const PlanRow* Take(const std::wstring& name)
    {
        for (const std::string& spelling : NarrowSpellings(name)) {
            for (size_t i = 0; i < m_rows.size(); ++i) {
                if (!m_used[i] && m_rows[i]->entry == spelling) {
                    m_used[i] = true;
                    return m_rows[i];
                }
            }
        }
        return nullptr;
    }

    void Compare(const PlanRow& row, const EntryOutcome& outcome)
    {
        const std::string said = "the plan said " + row.action + (row.reason.empty() ? "" : " (" + row.reason + ")");
        const std::string of = " of " + Utf8(outcome.source);
        const bool sourceStayed = outcome.what == EntryOutcome::kStayed || outcome.what == EntryOutcome::kCopied;
        if (row.action == "pass" || row.action == "stay") {
            // Windows renames no copy over a read-only target, and the plan says so; Wine does.
            if ((outcome.newCopy || !outcome.archive.empty() || !sourceStayed) && row.reason != "target-read-only")
                Add(said + ", but the run " + (outcome.newCopy ? "copied it to " + Utf8(outcome.target) : std::string("did not leave it"))
                    + of);
            return;
        }
        const Run run = m_seen.run;
        const FolderSetting& targets = run == Run::kExport ? m_ws.data : m_ws.recv;
        if (outcome.target.empty()) {
            Add(said + " to " + Utf8FromGbk(row.target) + ", but no copy is there" + of);
            return;
        }
        if (!SamePath(FromGbk(row.target), m_model.SpelledPath(targets, outcome.target)))
            Add(said + " to " + Utf8FromGbk(row.target) + ", but the copy is " + Utf8(outcome.target) + of);
        if (row.action == "archive" && outcome.newCopy)
            Add(said + ", but the run copied it again" + of);
        if ((row.source == "stays") != sourceStayed)
            Add(said + " and the source " + row.source + ", but it " + (sourceStayed ? "stayed" : "went") + of);
        if (row.source != "archived")
            return;
        if (outcome.archive.empty())
            Add(said + " and archived as " + Utf8FromGbk(row.archive) + ", but no archive holds it" + of);
        // A neighbour's doings may take or free an archive name.
        else if (!m_neighbourActed
                 && !SamePath(FromGbk(row.archive), m_model.SpelledPath(m_ws.data, outcome.archive)))
            Add(said + " and archived as " + Utf8FromGbk(row.archive) + ", but it is archived as " + Utf8(outcome.archive) + of);
    }

    // The receive directory was given through a link to a Backup not made yet. Wine reports such a link as
    // missing, so the plan cannot tell that it will lead into Backup once the import makes it (Windows
    // shows a junction whose target is missing as a folder of its own).
    bool LinkLedNowhere() const
    {
        if (m_seen.run != Run::kImport || m_ws.recv.spelling != Spelling::kJunction)
            return false;
        for (const Alias& link : m_ws.links) {
            if (link.madeByRun && SameName(link.target, m_ws.recv.real) && !m_seen.before.IsFolder(link.target))
                return true;
        }
        return false;
    }

    const Workspace& m_ws;
    const CModel& m_model;
    const Plan& m_plan;
    const RunSeen& m_seen;
    std::vector<Violation>* m_violations;
    bool m_neighbourActed;
    bool m_backupTouched;
    std::vector<const PlanRow*> m_rows;
    std::vector<bool> m_used;
};

} // namespace

void CheckPlan(const Workspace& ws, const CModel& model, const Plan& plan, const RunSeen& seen,
               std::vector<Violation>* violations)
{
    CPlanLaw(ws, model, plan, seen, violations).Check();
}

} // namespace hostile

#include "Outcome.h"

#include "Text.h"

namespace hostile {

namespace {

// True when the neighbour wrote, renamed, deleted or held a file of that name during the run.
bool TouchedByNeighbour(const RunSeen& seen, const std::wstring& name)
{
    for (const Fact& fact : seen.facts) {
        if (fact.done && (SameName(NameOf(fact.path), name) || SameName(NameOf(fact.to), name)))
            return true;
    }
    return false;
}

} // namespace

bool TouchedSpelling(const RunSeen& seen, const std::string& name)
{
    for (const Fact& fact : seen.facts) {
        for (const std::wstring& path : { fact.path, fact.to }) {
            for (const std::string& spelling : NarrowSpellings(NameOf(path))) {
                if (fact.done && SameName(FromGbk(spelling), FromGbk(name)))
                    return true;
            }
        }
    }
    return false;
}

std::vector<EntryOutcome> Observe(const CModel& model, const RunSeen& seen)
{
    std::vector<EntryOutcome> outcomes;
    std::vector<std::wstring> sources;
    for (const std::wstring& name : seen.before.FilesIn(model.Walked(seen.run)))
        sources.push_back(JoinPath(model.Walked(seen.run), name));
    // An import first finishes the claims earlier ones left.
    for (const auto& entry : seen.before.Entries()) {
        if (seen.run == Run::kImport && !entry.second.folder && model.IsClaim(entry.first))
            sources.push_back(entry.first);
    }
    for (const std::wstring& source : sources) {
        const std::wstring name = NameOf(source);
        if (CModel::IsTemporaryName(name))
            continue;
        EntryOutcome outcome;
        outcome.name = name;
        outcome.source = source;
        outcome.claim = model.IsClaim(source);
        outcome.touched = TouchedByNeighbour(seen, name);
        const Entry* was = seen.before.Find(outcome.source);
        for (const Place& place : model.Routes(seen.run, outcome.source)) {
            if (place.claimed)
                continue;
            for (const auto& entry : seen.after.Entries()) {
                if (entry.second.folder || entry.second.hash != was->hash || !Matches(place, entry.first))
                    continue;
                // A file alike (an empty one) already in Backup is no archive the run made; at the target
                // it gives way to one the run made (under a name that differs in case only).
                const Entry* before = seen.before.Find(entry.first);
                const bool made = before == nullptr || before->folder || before->hash != entry.second.hash;
                if (place.numbered && made)
                    outcome.archive = entry.first;
                else if (!place.numbered && (outcome.target.empty() || made))
                    outcome.target = entry.first;
            }
        }
        const Entry* old = outcome.target.empty() ? nullptr : seen.before.Find(outcome.target);
        outcome.newCopy = !outcome.target.empty() && (old == nullptr || old->folder || old->hash != was->hash);
        const Entry* now = seen.after.Find(outcome.source);
        const bool stayed = now != nullptr && !now->folder && now->hash == was->hash;
        const bool copied = !outcome.target.empty() || !outcome.archive.empty();
        if (copied)
            outcome.what = stayed ? EntryOutcome::kCopied : EntryOutcome::kCopiedAndGone;
        else
            outcome.what = stayed ? EntryOutcome::kStayed : now != nullptr ? EntryOutcome::kChanged : EntryOutcome::kGone;
        outcomes.push_back(outcome);
    }
    return outcomes;
}

} // namespace hostile

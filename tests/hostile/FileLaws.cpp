// Laws 1 and 2: where the bytes of every file are after a run, and what put them there.
#include "Laws.h"

#include "Layout.h"
#include "Outcome.h"
#include "Text.h"

#include <cwchar>

namespace hostile {

namespace {

// A file before the run, or one the neighbour wrote during it, with the places its bytes may be in.
struct Original {
    std::wstring path;
    uint64_t hash;
    ULONGLONG size;
    std::vector<Place> places;
    bool mayVanish; // bytes the neighbour overwrote: a copy made before may exist, none need to
};

class CFileLaws {
public:
    CFileLaws(const Workspace& ws, const CModel& model, const RunSeen& seen, std::vector<Violation>* violations)
        : m_ws(ws), m_model(model), m_seen(seen), m_violations(violations), m_refused(WasRefused(seen))
    {
    }

    void Check()
    {
        CheckRefusal();
        CheckHandOver();
        CollectOriginals();
        for (const Original& original : m_originals)
            Conserve(original);
        for (const auto& entry : m_seen.after.Entries())
            Explain(entry.first, entry.second);
        for (const auto& entry : m_seen.before.Entries()) {
            if (entry.second.folder && !m_seen.after.IsFolder(entry.first) && !IsLink(m_ws, entry.first))
                Add(1, "the folder " + Utf8(entry.first) + " is gone");
        }
    }

private:
    void Add(int law, const std::string& text) { m_violations->push_back({ law, text }); }

    // What the neighbour did to path during the run, if anything.
    const Fact* Touched(const std::wstring& path) const
    {
        for (const Fact& fact : m_seen.facts) {
            if (fact.done && (SameName(fact.path, path) || SameName(fact.to, path)))
                return &fact;
        }
        return nullptr;
    }

    // A run that should have been refused and was not is told once (CheckRefusal); what it did besides is
    // judged as for a run that may go.
    std::vector<Place> PlacesOf(const std::wstring& path) const
    {
        std::vector<Place> places = { { ParentOf(path), NameOf(path), false } };
        if (!m_refused) {
            const std::vector<Place> routes = m_model.Routes(m_seen.run, path);
            places.insert(places.end(), routes.begin(), routes.end());
        }
        return places;
    }

    void CollectOriginals()
    {
        for (const auto& entry : m_seen.before.Entries()) {
            if (entry.second.folder)
                continue;
            const Fact* fact = Touched(entry.first);
            // The host's files change by design; a run that lists them may still copy them.
            const bool gone = (fact != nullptr && (fact->kind == Event::kDelete || fact->kind == Event::kWrite))
                              || m_model.IsHostFile(entry.first);
            Original original = { entry.first, entry.second.hash, entry.second.size, PlacesOf(entry.first), gone };
            if (fact != nullptr && fact->kind == Event::kRename) {
                const std::vector<Place> renamed = PlacesOf(fact->to);
                original.places.insert(original.places.end(), renamed.begin(), renamed.end());
            }
            m_originals.push_back(original);
        }
        for (const Fact& fact : m_seen.facts) {
            if (fact.done && fact.kind == Event::kWrite)
                m_originals.push_back({ fact.path, fact.hash, 0, PlacesOf(fact.path), false });
        }
    }

    bool IsAt(const Original& original, const Place& place) const
    {
        for (const auto& entry : m_seen.after.Entries()) {
            if (!entry.second.folder && entry.second.hash == original.hash && Matches(place, entry.first))
                return true;
        }
        return false;
    }

    // A file may give way to a copy of another that a rule sends to its place (a target replaced).
    bool WasReplaced(const Original& original) const
    {
        const Entry* now = m_seen.after.Find(original.path);
        if (now == nullptr || now->folder)
            return false;
        for (const Original& other : m_originals) {
            if (other.hash != now->hash || &other == &original)
                continue;
            for (size_t i = 1; i < other.places.size(); ++i) {
                if (Matches(other.places[i], original.path))
                    return true;
            }
        }
        return false;
    }

    void Conserve(const Original& original)
    {
        if (original.mayVanish)
            return;
        for (const Place& place : original.places) {
            if (IsAt(original, place))
                return;
        }
        if (WasReplaced(original))
            return;
        // A temporary copy dated long ago is what a run clears away.
        if (CModel::IsTemporaryName(NameOf(original.path)) && NameOf(original.path).find(L"-0000000000000000-") != std::wstring::npos)
            return;
        Add(1, "lost: the bytes of " + Utf8(original.path) + " (" + std::to_string(original.size)
                   + " bytes) are nowhere a rule allows them");
    }

    void Explain(const std::wstring& path, const Entry& entry)
    {
        if (entry.folder) {
            if (!m_seen.before.IsFolder(path) && !IsMadeFolder(path) && !IsLink(m_ws, path))
                Add(2, "a folder appeared where no rule makes one: " + Utf8(path));
            return;
        }
        if (m_model.IsHostFile(path) || m_model.IsClaimMark(path))
            return;
        const Entry* was = m_seen.before.Find(path);
        if ((was != nullptr && !was->folder && was->hash == entry.hash) || Touched(path) != nullptr)
            return;
        if (CModel::IsTemporaryName(NameOf(path))) {
            if (!MayLeave(path))
                Add(1, "a temporary copy was left: " + Utf8(path));
            return;
        }
        bool known = false;
        for (const Original& original : m_originals) {
            if (original.hash != entry.hash)
                continue;
            known = true;
            for (const Place& place : original.places) {
                if (Matches(place, path))
                    return;
            }
        }
        if (!known)
            Add(1, "bytes that no file had before: " + Utf8(path) + " (" + std::to_string(entry.size) + " bytes)");
        else
            Add(2, "bytes placed where no rule sends them: " + Utf8(path) + " holds what " + Utf8(SourceOf(entry.hash)) + " held");
    }

    std::wstring SourceOf(uint64_t hash) const
    {
        for (const Original& original : m_originals) {
            if (original.hash == hash)
                return original.path;
        }
        return std::wstring();
    }

    // A temporary copy a run may leave: the receive side's copy of a claim still waiting in Backup; and
    // any other when the run was ended at a file call (a copy under way is not removed before it is a
    // day old).
    bool MayLeave(const std::wstring& path) const
    {
        if (!CModel::IsClaimCopyName(NameOf(path)))
            return m_seen.endedAt != 0;
        for (const auto& entry : m_seen.after.Entries()) {
            if (m_seen.run == Run::kImport && !entry.second.folder && m_model.IsClaim(entry.first))
                return true;
        }
        return false;
    }

    // Folders a run makes: the platform folders of the mapping (export), Backup and its claim folder
    // (import); links that lead nowhere until a run makes their folder are not counted as folders.
    bool IsMadeFolder(const std::wstring& path) const
    {
        // An import makes Backup before it compares the receive directory with the folders it uses: a
        // link may lead into it only once it is there.
        if (m_seen.run == Run::kImport && SameName(path, m_model.Backup()))
            return true;
        if (m_refused)
            return false;
        if (m_seen.run == Run::kImport)
            return m_model.IsClaimMark(path);
        for (const std::string& code : m_model.PlatformCodes()) {
            if (SameName(path, JoinPath(m_ws.data.real, FromGbk(code))))
                return true;
        }
        return false;
    }

    // A delivery is handed over once: copied and archived, or neither. One copied and left in the
    // delivery folder is copied again by the next import, over what the receiving side made of it.
    void CheckHandOver()
    {
        if (m_seen.run != Run::kImport || m_refused)
            return;
        for (const EntryOutcome& outcome : Observe(m_model, m_seen)) {
            if (outcome.what == EntryOutcome::kCopied && outcome.newCopy && !outcome.touched)
                Add(2, "a delivery was copied but not archived, so the next import copies it again: " + Utf8(outcome.source));
        }
    }

    void CheckRefusal()
    {
        const Refusal refusal = m_model.RefusalOf(m_seen.run, m_seen.before);
        if (refusal.verdict == Verdict::kRefused && !m_refused)
            Add(2, "the run went ahead, but it must be refused: " + refusal.why);
        if (refusal.verdict == Verdict::kGoes && m_refused)
            Add(2, "the run was refused, though its settings are usable and its folders apart");
    }

    const Workspace& m_ws;
    const CModel& m_model;
    const RunSeen& m_seen;
    std::vector<Violation>* m_violations;
    const bool m_refused;
    std::vector<Original> m_originals;
};

} // namespace

void CheckFiles(const Workspace& ws, const CModel& model, const RunSeen& seen, std::vector<Violation>* violations)
{
    CFileLaws(ws, model, seen, violations).Check();
}

} // namespace hostile

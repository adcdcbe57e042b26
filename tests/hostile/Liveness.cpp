// Law 7: a run that went ahead hands over what a rule sends somewhere and nothing in the workspace
// blocks. The other laws say where bytes may go; this one says that they do go, so that a run that
// leaves files, the same way in its plan and on the disk, is caught.
#include "Laws.h"

#include "Text.h"

namespace hostile {

namespace {

const size_t kPathLimit = 259; // characters of a path the narrow functions take, the terminator not counted

class CLiveness {
public:
    CLiveness(const Workspace& ws, const CModel& model, const RunSeen& seen, std::vector<Violation>* violations)
        : m_ws(ws), m_model(model), m_seen(seen), m_violations(violations)
    {
    }

    void Check()
    {
        const std::wstring walked = m_model.Walked(m_seen.run);
        for (const std::wstring& name : m_seen.before.FilesIn(walked)) {
            const std::wstring source = JoinPath(walked, name);
            const std::vector<Place> routes = m_model.Routes(m_seen.run, source);
            if (routes.empty() || Blocked(source, routes))
                continue;
            const Entry* was = m_seen.before.Find(source);
            for (const Place& place : routes) {
                if (!place.claimed && Count(place, was->hash) != 1)
                    m_violations->push_back({ 7, Utf8(source) + " was to be at " + Utf8(JoinPath(place.folder, place.name))
                                                     + (place.numbered ? " (or a numbered name)" : "") + " once, nothing blocked it, and it is there "
                                                     + std::to_string(Count(place, was->hash)) + " times" });
            }
        }
    }

private:
    // New files at place with these bytes (one there before counts at the target, not as an archive).
    size_t Count(const Place& place, uint64_t hash) const
    {
        size_t count = 0;
        for (const auto& entry : m_seen.after.Entries()) {
            const Entry* before = m_seen.before.Find(entry.first);
            const bool was = before != nullptr && !before->folder && before->hash == hash;
            if (!entry.second.folder && entry.second.hash == hash && Matches(place, entry.first) && (!place.numbered || !was))
                ++count;
        }
        return count;
    }

    // Something in the workspace that keeps the file where it is: a name another file of the folder
    // shares but for case, the host's own files, a target that is a folder or a read-only file (Windows
    // does not replace it), a folder to write to that is not one, or a path past the limit.
    bool Blocked(const std::wstring& source, const std::vector<Place>& routes) const
    {
        if (m_model.IsHostFile(source) || IsDeviceLike(NameOf(source)))
            return true;
        for (const std::wstring& other : m_seen.before.FilesIn(ParentOf(source))) {
            if (other != NameOf(source) && SameName(other, NameOf(source)))
                return true;
        }
        for (const Place& place : routes) {
            if (place.claimed)
                continue;
            const std::wstring target = JoinPath(place.folder, place.name);
            const Entry* there = m_seen.before.Find(target);
            if (!place.numbered && there != nullptr && (there->folder || (there->attributes & FILE_ATTRIBUTE_READONLY) != 0))
                return true;
            // A run makes a platform folder or Backup, never the receive directory.
            const bool made = m_seen.run == Run::kExport || place.numbered;
            if (!m_seen.before.IsFolder(place.folder)
                && (!made || m_seen.before.Find(place.folder) != nullptr || !m_seen.before.IsFolder(ParentOf(place.folder))))
                return true;
            const FolderSetting& setting = m_seen.run == Run::kExport ? m_ws.data : place.numbered ? m_ws.data : m_ws.recv;
            if (m_model.SpelledPath(setting, target).size() > kPathLimit)
                return true;
        }
        return false;
    }

    static bool IsDeviceLike(const std::wstring& name) { return !CModel::IsFolderName(Gbk(name)); }

    const Workspace& m_ws;
    const CModel& m_model;
    const RunSeen& m_seen;
    std::vector<Violation>* m_violations;
};

} // namespace

void CheckLiveness(const Workspace& ws, const CModel& model, const RunSeen& seen, std::vector<Violation>* violations)
{
    // A neighbour, a second host or a refusal may each keep files back.
    if (WasRefused(seen) || seen.alongside || !seen.facts.empty())
        return;
    CLiveness(ws, model, seen, violations).Check();
}

} // namespace hostile

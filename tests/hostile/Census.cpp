#include "Census.h"

#include "Layout.h"
#include "Text.h"
#include "framework/Handle.h"

namespace hostile {

namespace {

const uint64_t kFnvOffset = 14695981039346656037ULL;
const uint64_t kFnvPrime = 1099511628211ULL;

} // namespace

uint64_t CCensus::Hash(const std::string& bytes)
{
    uint64_t hash = kFnvOffset;
    for (char c : bytes)
        hash = (hash ^ static_cast<unsigned char>(c)) * kFnvPrime;
    return hash;
}

CCensus CCensus::Take(const Workspace& ws)
{
    CCensus census;
    census.Walk(ws, L"");
    return census;
}

void CCensus::Walk(const Workspace& ws, const std::wstring& folder)
{
    WIN32_FIND_DATAW data;
    CFindHandle find(::FindFirstFileW((LongPath(ws, folder) + L"\\*").c_str(), &data));
    if (!find.IsValid())
        return;
    std::vector<std::wstring> below;
    do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..")
            continue;
        const std::wstring path = JoinPath(folder, name);
        Entry entry;
        entry.attributes = data.dwFileAttributes;
        entry.folder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (entry.folder) {
            if (!IsLink(ws, path))
                below.push_back(path);
        } else {
            entry.size = (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
            std::string bytes;
            entry.unreadable = !ReadBytes(LongPath(ws, path), &bytes);
            entry.hash = entry.unreadable ? 0 : Hash(bytes);
        }
        m_entries[path] = entry;
    } while (::FindNextFileW(find, &data));
    for (const std::wstring& path : below)
        Walk(ws, path);
}

const Entry* CCensus::Find(const std::wstring& path) const
{
    const auto exact = m_entries.find(path);
    if (exact != m_entries.end())
        return &exact->second;
    for (const auto& entry : m_entries) {
        if (SameName(entry.first, path))
            return &entry.second;
    }
    return nullptr;
}

bool CCensus::IsFolder(const std::wstring& path) const
{
    if (path.empty())
        return true;
    const Entry* entry = Find(path);
    return entry != nullptr && entry->folder;
}

std::vector<std::wstring> CCensus::FilesIn(const std::wstring& folder) const
{
    std::vector<std::wstring> names;
    for (const auto& entry : m_entries) {
        if (!entry.second.folder && SameName(ParentOf(entry.first), folder))
            names.push_back(NameOf(entry.first));
    }
    return names;
}

} // namespace hostile

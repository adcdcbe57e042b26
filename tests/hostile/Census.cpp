#include "Census.h"

#include "Text.h"
#include "framework/Handle.h"

namespace hostile {

namespace {

const uint64_t kFnvOffset = 14695981039346656037ULL;
const uint64_t kFnvPrime = 1099511628211ULL;

std::wstring Long(const std::wstring& root, const std::wstring& path)
{
    return L"\\\\?\\" + JoinPath(root, path);
}

// The hash of a file's bytes, read with every sharing allowed; false when it cannot be read.
bool HashFile(const std::wstring& path, uint64_t* pHash)
{
    CFileHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                   nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file.IsValid())
        return false;
    uint64_t hash = kFnvOffset;
    static char buffer[1 << 16];
    DWORD read = 0;
    while (::ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read > 0) {
        for (DWORD i = 0; i < read; ++i)
            hash = (hash ^ static_cast<unsigned char>(buffer[i])) * kFnvPrime;
    }
    *pHash = hash;
    return true;
}

} // namespace

uint64_t CCensus::Hash(const std::string& bytes)
{
    uint64_t hash = kFnvOffset;
    for (char c : bytes)
        hash = (hash ^ static_cast<unsigned char>(c)) * kFnvPrime;
    return hash;
}

CCensus CCensus::Take(const std::wstring& root, const std::vector<std::wstring>& skip)
{
    CCensus census;
    census.Walk(root, L"", skip);
    return census;
}

void CCensus::Walk(const std::wstring& root, const std::wstring& folder, const std::vector<std::wstring>& skip)
{
    WIN32_FIND_DATAW data;
    CFindHandle find(::FindFirstFileW((Long(root, folder) + L"\\*").c_str(), &data));
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
            bool link = false;
            for (const std::wstring& s : skip)
                link = link || SameName(s, path);
            if (!link)
                below.push_back(path);
        } else {
            entry.size = (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
            entry.unreadable = !HashFile(Long(root, path), &entry.hash);
        }
        m_entries[path] = entry;
    } while (::FindNextFileW(find, &data));
    for (const std::wstring& path : below)
        Walk(root, path, skip);
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

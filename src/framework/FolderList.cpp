#include "framework/FolderList.h"

#include "framework/ChildName.h"
#include "framework/Path.h"
#include "framework/SameName.h"

#include <algorithm>

std::vector<FolderEntry> ListFolder(const std::string& folder)
{
    std::vector<FolderEntry> entries;
    CFolderList list(folder);
    FolderEntry entry;
    while (list.Next(&entry))
        entries.push_back(entry);
    // Files whose names are one name but for case, found by sorting the files by that name.
    std::vector<std::pair<WideText, size_t>> keys;
    for (size_t i = 0; i < entries.size(); ++i) {
        if (!entries[i].IsFolder() && entries[i].fault == NameFault::kNone)
            keys.emplace_back(NameKey(ToWide(entries[i].name)), i);
    }
    std::sort(keys.begin(), keys.end());
    for (size_t i = 1; i < keys.size(); ++i) {
        if (keys[i].first == keys[i - 1].first)
            entries[keys[i].second].fault = entries[keys[i - 1].second].fault = NameFault::kCaseTwin;
    }
    return entries;
}

CFolderList::CFolderList(const std::string& folder, const std::string& pattern)
    : m_find(::FindFirstFileW(WidePath(JoinPath(folder, pattern)).c_str(), &m_data)),
      m_dwError(m_find.IsValid() ? 0 : ::GetLastError()), m_bPending(m_find.IsValid())
{
}

bool CFolderList::Next(FolderEntry* pEntry)
{
    if (!m_bPending)
        return false;
    FolderEntry entry;
    const WideText name(m_data.cFileName);
    const bool exact = ToGbkExactly(name, &entry.name);
    const wchar_t last = name.empty() ? L'\0' : name.back();
    if (!exact)
        entry.fault = NameFault::kNotGbk;
    else if (!entry.IsDots() && (last == L'.' || last == L' '))
        entry.fault = NameFault::kTrailingDotOrBlank;
    else if (!entry.IsDots() && IsDeviceName(entry.name))
        entry.fault = NameFault::kDeviceName;
    entry.attributes = m_data.dwFileAttributes;
    entry.size = (static_cast<ULONGLONG>(m_data.nFileSizeHigh) << 32) | m_data.nFileSizeLow;
    entry.lastWrite = m_data.ftLastWriteTime;
    *pEntry = entry;
    m_bPending = ::FindNextFileW(m_find, &m_data) != FALSE;
    if (!m_bPending && ::GetLastError() != ERROR_NO_MORE_FILES)
        m_dwError = ::GetLastError();
    return true;
}

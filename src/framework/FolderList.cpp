#include "framework/FolderList.h"

#include "framework/ChildName.h"
#include "framework/Path.h"

#include <algorithm>

#include <cwchar>

namespace {

// name in GBK, and whether GBK gives it back exactly: no character left out or replaced by a look-alike.
bool ToGbk(const wchar_t* name, std::string* pText)
{
    BOOL usedDefault = FALSE;
    const int bytes = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, name, -1, nullptr, 0, nullptr, &usedDefault);
    if (bytes <= 0)
        return false;
    std::string text(bytes, '\0');
    ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, name, -1, &text[0], bytes, nullptr, &usedDefault);
    text.resize(bytes - 1);
    *pText = text;
    if (usedDefault)
        return false;
    const std::vector<wchar_t> back = ToWide(text);
    const size_t length = std::wcslen(name);
    return back.size() == length && std::wmemcmp(back.data(), name, length) == 0;
}

// name as the file system compares names: in capitals.
std::vector<wchar_t> CaseKey(const std::string& name)
{
    std::vector<wchar_t> key = ToWide(name);
    if (!key.empty())
        ::CharUpperBuffW(key.data(), static_cast<DWORD>(key.size()));
    return key;
}

} // namespace

std::vector<FolderEntry> ListFolder(const std::string& folder)
{
    std::vector<FolderEntry> entries;
    CFolderList list(folder);
    FolderEntry entry;
    while (list.Next(&entry))
        entries.push_back(entry);
    // Files whose names are one name but for case, found by sorting the files by that name.
    std::vector<std::pair<std::vector<wchar_t>, size_t>> keys;
    for (size_t i = 0; i < entries.size(); ++i) {
        if (!entries[i].IsFolder() && entries[i].fault == NameFault::kNone)
            keys.emplace_back(CaseKey(entries[i].name), i);
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
    const bool exact = ToGbk(m_data.cFileName, &entry.name);
    const size_t length = std::wcslen(m_data.cFileName);
    const wchar_t last = length > 0 ? m_data.cFileName[length - 1] : L'\0';
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

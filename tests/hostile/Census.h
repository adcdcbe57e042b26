// Every entry below a workspace's root with what it holds, taken through the wide file functions so that
// names come back exactly: a file's size, attributes and a hash of its bytes.
#pragma once
#include "Workspace.h"

#include <windows.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace hostile {

struct Entry {
    bool folder = false;
    ULONGLONG size = 0;
    uint64_t hash = 0;
    DWORD attributes = 0;
    bool unreadable = false;
};

class CCensus {
public:
    // The entries below the workspace's root; its links are listed as folders but not entered.
    static CCensus Take(const Workspace& ws);
    static uint64_t Hash(const std::string& bytes);

    const std::map<std::wstring, Entry>& Entries() const { return m_entries; }
    // The entry at path, compared as the file system compares names; null when there is none.
    const Entry* Find(const std::wstring& path) const;
    bool IsFolder(const std::wstring& path) const;
    // The files directly in folder, by name.
    std::vector<std::wstring> FilesIn(const std::wstring& folder) const;

private:
    void Walk(const Workspace& ws, const std::wstring& folder);

    std::map<std::wstring, Entry> m_entries;
};

} // namespace hostile

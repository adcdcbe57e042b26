// The organisation mapping in memory: client organisation code -> platform organisation code, made
// from the pairs of OrgMap.ini once, at construction. A pair whose code does not fit its field is left
// out whole (a code cut short could name another organisation), and so is one whose platform code
// would lead out of the data-file location.
#pragma once
#include "settings/Settings.h"

#include <cstddef>
#include <set>
#include <string>
#include <vector>

class COrgCodeTable {
public:
    // Field widths, terminator included: a longer code leaves its pair out.
    static constexpr size_t kClientCodeSize = settings::kClientCodeMax + 1;
    static constexpr size_t kPlatformCodeSize = settings::kPlatformCodeMax + 1;

    explicit COrgCodeTable(const std::vector<settings::OrgMapping>& mappings);
    COrgCodeTable(const COrgCodeTable&) = delete;
    COrgCodeTable& operator=(const COrgCodeTable&) = delete;

    // True for a pair the table keeps.
    static bool IsUsable(const settings::OrgMapping& mapping);

    // The platform code of the first entry whose client code equals clientCode byte for byte, or
    // nullptr. The text belongs to the table.
    const char* Lookup(const char* clientCode) const;
    // True when a pair with that client code was left out, and none kept.
    bool IsRefused(const char* clientCode) const;
    size_t GetCount() const { return m_entries.size(); }

private:
    struct Entry {
        char szClientCode[kClientCodeSize];
        char szPlatformCode[kPlatformCodeSize];
    };
    std::vector<Entry> m_entries;
    std::set<std::string> m_refused;
};

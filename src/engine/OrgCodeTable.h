// The organisation mapping in memory: client organisation code -> platform organisation code, made
// from the pairs of OrgMap.ini once, at construction. A pair whose code does not fit its field is left
// out whole (a code cut short could name another organisation), and so is one whose platform code
// would lead out of the data-file location.
#pragma once
#include "framework/Catalogue.h"
#include "settings/Settings.h"

#include <cstddef>
#include <set>
#include <string>
#include <vector>

// Why the table leaves a pair out.
enum class PairFault { kNone, kNoPlatformCode, kClientCodeTooLong, kPlatformCodeTooLong, kPlatformCodeNotAFolder };

// The catalogue of those: the words the settings check says of the pair, and what to do about it (%k
// stands for the key of the pair's platform code, %c and %p for the longest client and platform code).
struct PairFaultRow {
    PairFault value;
    const char* words;
    const char* remedy;
};

inline constexpr char kShorterCodes[] =
    "请在OrgMap.ini里改用短一些的代码（客户代码最多%c个字节，网商代码最多%p个字节，一个汉字占2个字节）";
inline constexpr PairFaultRow kPairFaults[] = {
    { PairFault::kNone, "", "" },
    { PairFault::kNoPlatformCode, "没有%k（或者它是空的）", "请在OrgMap.ini里补上“%k=网商代码”" },
    { PairFault::kClientCodeTooLong, "客户代码超过%c个字节", kShorterCodes },
    { PairFault::kPlatformCodeTooLong, "网商代码超过%p个字节", kShorterCodes },
    { PairFault::kPlatformCodeNotAFolder,
      "网商代码不是一个文件夹名（含有\\、/、:，只有点和空格，或者是NUL、COM1这样的设备名）", "请改正这个网商代码" },
};
static_assert(HasOneRowPerValue(kPairFaults, PairFault::kPlatformCodeNotAFolder), "one row for each fault, in order");

class COrgCodeTable {
public:
    // Field widths, terminator included: a longer code leaves its pair out.
    static constexpr size_t kClientCodeSize = settings::kClientCodeMax + 1;
    static constexpr size_t kPlatformCodeSize = settings::kPlatformCodeMax + 1;

    explicit COrgCodeTable(const std::vector<settings::OrgMapping>& mappings);
    COrgCodeTable(const COrgCodeTable&) = delete;
    COrgCodeTable& operator=(const COrgCodeTable&) = delete;

    // Why the table leaves the pair out; kNone for a pair it keeps.
    static PairFault FaultOf(const settings::OrgMapping& mapping);
    static bool IsUsable(const settings::OrgMapping& mapping) { return FaultOf(mapping) == PairFault::kNone; }

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

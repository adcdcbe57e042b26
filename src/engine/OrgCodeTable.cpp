#include "engine/OrgCodeTable.h"

#include "framework/ChildName.h"
#include "framework/Gbk.h"

#include <cstring>

COrgCodeTable::COrgCodeTable(const std::vector<settings::OrgMapping>& mappings)
{
    for (const settings::OrgMapping& mapping : mappings) {
        Entry entry;
        if (IsUsable(mapping)) {
            gbk::CopyTo(entry.szClientCode, sizeof(entry.szClientCode), mapping.clientCode);
            gbk::CopyTo(entry.szPlatformCode, sizeof(entry.szPlatformCode), mapping.platformCode);
            m_entries.push_back(entry);
        } else {
            m_refused.insert(mapping.clientCode);
        }
    }
}

// A platform code that does not name a folder directly below the data-file location is never used.
PairFault COrgCodeTable::FaultOf(const settings::OrgMapping& mapping)
{
    if (mapping.platformCode.empty())
        return PairFault::kNoPlatformCode;
    if (mapping.clientCode.size() >= kClientCodeSize)
        return PairFault::kClientCodeTooLong;
    if (mapping.platformCode.size() >= kPlatformCodeSize)
        return PairFault::kPlatformCodeTooLong;
    return IsChildName(mapping.platformCode) ? PairFault::kNone : PairFault::kPlatformCodeNotAFolder;
}

const char* COrgCodeTable::Lookup(const char* clientCode) const
{
    for (const Entry& entry : m_entries) {
        if (std::strcmp(entry.szClientCode, clientCode) == 0)
            return entry.szPlatformCode;
    }
    return nullptr;
}

bool COrgCodeTable::IsRefused(const char* clientCode) const
{
    return Lookup(clientCode) == nullptr && m_refused.count(clientCode) != 0;
}

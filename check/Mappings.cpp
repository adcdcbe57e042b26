#include "Mappings.h"

#include "Folder.h"
#include "engine/OrgCodeTable.h"
#include "framework/Gbk.h"
#include "framework/SameName.h"
#include "settings/Settings.h"

#include <windows.h>
#include <cstdlib>
#include <cstring>

namespace check {

namespace {

// Enough to see how long a value really is.
const size_t kLongRead = 65536;

// The pairs of the sample OrgMap.ini that ships with the plug-in (samples/OrgMap.ini): examples that
// route real files to made-up organisations while they stay in use.
const struct {
    const char* clientCode;
    const char* platformCode;
} kSamplePairs[] = { { "C001", "Q100" }, { "C002", "Q200" }, { "华东", "Q300" } };

bool IsSamplePair(const MappingEntry& entry)
{
    for (const auto& pair : kSamplePairs) {
        if (entry.clientCode == pair.clientCode && entry.platformCode == pair.platformCode)
            return true;
    }
    return false;
}

struct Line {
    std::string key;
    std::string value;
};

// The section's key lines in file order, duplicates included.
std::vector<Line> SectionLines(const std::string& path, const char* section)
{
    std::vector<char> buffer;
    DWORD n = 0;
    for (size_t size = 65536;; size *= 2) {
        buffer.assign(size, '\0');
        n = ::GetPrivateProfileSectionA(section, buffer.data(), static_cast<DWORD>(size), path.c_str());
        if (n + 2 < size || size >= (64u << 20))
            break;
    }
    std::vector<Line> lines;
    for (const char* p = buffer.data(); p < buffer.data() + n && *p; p += std::strlen(p) + 1) {
        const char* equals = std::strchr(p, '=');
        if (equals != nullptr)
            lines.push_back(Line{ std::string(p, equals), equals + 1 });
    }
    return lines;
}

// The index of a key written with format ("ClientID%04d"), or -1.
int IndexOf(const std::string& key, const char* format)
{
    const size_t stem = std::strchr(format, '%') - format;
    if (key.size() <= stem || !IsSameName(key.substr(0, stem), std::string(format, stem)))
        return -1;
    const std::string digits = key.substr(stem);
    if (digits.find_first_not_of("0123456789") != std::string::npos || digits.size() > 9)
        return -1;
    const int index = std::atoi(digits.c_str());
    return IsSameName(settings::NumberedKey(format, index), key) ? index : -1;
}

struct Skip {
    std::string reason; // "" when the table takes the pair
    std::string remedy;
};

Skip SkipOf(const std::string& path, const settings::OrgMapping& row, int index)
{
    const std::string clientKey = settings::NumberedKey(settings::kClientIDFormat, index);
    const std::string platformKey = settings::NumberedKey(settings::kQRVIDFormat, index);
    const std::string limit = std::to_string(settings::kOrgCodeBuffer - 1);
    // What the table's rule says of the pair, and the words of what the reader cut.
    const std::string values[] = { platformKey, std::to_string(COrgCodeTable::kClientCodeSize - 1),
                                   std::to_string(COrgCodeTable::kPlatformCodeSize - 1) };
    const std::string shorter = FillIn(kShorterCodes, "kcp", values);
    if (settings::ReadIniString(path, settings::kOrgMappingSection, clientKey.c_str(), nullptr, kLongRead).size()
        > row.clientCode.size())
        return { "客户代码超过" + limit + "个字节，读取时被截断", shorter };
    if (!row.platformCode.empty()
        && settings::ReadIniString(path, settings::kOrgMappingSection, platformKey.c_str(), nullptr, kLongRead).size()
               > row.platformCode.size())
        return { "网商代码超过" + limit + "个字节，读取时被截断", shorter };
    const PairFaultRow& fault = RowOf(kPairFaults, COrgCodeTable::FaultOf(row));
    return { FillIn(fault.words, "kcp", values), FillIn(fault.remedy, "kcp", values) };
}

} // namespace

std::vector<MappingEntry> ReadMappingEntries()
{
    const std::string path = settings::IniPath(settings::kOrgMapFile);
    const std::vector<settings::OrgMapping> rows = settings::ReadOrgMappingRows();
    std::vector<MappingEntry> entries;
    for (size_t i = 0; i < rows.size(); ++i) {
        MappingEntry entry;
        entry.key = settings::NumberedKey(settings::kClientIDFormat, static_cast<int>(i));
        entry.clientCode = rows[i].clientCode;
        entry.platformCode = rows[i].platformCode;
        const Skip skip = SkipOf(path, rows[i], static_cast<int>(i));
        entry.skipReason = skip.reason;
        entry.remedy = skip.remedy;
        for (const MappingEntry& earlier : entries)
            entry.shadowed = entry.shadowed || (earlier.skipReason.empty() && earlier.clientCode == entry.clientCode);
        entries.push_back(entry);
    }
    // Keys numbered after the first missing or empty client code are never read.
    const std::string gapKey = settings::NumberedKey(settings::kClientIDFormat, static_cast<int>(rows.size()));
    for (const Line& line : SectionLines(path, settings::kOrgMappingSection)) {
        const int index = IndexOf(line.key, settings::kClientIDFormat);
        if (index > static_cast<int>(rows.size()) && !line.value.empty()) {
            MappingEntry entry;
            entry.key = line.key;
            entry.clientCode = line.value;
            entry.skipReason = "编号在" + gapKey + "处中断（缺少或者是空的），后面的对应都读不到";
            entry.remedy = "请用记事本把[OrgMapping]的编号改成从0000起连续（使用说明里有做法）。"
                           "不要用设置页修补：它只读到中断处，按“确定”会删掉后面所有的对应";
            entries.push_back(entry);
        }
    }
    return entries;
}

void CheckMappings(const std::vector<MappingEntry>& entries, CReport& report)
{
    int usable = 0;
    std::string samples;
    for (const MappingEntry& entry : entries) {
        const std::string pair = "代码对应" + entry.key + "=" + Quote(entry.clientCode)
                                 + (entry.platformCode.empty() ? "" : "→" + Quote(entry.platformCode));
        if (!entry.skipReason.empty())
            report.Problem(pair + "被跳过：" + entry.skipReason + "，这个客户代码的文件会留在发送目录。" + entry.remedy);
        else if (entry.shadowed)
            report.Note(pair + "不起作用：前面已经有同一个客户代码的对应，只有第一个起作用。请删除多余的一个");
        else if (gbk::Find(entry.clientCode.c_str(), '_') != nullptr)
            report.Problem(pair + "用不上：客户代码含有下划线，而插件取文件名里前两个下划线之间的部分作为客户代码，"
                                  "它不会含有下划线。请改用不含下划线的客户代码");
        else
            ++usable;
        if (entry.skipReason.empty() && !entry.shadowed && IsSamplePair(entry))
            samples += (samples.empty() ? "" : "、") + entry.clientCode + "→" + entry.platformCode;
    }
    if (!samples.empty())
        report.Note("代码对应里还有示例的对应：" + samples + "。它们只是例子，不是实际的代码：带这些客户代码的文件会传送到"
                    "示例里网商代码的文件夹。请在“代码对应”页删除它们，增加分销系统和平台实际的对应");
    if (usable == 0)
        report.Problem("没有可用的代码对应，导出时所有文件都会留在发送目录。请在“代码对应”页增加客户代码和网商代码的对应");
    else
        report.Ok("代码对应：" + std::to_string(usable) + "个可用");
}

} // namespace check

// The organisation code table against real OrgMap.ini files.
#include "EngineTest.h"
#include "engine/OrgCodeTable.h"

#include <memory>

namespace {

struct TableCase {
    const char* name;
    const char* lines;       // body of [OrgMapping]
    size_t count;            // entries loaded
    std::vector<std::pair<std::string, const char*>> lookups;   // client code -> platform code or null
};

const std::string k23(23, 'c');
const std::string k15(15, 'p');

std::string Pair(int i, const std::string& client, const std::string& platform)
{
    char line[400];
    std::snprintf(line, sizeof(line), "ClientID%04d=%s\r\nQRVID%04d=%s\r\n", i, client.c_str(), i, platform.c_str());
    return line;
}

using OrgCodeTableFile = test::EngineTest;

class OrgCodeTableTest : public test::EngineTest, public ::testing::WithParamInterface<TableCase> {};

TEST_P(OrgCodeTableTest, LoadsAndLooksUp)
{
    const TableCase& c = GetParam();
    WriteOrgMap(c.lines);
    COrgCodeTable table(settings::ReadOrgMappings());
    EXPECT_EQ(c.count, table.GetCount()) << c.name;
    for (const auto& lookup : c.lookups) {
        const char* got = table.Lookup(lookup.first.c_str());
        if (lookup.second == nullptr)
            EXPECT_EQ(nullptr, got) << c.name << ": lookup \"" << lookup.first << "\" gave \"" << got << "\"";
        else
            EXPECT_STREQ(lookup.second, got) << c.name << ": lookup \"" << lookup.first << "\"";
    }
}

const std::string kGap = Pair(0, "A", "PA") + Pair(2, "C", "PC");
const std::string kMissingPlatform = Pair(0, "A", "PA") + "ClientID0001=B\r\n" + Pair(2, "C", "PC");
const std::string kEmptyPlatform = Pair(0, "A", "PA") + Pair(1, "B", "") + Pair(2, "C", "PC");
const std::string kDuplicate = Pair(0, "A", "P1") + Pair(1, "A", "P2");
const std::string kCase = Pair(0, "Ab", "P1");
const std::string kFits = Pair(0, k23, k15);
const std::string kClientTooLong = Pair(0, k23 + "x", "P1") + Pair(1, "B", "PB");
const std::string kPlatformTooLong = Pair(0, "A", k15 + "x") + Pair(1, "B", "PB");
// 22 single bytes and one double-byte character: 24 bytes, one too many; never cut inside the character.
const std::string kGbkTooLong = Pair(0, std::string(22, 'g') + "確", "P1");
const std::string kGbkFits = Pair(0, std::string(21, 'g') + "確", "平台");

INSTANTIATE_TEST_SUITE_P(
    Cases, OrgCodeTableTest,
    ::testing::Values(
        TableCase{ "gap ends loading", kGap.c_str(), 1, { { "A", "PA" }, { "C", nullptr } } },
        TableCase{ "client without platform code is passed over", kMissingPlatform.c_str(), 2,
                   { { "A", "PA" }, { "B", nullptr }, { "C", "PC" } } },
        TableCase{ "empty platform code is passed over", kEmptyPlatform.c_str(), 2,
                   { { "A", "PA" }, { "B", nullptr }, { "C", "PC" } } },
        TableCase{ "first of two duplicates wins", kDuplicate.c_str(), 2, { { "A", "P1" } } },
        TableCase{ "case-sensitive and exact", kCase.c_str(), 1,
                   { { "Ab", "P1" }, { "ab", nullptr }, { "AB", nullptr }, { "Ab ", nullptr }, { "A", nullptr } } },
        TableCase{ "codes that just fit", kFits.c_str(), 1, { { k23, k15.c_str() } } },
        TableCase{ "over-long client code skips its pair", kClientTooLong.c_str(), 1,
                   { { k23 + "x", nullptr }, { k23, nullptr }, { "B", "PB" } } },
        TableCase{ "over-long platform code skips its pair", kPlatformTooLong.c_str(), 1,
                   { { "A", nullptr }, { "B", "PB" } } },
        TableCase{ "over-long GBK client code", kGbkTooLong.c_str(), 0, { { std::string(22, 'g'), nullptr } } },
        TableCase{ "GBK codes that fit", kGbkFits.c_str(), 1, { { std::string(21, 'g') + "確", "平台" } } },
        TableCase{ "empty section", "", 0, { { "A", nullptr } } }));

TEST_F(OrgCodeTableFile, WithoutIniFileIsEmpty)
{
    ASSERT_FALSE(test::Exists(IniPath()));
    COrgCodeTable table(settings::ReadOrgMappings());
    EXPECT_EQ(0u, table.GetCount());
    EXPECT_EQ(nullptr, table.Lookup("A"));
}

TEST_F(OrgCodeTableFile, ReflectsTheFileAtConstruction)
{
    WriteOrgMap(Pair(0, "A", "P1"));
    COrgCodeTable before(settings::ReadOrgMappings());
    WriteOrgMap(Pair(0, "A", "P2"));
    COrgCodeTable after(settings::ReadOrgMappings());
    EXPECT_STREQ("P1", before.Lookup("A"));
    EXPECT_STREQ("P2", after.Lookup("A"));
}

} // namespace

// The registry profile, against the test prefix's real HKCU.
#include "settings/Settings.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

TEST(Profile, StringsAndIntegersRoundTripWithTheirRegistryTypes)
{
    test::CleanProfile clean;
    EXPECT_EQ("", settings::GetString(settings::kSourcePath));

    EXPECT_TRUE(settings::SetString(settings::kSourcePath, "C:\\Send"));
    EXPECT_TRUE(settings::SetInt(settings::kIsDeleted, 1));
    DWORD type = 0;
    std::string data;
    ASSERT_TRUE(test::RegistryValue(settings::kSourcePath, &type, &data));
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
    EXPECT_EQ(std::string("C:\\Send\0", 8), data) << "REG_SZ is stored with its terminator";
    ASSERT_TRUE(test::RegistryValue(settings::kIsDeleted, &type, &data));
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), type);
    EXPECT_EQ(1, settings::GetInt(settings::kIsDeleted));
    EXPECT_EQ("C:\\Send", settings::GetString(settings::kSourcePath));
}

TEST(Profile, NullStringDeletesTheValue)
{
    test::CleanProfile clean;
    ASSERT_TRUE(settings::SetString(settings::kPassword, "secret"));
    EXPECT_TRUE(settings::SetString(settings::kPassword, nullptr));
    DWORD type = 0;
    std::string data;
    EXPECT_FALSE(test::RegistryValue(settings::kPassword, &type, &data));
    EXPECT_EQ("", settings::GetString(settings::kPassword));
}

TEST(Profile, ReadsNeverCreateTheKey)
{
    test::CleanProfile clean;
    test::CleanProfile::Clear();
    EXPECT_EQ("", settings::GetString(settings::kDestPath));
    EXPECT_EQ(1, settings::GetInt(settings::kRecordTransfers));
    HKEY hKey = nullptr;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND,
              ::RegOpenKeyExA(HKEY_CURRENT_USER, test::CleanProfile::SectionPath().c_str(), 0, KEY_READ, &hKey));
}

// Every row of the table: what a run and the setup page read when the value is missing or of the other
// type, against the defaults as the layout gives them.
TEST(Profile, MissingValuesAndOtherTypesReadAsTheRowsDefaults)
{
    const struct {
        const char* name;
        int run;  // a number's default for a run
        int page; // and as the setup page shows it
    } cases[] = {
        { "UserOrgID", 0, 0 }, { "ExportLocation", 0, 0 }, { "SourcePath", 0, 0 }, { "DestPath", 0, 0 },
        { "IsDeleted", 0, 1 }, { "OrgID", 0, 0 },          { "Username", 0, 0 },   { "Password", 0, 0 },
        { "RecordTransfers", 1, 1 }, { "AutoErrorBoxSeconds", 0, 0 }, { "LastRunNumber", 0, 0 },
    };
    ASSERT_EQ(sizeof(cases) / sizeof(cases[0]), settings::kValueCount) << "a row without a case";
    for (const auto& c : cases) {
        TRACE_CASE(cases, c);
        test::CleanProfile clean;
        const settings::ValueRow& row = settings::Row(c.name);
        ASSERT_STREQ(c.name, row.name);
        EXPECT_NE(std::string(), row.label);
        if (row.type == settings::ValueType::kString) {
            EXPECT_EQ("", settings::GetString(c.name));
            ASSERT_TRUE(settings::SetInt(c.name, 7));
            EXPECT_EQ("", settings::GetString(c.name)) << "a number where text belongs";
            ASSERT_TRUE(settings::SetString(c.name, "x"));
            EXPECT_EQ("x", settings::GetString(c.name));
        } else {
            EXPECT_EQ(c.run, settings::GetInt(c.name));
            EXPECT_EQ(c.page, settings::GetShownInt(c.name));
            ASSERT_TRUE(settings::SetString(c.name, "5"));
            EXPECT_EQ(c.run, settings::GetInt(c.name)) << "text where a number belongs";
            EXPECT_EQ(c.page, settings::GetShownInt(c.name));
            ASSERT_TRUE(settings::SetInt(c.name, 5));
            EXPECT_EQ(5, settings::GetInt(c.name));
            EXPECT_EQ(5, settings::GetShownInt(c.name));
        }
    }
    EXPECT_EQ(16u, settings::Row("UserOrgID").limit);
}

TEST(Profile, LongAndGbkStringsAreKeptWhole)
{
    test::CleanProfile clean;
    std::string longValue(5000, 'a');
    longValue += "\xB5\x5C\xD5\x5F"; // trail bytes '\' and '_'
    ASSERT_TRUE(settings::SetString(settings::kExportLocation, longValue.c_str()));
    EXPECT_EQ(longValue, settings::GetString(settings::kExportLocation));
}

} // namespace

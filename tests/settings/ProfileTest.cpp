// The registry profile, against the test prefix's real HKCU.
#include "settings/Settings.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

TEST(Profile, StringsAndIntegersRoundTripWithTheirRegistryTypes)
{
    test::CleanProfile clean;
    EXPECT_EQ("", settings::GetString(settings::kSourcePath));
    EXPECT_EQ(0, settings::GetInt(settings::kIsDeleted, 0));
    EXPECT_EQ(1, settings::GetInt(settings::kIsDeleted, 1));

    EXPECT_TRUE(settings::SetString(settings::kSourcePath, "C:\\Send"));
    EXPECT_TRUE(settings::SetInt(settings::kIsDeleted, 1));
    DWORD type = 0;
    std::string data;
    ASSERT_TRUE(test::RegistryValue(settings::kSourcePath, &type, &data));
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
    EXPECT_EQ(std::string("C:\\Send\0", 8), data) << "REG_SZ is stored with its terminator";
    ASSERT_TRUE(test::RegistryValue(settings::kIsDeleted, &type, &data));
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), type);
    EXPECT_EQ(1, settings::GetInt(settings::kIsDeleted, 0));
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

TEST(Profile, ReadsCreateTheKeyPath)
{
    test::CleanProfile clean;
    settings::GetString(settings::kDestPath);
    HKEY hKey = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, ::RegOpenKeyExA(HKEY_CURRENT_USER, test::CleanProfile::SectionPath().c_str(), 0, KEY_READ, &hKey));
    ::RegCloseKey(hKey);
}

TEST(Profile, ValuesOfTheWrongTypeReadAsDefaults)
{
    test::CleanProfile clean;
    ASSERT_TRUE(settings::SetString(settings::kIsDeleted, "1"));
    EXPECT_EQ(0, settings::GetInt(settings::kIsDeleted, 0));
    EXPECT_EQ(1, settings::GetInt(settings::kIsDeleted, 1));
    ASSERT_TRUE(settings::SetInt(settings::kSourcePath, 7));
    EXPECT_EQ("", settings::GetString(settings::kSourcePath));
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

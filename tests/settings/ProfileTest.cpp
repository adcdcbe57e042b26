// The registry profile of the application object, against the test prefix's real HKCU.
#include "plugin/InterfaceApp.h"
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

// The start-up copy of UserOrgID: read once, never cut, and not changed by later writes.
class UserOrgIdTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        test::CleanProfile::Clear();
        CApp::Get()->Start(::GetModuleHandleA(nullptr));
    }
    CInterfaceApp& App() { return *GetInterfaceApp(); }
};

TEST_F(UserOrgIdTest, CopiedAtStartUpAndKeptAfterLaterWrites)
{
    test::CleanProfile::Clear();
    ASSERT_TRUE(CApp::Get()->Start(::GetModuleHandleA(nullptr)));
    ASSERT_TRUE(settings::SetString(settings::kUserOrgID, "ORG1"));
    CApp::Get()->Start(::GetModuleHandleA(nullptr));
    EXPECT_STREQ("ORG1", App().m_szUserOrgID);
    ASSERT_TRUE(settings::SetString(settings::kUserOrgID, "ORG2"));
    EXPECT_STREQ("ORG1", App().m_szUserOrgID);
    EXPECT_FALSE(App().m_bUserOrgIDTooLong);
}

TEST_F(UserOrgIdTest, SixteenBytesFitAndLongerCodesAreRefusedNotCut)
{
    const struct {
        std::string stored;
        const char* expected;
        bool tooLong;
    } cases[] = {
        { "", "", false },
        { "1234567890123456", "1234567890123456", false },
        { "12345678901234567", "", true },
        { std::string(300, 'Z'), "", true },
    };
    for (const auto& c : cases) {
        TRACE_CASE(cases, c);
        ASSERT_TRUE(settings::SetString(settings::kUserOrgID, c.stored.c_str()));
        CApp::Get()->Start(::GetModuleHandleA(nullptr));
        EXPECT_STREQ(c.expected, App().m_szUserOrgID) << c.stored;
        EXPECT_EQ(c.tooLong, App().m_bUserOrgIDTooLong) << c.stored;
        EXPECT_EQ('\0', App().m_szUserOrgID[16]);
    }
}

} // namespace

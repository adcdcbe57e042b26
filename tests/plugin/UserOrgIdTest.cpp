// The application object's copy of UserOrgID, taken when the plug-in is loaded.
#include "plugin/InterfaceApp.h"
#include "settings/Settings.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

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

// qrvhub.exe as a script uses it: exit codes, usage text, and the settings steps reaching the registry.
#include "support/Programs.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace {

std::string Host() { return test::BinDir() + "\\qrvhub.exe"; }

std::string ReadDllValue(const char* name)
{
    char data[1024] = "";
    DWORD size = sizeof(data);
    if (::RegGetValueA(HKEY_CURRENT_USER, "Software\\Quorvane\\QRVLNK\\2.0", name, RRF_RT_REG_SZ, nullptr, data, &size)
        != ERROR_SUCCESS)
        return "<none>";
    return data;
}

TEST(Host, ArgumentsAndExitCodes)
{
    const struct {
        const char* args;
        DWORD exitCode;
        const char* output;
    } cases[] = {
        { "info", 0, "08888978 \xB7\xD6\xCF\xFA\xCF\xB5\xCD\xB3\xCA\xFD\xBE\xDD\xBD\xD3\xBF\xDA (kind 4, functions 11)" },
        { "--help", 0, "用法：qrvhub.exe" },
        { "frobnicate", 1, "无法识别的步骤“frobnicate”" },
        { "set-data-path", 1, "set-data-path后面要跟一个值" },
        { "--every", 1, "--every后面要跟分钟数" },
        { "--every 0 autoexport", 1, "必须是1到1440之间的整数，不能是“0”" },
        { "--every 5", 1, "要有至少一个重复执行的步骤" },
    };
    for (const auto& c : cases) {
        TRACE_CASE(cases, c);
        test::ProgramResult r = test::RunProgram(Host(), c.args);
        EXPECT_EQ(c.exitCode, r.exitCode) << c.args << "\n" << r.output;
        EXPECT_NE(std::string::npos, r.output.find(c.output)) << c.args << "\n" << r.output;
        if (c.exitCode == 1) {
            EXPECT_NE(std::string::npos, r.output.find("用法：")) << "a wrong argument shows the usage: " << c.args;
        }
    }
}

TEST(Host, SettingsStepsReachTheRegistry)
{
    test::ProgramResult r = test::RunProgram(Host(), "set-data-path \"C:\\QRV Data\" set-user-org Q900");
    EXPECT_EQ(0u, r.exitCode) << r.output;
    EXPECT_EQ("C:\\QRV Data", ReadDllValue("ExportLocation"));
    EXPECT_EQ("Q900", ReadDllValue("UserOrgID"));
    HKEY hKey = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Quorvane\\QRVLNK\\2.0", 0, KEY_SET_VALUE, &hKey) == ERROR_SUCCESS) {
        ::RegDeleteValueA(hKey, "ExportLocation");
        ::RegDeleteValueA(hKey, "UserOrgID");
        ::RegCloseKey(hKey);
    }
}

TEST(Host, WithoutThePluginItSaysSoAndExitsWithTwo)
{
    test::TempDir dir("host");
    ASSERT_TRUE(::CopyFileA(Host().c_str(), (dir / "qrvhub.exe").c_str(), FALSE));
    test::ProgramResult r = test::RunProgram(dir / "qrvhub.exe", "info");
    EXPECT_EQ(2u, r.exitCode) << r.output;
    EXPECT_NE(std::string::npos, r.output.find("无法加载QRVLNK.dll")) << r.output;
}

} // namespace

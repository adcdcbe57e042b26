// The Windows version a test run asks for is the one the plug-in's process sees. scripts/test.sh sets
// it in the Wine prefix and names it in QRVLNK_WINDOWS_VERSION ("5.1", "5.2", "6.1", "10.0").
#include <gtest/gtest.h>
#include <windows.h>
#include <cstdio>
#include <string>

namespace {

typedef LONG(WINAPI* RtlGetVersionFn)(OSVERSIONINFOW*);

std::string Version(DWORD major, DWORD minor)
{
    return std::to_string(major) + "." + std::to_string(minor);
}

} // namespace

TEST(WindowsVersion, IsTheOneTheRunAskedFor)
{
    char asked[16] = "";
    if (!::GetEnvironmentVariableA("QRVLNK_WINDOWS_VERSION", asked, sizeof(asked)))
        GTEST_SKIP() << "this run asks for no Windows version";

    OSVERSIONINFOW actual = {};
    actual.dwOSVersionInfoSize = sizeof(actual);
    auto rtlGetVersion = reinterpret_cast<RtlGetVersionFn>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "RtlGetVersion")));
    ASSERT_NE(nullptr, rtlGetVersion);
    ASSERT_EQ(0, rtlGetVersion(&actual));
    EXPECT_EQ(asked, Version(actual.dwMajorVersion, actual.dwMinorVersion));

    // What a host without a compatibility manifest is told: Windows 8.1 and later say 6.2 (Windows 8).
    OSVERSIONINFOA told = {};
    told.dwOSVersionInfoSize = sizeof(told);
    ASSERT_TRUE(::GetVersionExA(&told));
    const bool after8 = actual.dwMajorVersion > 6 || (actual.dwMajorVersion == 6 && actual.dwMinorVersion > 2);
    EXPECT_EQ(after8 ? "6.2" : std::string(asked), Version(told.dwMajorVersion, told.dwMinorVersion));
    std::printf("GetVersionExA: %lu.%lu build %lu %s; RtlGetVersion: %lu.%lu\n", told.dwMajorVersion,
                told.dwMinorVersion, told.dwBuildNumber, told.szCSDVersion, actual.dwMajorVersion,
                actual.dwMinorVersion);
}

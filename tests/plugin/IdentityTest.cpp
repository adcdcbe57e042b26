// The real QRVLNK.dll as a host loads it: export table, identity, settings exports and the log file.
#include "plugin/HostTitle.h"
#include "support/Programs.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace {

typedef void(__cdecl* InfoFn)(char*, char*, int*);
typedef unsigned short(__cdecl* QueryFn)();
typedef BOOL(__cdecl* SetTextFn)(const char*);

const char kDllKey[] = "Software\\Quorvane\\QRVLNK\\2.0";

std::string ReadDllValue(const char* name, DWORD* type)
{
    HKEY hKey = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, kDllKey, 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return "<no key>";
    char data[1024] = "";
    DWORD size = sizeof(data);
    LONG rc = ::RegQueryValueExA(hKey, name, nullptr, type, reinterpret_cast<BYTE*>(data), &size);
    ::RegCloseKey(hKey);
    return rc == ERROR_SUCCESS ? std::string(data) : "<no value>";
}

TEST(Plugin, ExportsIdentityAndConstants)
{
    test::TempDir dir("plugin");
    test::LoadedPlugin plugin(dir.Path());
    ASSERT_NE(nullptr, plugin.Module()) << test::PluginPath();
    for (const char* name : { "Export", "AutoExport", "Import", "AutoImport", "Setup", "GetInterfaceInfo",
                              "QueryFunctions", "SetDataFilePath", "SetUserOrgID" })
        EXPECT_NE(nullptr, plugin.Get<void*>(name)) << name;

    for (int call = 0; call < 2; ++call) {
        char id[32];
        char name[64];
        memset(id, 'x', sizeof(id));
        memset(name, 'x', sizeof(name));
        int kind = 0;
        plugin.Get<InfoFn>("GetInterfaceInfo")(id, name, &kind);
        EXPECT_STREQ("08888978", id);
        EXPECT_EQ(std::string("\xB7\xD6\xCF\xFA\xCF\xB5\xCD\xB3\xCA\xFD\xBE\xDD\xBD\xD3\xBF\xDA"), name);
        EXPECT_EQ(16u, strlen(name));
        EXPECT_EQ('x', id[9]) << "wrote past the 9-byte identifier";
        EXPECT_EQ('x', name[17]) << "wrote past the 17-byte name";
        EXPECT_EQ(4, kind);
        EXPECT_EQ(11, plugin.Get<QueryFn>("QueryFunctions")());
    }
}

TEST(Plugin, SettingsExportsWriteStringsUnderTheModuleKey)
{
    test::TempDir dir("plugin");
    test::LoadedPlugin plugin(dir.Path());
    ASSERT_NE(nullptr, plugin.Module());
    const char gbkPath[] = "D:\\\xCA\xFD\xBE\xDD\\\xB5\x5C"; // ends in a character whose trail byte is '\'
    EXPECT_TRUE(plugin.Get<SetTextFn>("SetDataFilePath")(gbkPath));
    EXPECT_TRUE(plugin.Get<SetTextFn>("SetUserOrgID")("ORG42"));
    DWORD type = 0;
    EXPECT_EQ(gbkPath, ReadDllValue("ExportLocation", &type));
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
    EXPECT_EQ("ORG42", ReadDllValue("UserOrgID", &type));
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
}

TEST(Plugin, NullArgumentsArePassedOverAndChangeNothing)
{
    test::TempDir dir("plugin");
    test::LoadedPlugin plugin(dir.Path());
    ASSERT_NE(nullptr, plugin.Module());
    ASSERT_TRUE(plugin.Get<SetTextFn>("SetDataFilePath")("D:\\keep"));
    ASSERT_TRUE(plugin.Get<SetTextFn>("SetUserOrgID")("KEEP"));
    EXPECT_FALSE(plugin.Get<SetTextFn>("SetDataFilePath")(nullptr));
    EXPECT_FALSE(plugin.Get<SetTextFn>("SetUserOrgID")(nullptr));
    DWORD type = 0;
    EXPECT_EQ("D:\\keep", ReadDllValue("ExportLocation", &type));
    EXPECT_EQ("KEEP", ReadDllValue("UserOrgID", &type));

    plugin.Get<InfoFn>("GetInterfaceInfo")(nullptr, nullptr, nullptr);
    char id[9] = "";
    int kind = 0;
    plugin.Get<InfoFn>("GetInterfaceInfo")(id, nullptr, &kind);
    EXPECT_STREQ("08888978", id);
    EXPECT_EQ(4, kind);
}

// The registry key is named after the module's base name, found at a character boundary: the name's
// last character here has '\\' as its trail byte.
TEST(Plugin, ABaseNameEndingInABackslashTrailByteNamesTheKey)
{
    test::TempDir dir("plugin");
    const std::string base = "\xB2\xE2\x84\x5C"; // 测刓
    const std::string key = "Software\\Quorvane\\" + base;
    ASSERT_TRUE(::CopyFileA(test::PluginPath().c_str(), (dir / (base + ".dll")).c_str(), FALSE));
    {
        test::CurrentDir cwd(dir.Path());
        HMODULE hModule = ::LoadLibraryA((dir / (base + ".dll")).c_str());
        ASSERT_NE(nullptr, hModule);
        auto setUserOrgID = reinterpret_cast<SetTextFn>(reinterpret_cast<void*>(::GetProcAddress(hModule, "SetUserOrgID")));
        EXPECT_TRUE(setUserOrgID("ORG7"));
        ::FreeLibrary(hModule);
    }
    HKEY hKey = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, ::RegOpenKeyExA(HKEY_CURRENT_USER, (key + "\\2.0").c_str(), 0, KEY_READ, &hKey));
    char data[16] = "";
    DWORD size = sizeof(data);
    EXPECT_EQ(ERROR_SUCCESS, ::RegQueryValueExA(hKey, "UserOrgID", nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size));
    EXPECT_STREQ("ORG7", data);
    ::RegCloseKey(hKey);
    ::RegDeleteKeyA(HKEY_CURRENT_USER, (key + "\\2.0").c_str());
    ::RegDeleteKeyA(HKEY_CURRENT_USER, key.c_str());
}

TEST(Plugin, RunExportsWithoutHostWindowReturnOne)
{
    test::TempDir dir("plugin");
    test::LoadedPlugin plugin(dir.Path());
    ASSERT_NE(nullptr, plugin.Module());
    ASSERT_EQ(nullptr, ::FindWindowA(nullptr, kHostTitle));
    for (const char* name : { "Export", "AutoExport", "Import", "AutoImport" })
        EXPECT_EQ(1, plugin.Get<test::RunFn>(name)()) << name;
}

TEST(Plugin, LogFileCreatedAtLoadAndContentKept)
{
    test::TempDir dir("log");
    const std::string log = dir / "08888978.log";
    {
        test::LoadedPlugin plugin(dir.Path());
        ASSERT_NE(nullptr, plugin.Module());
        EXPECT_TRUE(test::Exists(log));
        EXPECT_EQ("", test::ReadFile(log));
    }
    ASSERT_TRUE(test::WriteFile(log, "earlier line\r\n"));
    {
        test::LoadedPlugin plugin(dir.Path());
        ASSERT_NE(nullptr, plugin.Module());
    }
    EXPECT_EQ("earlier line\r\n", test::ReadFile(log));
}

TEST(Plugin, LoadsWhenTheLogCannotBeCreated)
{
    test::TempDir dir("log");
    // A directory in the log file's place: the open fails, the library still loads and unloads.
    ASSERT_TRUE(test::MakeDir(dir / "08888978.log"));
    test::LoadedPlugin plugin(dir.Path());
    EXPECT_NE(nullptr, plugin.Module());
    plugin.Unload();
    EXPECT_TRUE(test::IsDirectory(dir / "08888978.log"));
}

} // namespace

// qrvcheck.exe --plan changes nothing: not the workspace's folders and files (not even the folders a run
// would create), not the registry (not even a missing key).
#include "CheckWorkspace.h"

#include "framework/Handle.h"
#include "settings/Settings.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <cstdio>
#include <functional>

namespace checktest {
namespace {

// Every entry below dir, one line each: path, attributes, size, last write time and content.
std::string TreeSnapshot(const std::string& dir, const std::string& prefix = "")
{
    std::string lines;
    WIN32_FIND_DATAA data;
    CFindHandle find(::FindFirstFileA((dir + "\\*").c_str(), &data));
    if (!find.IsValid())
        return lines;
    do {
        const std::string name = data.cFileName;
        if (name == "." || name == "..")
            continue;
        char stamp[96];
        std::snprintf(stamp, sizeof(stamp), " %08lx %lu %08lx%08lx ", data.dwFileAttributes, data.nFileSizeLow,
                      data.ftLastWriteTime.dwHighDateTime, data.ftLastWriteTime.dwLowDateTime);
        const std::string path = dir + "\\" + name;
        const bool folder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        lines += prefix + name + stamp + (folder ? "" : test::ReadFile(path)) + "\n";
        if (folder)
            lines += TreeSnapshot(path, prefix + name + "\\");
    } while (::FindNextFileA(find, &data));
    return lines;
}

// Every key and value below HKCU\subKey, one line each.
std::string RegistrySnapshot(const std::string& subKey)
{
    HKEY hKey = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, subKey.c_str(), 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return subKey + " <no key>\n";
    CRegKey key(hKey);
    std::string lines = subKey + "\n";
    for (DWORD i = 0;; ++i) {
        char name[512];
        BYTE data[4096];
        DWORD nameSize = sizeof(name), dataSize = sizeof(data), type = 0;
        if (::RegEnumValueA(key, i, name, &nameSize, nullptr, &type, data, &dataSize) != ERROR_SUCCESS)
            break;
        lines += "  " + std::string(name, nameSize) + " " + std::to_string(type) + " "
                 + std::string(reinterpret_cast<char*>(data), dataSize) + "\n";
    }
    for (DWORD i = 0;; ++i) {
        char name[512];
        DWORD nameSize = sizeof(name);
        if (::RegEnumKeyExA(key, i, name, &nameSize, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        lines += RegistrySnapshot(subKey + "\\" + std::string(name, nameSize));
    }
    return lines;
}

TEST(CheckMakesNoWrite, WorkspaceAndRegistryStayAsTheyWere)
{
    const std::string company = std::string("Software\\") + settings::kCompanyKey;
    const struct {
        const char* what;
        std::function<void(CheckWorkspace&)> setUp;
    } cases[] = {
        { "files to export and import, no platform folder and no Backup yet", [](CheckWorkspace& ws) {
              test::WriteFile(ws.Send() + "\\a_C01_1.txt", "a");
              test::WriteFile(ws.Send() + "\\notes.txt", "n");
              test::WriteFile(ws.Delivery() + "\\d.txt", "d");
          } },
        { "no registry key, no delivery folder", [](CheckWorkspace& ws) {
              ws.Profile().Clear();
              test::RemoveTree(ws.Delivery());
          } },
        { "problems everywhere", [](CheckWorkspace& ws) {
              ws.WriteMapping("ClientID0000=C01\r\nClientID0002=C03\r\nQRVID0002=P03\r\n");
              ::DeleteFileA(ws.TaskDefine().c_str());
              ws.Profile().SetString(settings::kDestPath, ws.Root() + "\\missing", REG_EXPAND_SZ);
              test::WriteFile(ws.Backup(), "a file");
              test::WriteFile(ws.Delivery() + "\\d.txt", "d");
          } },
    };
    for (const auto& c : cases) {
        TRACE_CASE(cases, c);
        CheckWorkspace ws("QRVCHECK");
        c.setUp(ws);
        const std::string treeBefore = TreeSnapshot(ws.Root());
        const std::string registryBefore = RegistrySnapshot(company);
        const test::ProgramResult r = ws.Check("--plan");
        EXPECT_NE(9999u, r.exitCode) << c.what;
        EXPECT_EQ(treeBefore, TreeSnapshot(ws.Root())) << c.what;
        EXPECT_EQ(registryBefore, RegistrySnapshot(company)) << c.what;
    }
}

} // namespace
} // namespace checktest

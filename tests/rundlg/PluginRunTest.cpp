// Export, AutoExport, Import and AutoImport of the real QRVLNK.dll, called the way the host calls them:
// on the thread that owns the host's main window.
#include "RunWorkspace.h"

#include <gtest/gtest.h>
#include <atomic>
#include <windows.h>

namespace {

typedef int(__cdecl* RunFn)();

const char kHostTitle[] = "网商数据交换系统 - QRVHUB";
const char kDllSection[] = "Software\\Quorvane\\QRVLNK\\2.0";

std::string DllPath()
{
    char path[MAX_PATH] = "";
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dir = path;
    return dir.substr(0, dir.find_last_of('\\')) + "\\QRVLNK.dll";
}

void ClearDllProfile()
{
    ::RegDeleteKeyA(HKEY_CURRENT_USER, kDllSection);
    ::RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Quorvane\\QRVLNK");
}

// A workspace whose settings the DLL reads (its own registry key), and the DLL loaded over it.
class PluginRunTest : public ::testing::Test {
protected:
    PluginRunTest()
    {
        ClearDllProfile();
        HKEY hKey = nullptr;
        ::RegCreateKeyExA(HKEY_CURRENT_USER, kDllSection, 0, nullptr, 0, KEY_WRITE, nullptr, &hKey, nullptr);
        const std::pair<const char*, std::string> values[] = {
            { "SourcePath", m_ws.Send() },
            { "ExportLocation", m_ws.Data() },
            { "DestPath", m_ws.Receive() },
            { "UserOrgID", "P01" },
        };
        for (const auto& v : values)
            ::RegSetValueExA(hKey, v.first, 0, REG_SZ, reinterpret_cast<const BYTE*>(v.second.c_str()),
                             static_cast<DWORD>(v.second.size() + 1));
        ::RegCloseKey(hKey);
        m_ws.WriteIniFiles();
        m_ws.FillSendFolder(1);
        m_hModule = ::LoadLibraryA(DllPath().c_str());
    }
    ~PluginRunTest() override
    {
        if (m_hModule)
            ::FreeLibrary(m_hModule);
        for (HWND hWnd : m_windows)
            ::DestroyWindow(hWnd);
        ClearDllProfile();
    }

    int Call(const char* name)
    {
        RunFn fn = reinterpret_cast<RunFn>(reinterpret_cast<void*>(::GetProcAddress(m_hModule, name)));
        return fn ? fn() : -1;
    }
    HWND MakeWindow(const char* title)
    {
        HWND hWnd = ::CreateWindowExA(0, "STATIC", title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 300, 200, nullptr,
                                      nullptr, nullptr, nullptr);
        m_windows.push_back(hWnd);
        return hWnd;
    }

    test::RunWorkspace m_ws;
    HMODULE m_hModule = nullptr;
    std::vector<HWND> m_windows;
};

// Watches until done for run dialogs, progress windows and the DLL's message boxes.
struct Watch {
    std::atomic<bool> done{ false };
    bool dialog = false;
    bool progress = false;
    bool appBox = false;

    void Body(test::GuiScript& s)
    {
        s.WaitFor([&] {
            dialog = dialog || test::FindDialog("数据导出") != NULL || test::FindDialog("数据导入") != NULL;
            progress = progress || test::FindProgress("正在导出数据") || test::FindProgress("正在导入数据");
            appBox = appBox || test::FindDialog("QRVLNK") != NULL;
            return done.load();
        }, "the calls to return", 60000);
    }
};

TEST_F(PluginRunTest, WithoutTheHostsExactTitleTheRunsReturnOneAndShowNothing)
{
    ASSERT_NE(nullptr, m_hModule) << DllPath();
    MakeWindow("网商数据交换系统 - QRVHUB ");
    MakeWindow("网商数据交换系统 - QRVHUB2");
    MakeWindow(" 网商数据交换系统 - QRVHUB");
    Watch watch;
    test::GuiScript script([&](test::GuiScript& s) { watch.Body(s); });
    for (const char* name : { "Export", "AutoExport", "Import", "AutoImport" })
        EXPECT_EQ(1, Call(name)) << name;
    watch.done = true;
    script.Finish();
    EXPECT_FALSE(watch.dialog || watch.progress || watch.appBox);
    EXPECT_TRUE(test::ListDir(m_ws.Data()).empty()) << "something ran";
}

TEST_F(PluginRunTest, AutomaticRunsGoThroughUnderTheHostWindowWhichSurvives)
{
    ASSERT_NE(nullptr, m_hModule) << DllPath();
    HWND host = MakeWindow(kHostTitle);
    Watch watch;
    test::GuiScript script([&](test::GuiScript& s) { watch.Body(s); });
    EXPECT_EQ(1, Call("AutoExport"));
    EXPECT_TRUE(test::Exists(m_ws.Data() + "\\P01\\x_C01_0.txt")) << "AutoExport returned before its run";
    EXPECT_EQ(1, Call("AutoImport"));
    watch.done = true;
    script.Finish();
    EXPECT_TRUE(watch.progress);
    EXPECT_FALSE(watch.appBox) << "an automatic run showed a message";
    EXPECT_TRUE(test::Exists(m_ws.Receive() + "\\x_C01_0.txt"));
    EXPECT_TRUE(test::Exists(m_ws.Data() + "\\P01\\Backup\\x_C01_0.txt"));
    EXPECT_TRUE(::IsWindow(host));
    EXPECT_TRUE(::IsWindowEnabled(host));
}

TEST_F(PluginRunTest, InteractiveDialogIsOwnedByTheHostWindow)
{
    ASSERT_NE(nullptr, m_hModule) << DllPath();
    HWND host = MakeWindow(kHostTitle);
    test::GuiScript script([&](test::GuiScript& s) {
        HWND dlg = s.WaitWindow("数据导入");
        EXPECT_EQ(host, ::GetWindow(dlg, GW_OWNER));
        EXPECT_FALSE(::IsWindowEnabled(host)) << "the dialog is modal to the host";
        s.Press(dlg, IDCANCEL);
        s.WaitGone(dlg);
    });
    EXPECT_EQ(1, Call("Import"));
    script.Finish();
    EXPECT_TRUE(::IsWindow(host));
    EXPECT_TRUE(::IsWindowEnabled(host));
}

} // namespace

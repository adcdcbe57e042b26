// Export, AutoExport, Import and AutoImport of the real QRVLNK.dll, called the way the host calls them:
// on the thread that owns the host's main window.
#include "RunWorkspace.h"
#include "support/Programs.h"

#include <gtest/gtest.h>
#include <atomic>
#include <memory>
#include <windows.h>

namespace {

// A workspace whose settings the DLL reads (its own registry key), and the DLL loaded over it.
class PluginRunTest : public ::testing::Test {
protected:
    PluginRunTest()
    {
        const std::pair<const char*, std::string> values[] = {
            { "SourcePath", m_ws.Send() },
            { "ExportLocation", m_ws.Data() },
            { "DestPath", m_ws.Receive() },
            { "UserOrgID", "P01" },
        };
        for (const auto& v : values)
            m_profile.SetString(v.first, v.second);
        m_ws.WriteIniFiles();
        m_ws.FillSendFolder(1);
        m_plugin.reset(new test::LoadedPlugin(m_ws.Root()));
        m_hModule = m_plugin->Module();
    }
    ~PluginRunTest() override
    {
        m_plugin.reset();
        m_windows.clear();
    }

    int Call(const char* name)
    {
        test::RunFn fn = m_plugin->Get<test::RunFn>(name);
        return fn ? fn() : -1;
    }
    HWND MakeWindow(const char* title)
    {
        m_windows.emplace_back(new test::TitledWindow(title));
        return m_windows.back()->Get();
    }

    test::PluginProfile m_profile{ "QRVLNK" };
    test::RunWorkspace m_ws;
    std::unique_ptr<test::LoadedPlugin> m_plugin;
    HMODULE m_hModule = nullptr;
    std::vector<std::unique_ptr<test::TitledWindow>> m_windows;
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
    ASSERT_NE(nullptr, m_hModule) << test::PluginPath();
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
    ASSERT_NE(nullptr, m_hModule) << test::PluginPath();
    HWND host = MakeWindow(test::kHostTitle);
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
    ASSERT_NE(nullptr, m_hModule) << test::PluginPath();
    HWND host = MakeWindow(test::kHostTitle);
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

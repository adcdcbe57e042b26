// Export, AutoExport, Import and AutoImport of the real QRVLNK.dll, called the way the host calls them:
// on the thread that owns the host's main window.
#include "PluginFixture.h"

#include <gtest/gtest.h>
#include <atomic>
#include <cstring>
#include <windows.h>

namespace {


class PluginRunTest : public test::PluginFixture {};

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

// A process without its own host window never takes another process's: it would disable it.
TEST_F(PluginRunTest, AHostWindowOfAnotherProcessIsNeverTaken)
{
    ASSERT_NE(nullptr, m_hModule) << test::PluginPath();
    const std::string host = test::PluginPath().substr(0, test::PluginPath().size() - strlen("QRVLNK.dll")) + "qrvhub.exe";
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    std::string command = "\"" + host + "\"";
    ASSERT_TRUE(::CreateProcessA(host.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
    HWND other = NULL;
    ASSERT_TRUE(test::PumpUntil([&] { return (other = ::FindWindowA(nullptr, kHostTitle)) != NULL; }, 15000))
        << "the host process shows no window";
    Watch watch;
    test::GuiScript script([&](test::GuiScript& s) { watch.Body(s); });
    for (const char* name : { "AutoExport", "Export" })
        EXPECT_EQ(1, Call(name)) << name;
    watch.done = true;
    script.Finish();
    EXPECT_FALSE(watch.dialog || watch.progress);
    EXPECT_TRUE(::IsWindowEnabled(other));
    ::TerminateProcess(pi.hProcess, 0);
    ::WaitForSingleObject(pi.hProcess, 10000);
    ::CloseHandle(pi.hProcess);
    ::CloseHandle(pi.hThread);
}

TEST_F(PluginRunTest, AutomaticRunsGoThroughUnderTheHostWindowWhichSurvives)
{
    ASSERT_NE(nullptr, m_hModule) << test::PluginPath();
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
    ASSERT_NE(nullptr, m_hModule) << test::PluginPath();
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

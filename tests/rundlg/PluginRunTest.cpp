// Export, AutoExport, Import and AutoImport of the real QRVLNK.dll, called the way the host calls them:
// on the thread that owns the host's main window.
#include "PluginFixture.h"
#include "framework/Window.h"

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
    EXPECT_TRUE(test::Exists(m_ws.Data() + "\\P02\\x_C01_0.txt")) << "AutoExport returned before its run";
    // The platform delivers it to the user's organisation, P01.
    ASSERT_TRUE(test::MakeDir(m_ws.Data() + "\\P01"));
    ASSERT_TRUE(::MoveFileA((m_ws.Data() + "\\P02\\x_C01_0.txt").c_str(), (m_ws.Data() + "\\P01\\x_C01_0.txt").c_str()));
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

// Someone works in the host while it runs an export or import unattended: the host keeps the
// activation and the focus, what is typed reaches it, and neither that nor a close request sent to
// the run dialog turns into a box. The call returns on its own.
TEST_F(PluginRunTest, AnAutomaticRunLeavesTheKeyboardToWhoeverWorksInTheHost)
{
    ASSERT_NE(nullptr, m_hModule) << test::PluginPath();
    m_ws.FillSendFolder(4);
    HWND host = MakeWindow(kHostTitle);
    HWND edit = ::CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_WANTRETURN, 0, 0, 200, 100, host,
                                  NULL, NULL, NULL);
    for (const char* run : { "AutoExport", "AutoImport" }) {
        SCOPED_TRACE(run);
        ::SetForegroundWindow(host);
        ::SetFocus(edit);
        ::SetWindowTextA(edit, "");
        ASSERT_TRUE(test::PumpUntil([&] { return ::GetForegroundWindow() == host && ::GetFocus() == edit; }, 5000));
        std::atomic<bool> done{ false };
        bool box = false;
        test::GuiScript script([&](test::GuiScript& s) {
            HWND dlg = NULL;
            s.WaitFor([&] { return (dlg = test::FindDialog(std::strcmp(run, "AutoExport") == 0 ? "数据导出" : "数据导入")) != NULL; },
                      "the run dialog");
            s.WaitFor([] { return test::FindProgress("正在导出数据") || test::FindProgress("正在导入数据"); }, "the progress window");
            EXPECT_EQ(host, ::GetForegroundWindow());
            EXPECT_EQ(edit, test::FocusOf(host));
            INPUT keys[2] = {};
            keys[0].type = keys[1].type = INPUT_KEYBOARD;
            keys[0].ki.wVk = keys[1].ki.wVk = VK_RETURN;
            keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
            ::SendInput(2, keys, sizeof(INPUT));
            ::PostMessageA(dlg, WM_CLOSE, 0, 0);
            ::PostMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
            s.WaitFor([&] {
                box = box || test::FindDialog("QRVLNK") != NULL;
                return done.load();
            }, "the run to end on its own", 60000);
        });
        EXPECT_EQ(1, Call(run));
        done = true;
        script.Finish();
        EXPECT_FALSE(box) << "a keystroke or close request became a box";
        EXPECT_EQ(host, ::GetForegroundWindow());
        EXPECT_EQ(edit, ::GetFocus());
        // What was typed late in the run reaches the host's own loop.
        EXPECT_TRUE(test::PumpUntil([&] { return CWindow::GetText(edit) == "\r\n"; }, 2000))
            << "the Enter typed did not reach the host: " << CWindow::GetText(edit);
    }
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

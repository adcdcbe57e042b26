// The host quits (WM_QUIT on its thread) or destroys its main window (a WM_CLOSE posted, or sent from
// another thread) while a run of the real DLL is under way, automatic or interactive. The run stops at
// a file boundary, the call returns 1 as soon as the run has ended, a quit is handed on to the host's
// own loop, and every file is whole in exactly one place.
#include "PluginFixture.h"
#include "resource.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <functional>

namespace {

using test::Exists;
using test::ListDir;
using test::ReadFile;

const int kExportFiles = 8;
const int kImportFiles = 40;
const size_t kImportBytes = 512 * 1024;
const WPARAM kQuitCode = 7;

enum class Shutdown { kQuit, kPostClose, kSendClose };

struct ShutdownCase {
    const char* call;
    bool import;
    bool interactive;
    Shutdown how;
};

class HostShutdownTest : public test::PluginFixture, public ::testing::WithParamInterface<ShutdownCase> {
protected:
    // The user's organisation's delivery folder, and the folder its exports go to.
    std::string Delivery() const { return m_ws.Data() + "\\P01"; }
    std::string Target() const { return m_ws.Data() + "\\P02"; }
    static std::string ImportContent(int i) { return std::string(kImportBytes, static_cast<char>('a' + i % 26)); }
    static std::string Name(int i) { return "x_C01_" + std::to_string(i) + ".txt"; }
};

TEST_P(HostShutdownTest, TheRunStopsAtAFileBoundaryAndEveryFileIsWholeInOnePlace)
{
    const ShutdownCase& c = GetParam();
    ASSERT_NE(nullptr, m_hModule);
    SetDllValue("IsDeleted", 1u);
    m_ws.FillSendFolder(c.import ? 0 : kExportFiles);
    if (c.import) {
        test::RemoveTree(m_ws.Send());
        test::MakeDir(m_ws.Send());
        test::MakeDir(Delivery());
        for (int i = 0; i < kImportFiles; ++i)
            test::WriteFile(Delivery() + "\\" + Name(i), ImportContent(i));
    }
    HWND host = MakeWindow(kHostTitle);
    const DWORD hostThread = ::GetCurrentThreadId();
    const bool destroyHost = c.how != Shutdown::kQuit;
    const std::string firstPlace = c.import ? m_ws.Receive() : Target();
    std::atomic<bool> returned{ false };
    test::GuiScript script([&](test::GuiScript& s) {
        if (c.interactive) {
            HWND dlg = s.WaitWindow(c.import ? "数据导入" : "数据导出");
            s.Press(dlg, c.import ? IDC_IMPORT_RUN : IDC_EXPORT_RUN);
        }
        s.WaitFor([&] { return !ListDir(firstPlace).empty(); }, "the first copy", 30000);
        if (c.how == Shutdown::kSendClose) {
            // Nothing is posted to the host's thread: the end of the run itself must end the call.
            ::SendMessageA(host, WM_CLOSE, 0, 0);
            const DWORD sent = ::GetTickCount();
            while (!returned && ::GetTickCount() - sent < 15000)
                ::Sleep(50);
            if (!returned) {
                ADD_FAILURE() << "the call did not return after its window was destroyed";
                ::PostThreadMessageA(hostThread, WM_NULL, 0, 0);
            }
        } else if (c.how == Shutdown::kPostClose) {
            ::PostMessageA(host, WM_CLOSE, 0, 0);
        } else {
            ::PostThreadMessageA(hostThread, WM_QUIT, kQuitCode, 0);
        }
    }, 60000);
    EXPECT_EQ(1, Call(c.call));
    returned = true;
    script.Finish();

    MSG msg;
    const bool quit = ::PeekMessageA(&msg, NULL, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE;
    EXPECT_EQ(!destroyHost, quit) << "the quit is handed on to the host's loop";
    EXPECT_EQ(quit ? kQuitCode : 0, quit ? msg.wParam : 0);
    EXPECT_EQ(!destroyHost, ::IsWindow(host) != FALSE);

    int moved = 0;
    const int files = c.import ? kImportFiles : kExportFiles;
    for (int i = 0; i < files; ++i) {
        const std::string content = c.import ? ImportContent(i) : "data " + std::to_string(i);
        const std::string from = (c.import ? Delivery() : m_ws.Send()) + "\\" + Name(i);
        const std::string to = (c.import ? Delivery() + "\\Backup" : Target()) + "\\" + Name(i);
        ASSERT_NE(Exists(from), Exists(to)) << Name(i) << " must be in exactly one place";
        EXPECT_EQ(content, ReadFile(Exists(from) ? from : to)) << Name(i);
        if (c.import && Exists(to)) {
            EXPECT_EQ(content, ReadFile(m_ws.Receive() + "\\" + Name(i))) << Name(i) << " archived but not delivered";
        }
        moved += Exists(to) ? 1 : 0;
    }
    EXPECT_GT(moved, 0);
    EXPECT_LT(moved, files) << "the run went on to its end instead of stopping";
    EXPECT_EQ(static_cast<size_t>(moved), ListDir(firstPlace).size()) << "a temporary file was left";
}

INSTANTIATE_TEST_SUITE_P(Runs, HostShutdownTest,
                         ::testing::Values(ShutdownCase{ "AutoExport", false, false, Shutdown::kQuit },
                                           ShutdownCase{ "AutoExport", false, false, Shutdown::kPostClose },
                                           ShutdownCase{ "AutoExport", false, false, Shutdown::kSendClose },
                                           ShutdownCase{ "Export", false, true, Shutdown::kQuit },
                                           ShutdownCase{ "Export", false, true, Shutdown::kPostClose },
                                           ShutdownCase{ "AutoImport", true, false, Shutdown::kQuit },
                                           ShutdownCase{ "AutoImport", true, false, Shutdown::kPostClose },
                                           ShutdownCase{ "AutoImport", true, false, Shutdown::kSendClose },
                                           ShutdownCase{ "Import", true, true, Shutdown::kQuit },
                                           ShutdownCase{ "Import", true, true, Shutdown::kPostClose }));

// The pause after an automatic run keeps the host's thread serving its messages: a message sent to the
// host window from another thread, every 100 ms through the whole call, is answered at once.
typedef test::PluginFixture PauseTest;

TEST_F(PauseTest, TheHostAnswersDuringThePauseAfterARun)
{
    ASSERT_NE(nullptr, m_hModule);
    m_ws.FillSendFolder(1);
    HWND host = MakeWindow(kHostTitle);
    std::atomic<bool> returned{ false };
    std::atomic<bool> probing{ true };
    DWORD longest = 0;
    int probes = 0;
    test::GuiScript script([&](test::GuiScript& s) {
        while (!returned) {
            const DWORD sent = ::GetTickCount();
            DWORD_PTR result = 0;
            if (::SendMessageTimeoutA(host, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result) == 0)
                longest = 5000;
            longest = std::max(longest, ::GetTickCount() - sent);
            ++probes;
            s.Sleep(100);
        }
        probing = false;
    }, 60000);
    EXPECT_EQ(1, Call("AutoExport"));
    returned = true;
    // The host's thread goes on answering the probe that is under way.
    test::PumpUntil([&] { return !probing; }, 10000);
    script.Finish();
    EXPECT_GT(probes, 10) << "the call ends after its pause of 2 s";
    EXPECT_LT(longest, 1000u) << "a message waited for the host's thread";
}

// A host that frees the DLL during a call, in the pause after a file or in the pause after the run,
// gets the call's return; the DLL goes once the call is over.
TEST_F(PauseTest, TheHostMayFreeTheDllDuringACall)
{
    const std::string record = m_ws.Root() + "\\传送记录.csv";
    const struct {
        const char* when;
        std::function<bool()> moment;
    } cases[] = {
        { "the pause after a file", [&] { return !ListDir(m_ws.Data() + "\\P02").empty(); } },
        { "the pause after the run", [&] { return ReadFile(record).find("结束") != std::string::npos; } },
    };
    for (const auto& c : cases) {
        TRACE_CASE(cases, c);
        test::RemoveTree(m_ws.Data() + "\\P02");
        ::DeleteFileA(record.c_str());
        m_ws.FillSendFolder(3);
        m_plugin.reset();
        m_plugin.reset(new test::LoadedPlugin(m_ws.Root()));
        ASSERT_NE(nullptr, m_plugin->Module());
        MakeWindow(kHostTitle);
        test::GuiScript script([&](test::GuiScript& s) {
            s.WaitFor(c.moment, c.when, 30000);
            m_plugin->Unload();
        }, 60000);
        EXPECT_EQ(1, m_plugin->Get<test::RunFn>("AutoExport")());
        script.Finish();
        EXPECT_TRUE(test::PumpUntil([] { return ::GetModuleHandleA(test::PluginPath().c_str()) == NULL; }, 10000))
            << "the DLL stays loaded";
        m_windows.clear();
    }
}

// With AutoErrorBoxSeconds the error box of an automatic run that nobody answers closes by itself, the
// call returns and the record's end line says so; an interactive run's box waits for someone.
TEST_F(PauseTest, TheErrorBoxOfAnAutomaticRunClosesByItselfWhenAsked)
{
    ASSERT_NE(nullptr, m_hModule);
    SetDllValue("AutoErrorBoxSeconds", 1u);
    const struct {
        const char* call;
        bool closesByItself;
    } cases[] = { { "AutoExport", true }, { "Export", false } };
    for (const auto& c : cases) {
        TRACE_CASE(cases, c);
        ::DeleteFileA((m_ws.Root() + "\\传送记录.csv").c_str());
        m_ws.FillSendFolder(1);
        ASSERT_TRUE(test::MakeDir(m_ws.Data() + "\\P02") && test::MakeDir(m_ws.Data() + "\\P02\\x_C01_0.txt"));
        MakeWindow(kHostTitle);
        bool stayed = false;
        test::GuiScript script([&](test::GuiScript& s) {
            if (c.closesByItself) {
                HWND box = s.WaitWindow("错误信息");
                s.WaitFor([&] { return !::IsWindow(box); }, "the box closing by itself", 15000);
                return;
            }
            HWND dlg = s.WaitWindow("数据导出");
            s.Press(dlg, IDC_EXPORT_RUN);
            HWND box = s.WaitWindow("错误信息");
            s.Sleep(3000);
            stayed = ::IsWindow(box) != FALSE;
            s.Press(box, IDOK);
            s.Press(s.WaitWindow("QRVLNK"), IDOK);
            s.Press(dlg, IDOK);
        }, 60000);
        EXPECT_EQ(1, Call(c.call));
        script.Finish();
        EXPECT_EQ(!c.closesByItself, stayed);
        EXPECT_EQ(c.closesByItself,
                  ReadFile(m_ws.Root() + "\\传送记录.csv").find("按AutoErrorBoxSeconds自行关闭了") != std::string::npos);
        test::RemoveTree(m_ws.Data() + "\\P02");
        m_windows.clear();
    }
}

// A host timer that calls AutoExport again while an automatic export waits on its error box: each call
// returns at once, with one record line that says why, and no second box comes up.
struct Reentry {
    test::RunFn autoExport = nullptr;
    int calls = 0;
    DWORD longest = 0;
};
Reentry g_reentry;

void CALLBACK CallAgain(HWND, UINT, UINT_PTR, DWORD)
{
    const DWORD started = ::GetTickCount();
    g_reentry.autoExport();
    ++g_reentry.calls;
    g_reentry.longest = std::max(g_reentry.longest, ::GetTickCount() - started);
}

TEST_F(PauseTest, AnAutomaticRunCalledAgainMeanwhileReturnsAtOnce)
{
    ASSERT_NE(nullptr, m_hModule);
    m_ws.FillSendFolder(1);
    ASSERT_TRUE(test::MakeDir(m_ws.Data() + "\\P02") && test::MakeDir(m_ws.Data() + "\\P02\\x_C01_0.txt"));
    HWND host = MakeWindow(kHostTitle);
    g_reentry = Reentry();
    g_reentry.autoExport = m_plugin->Get<test::RunFn>("AutoExport");
    int boxes = 0;
    test::GuiScript script([&](test::GuiScript& s) {
        HWND box = s.WaitWindow("错误信息");
        ::SetTimer(host, 1, 100, CallAgain);
        s.WaitFor([] { return g_reentry.calls >= 5; }, "calls again", 15000);
        for (HWND w = ::FindWindowExA(NULL, NULL, "#32770", "错误信息"); w != NULL;
             w = ::FindWindowExA(NULL, w, "#32770", "错误信息"))
            ++boxes;
        s.Press(box, IDOK);
    }, 60000);
    EXPECT_EQ(1, Call("AutoExport"));
    ::KillTimer(host, 1);
    script.Finish();
    EXPECT_EQ(1, boxes);
    EXPECT_LT(g_reentry.longest, 1000u);
    const std::string record = ReadFile(m_ws.Root() + "\\传送记录.csv");
    size_t lines = 0;
    for (size_t at = 0; (at = record.find("上一次自动导出还没有结束", at)) != std::string::npos; ++at)
        ++lines;
    EXPECT_EQ(static_cast<size_t>(g_reentry.calls), lines) << record;
}

} // namespace

// The host quits (WM_QUIT on its thread) or destroys its main window (a WM_CLOSE posted, or sent from
// another thread) while a run of the real DLL is under way, automatic or interactive. The run stops at
// a file boundary, the call returns 1 as soon as the run has ended, a quit is handed on to the host's
// own loop, and every file is whole in exactly one place.
#include "PluginFixture.h"
#include "resource.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>

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
// host window from another thread meanwhile is answered at once, not after the pause.
typedef test::PluginFixture PauseTest;

TEST_F(PauseTest, TheHostAnswersDuringThePauseAfterARun)
{
    ASSERT_NE(nullptr, m_hModule);
    m_ws.FillSendFolder(1);
    HWND host = MakeWindow(kHostTitle);
    bool answered = false;
    test::GuiScript script([&](test::GuiScript& s) {
        s.WaitFor([&] { return !ListDir(m_ws.Data() + "\\P02").empty(); }, "the copy", 30000);
        s.Sleep(300);
        DWORD_PTR result = 0;
        answered = ::SendMessageTimeoutA(host, WM_NULL, 0, 0, SMTO_NORMAL, 1000, &result) != 0;
    }, 60000);
    EXPECT_EQ(1, Call("AutoExport"));
    script.Finish();
    EXPECT_TRUE(answered);
}

} // namespace

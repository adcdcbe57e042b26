// The worker's handshake with a run window: a fake owner with a real hidden window that records the
// posted completion message, and a real progress window shown before the thread starts.
#include "run/ProgressDlg.h"
#include "support/RecordingView.h"
#include "engine/ExportEngine.h"
#include "engine/ImportEngine.h"
#include "settings/Settings.h"
#include "support/CriticalSection.h"
#include "support/GuiScript.h"
#include "support/TestSupport.h"
#include "run/WorkThread.h"
#include "resource.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

const DWORD kWaitMs = 15000;

// The shared record of one run, written from both threads.
class Journal {
public:
    void Add(const std::string& entry)
    {
        std::lock_guard<test::CriticalSection> lock(m_mutex);
        m_entries.push_back(entry);
    }
    std::vector<std::string> Entries() const
    {
        std::lock_guard<test::CriticalSection> lock(m_mutex);
        return m_entries;
    }

private:
    mutable test::CriticalSection m_mutex;
    std::vector<std::string> m_entries;
};

// The run dialog's side: a hidden window for the completion message and a progress window that the
// engine's status and bar calls reach, synchronously, on this thread.
class FakeOwner : public test::RecordingView {
public:
    explicit FakeOwner(Journal& journal) : m_journal(journal)
    {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = WndProc;
        wc.hInstance = ::GetModuleHandleA(nullptr);
        wc.lpszClassName = "QRVLNK.TestRunWindow";
        ::RegisterClassA(&wc);
        m_hRunWindow = ::CreateWindowA(wc.lpszClassName, "", WS_POPUP, 0, 0, 10, 10, NULL, NULL, wc.hInstance, nullptr);
        ::SetWindowLongPtrA(m_hRunWindow, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~FakeOwner() override
    {
        if (m_pProgress != nullptr)
            m_pProgress->Destroy();
        ::DestroyWindow(m_hRunWindow);
    }

    void ShowProgress()
    {
        m_pProgress = new CProgressDlg;
        m_pProgress->Create(m_hRunWindow);
        m_journal.Add("progress shown");
    }
    // Serves this thread's messages until count completion messages have come or the wait ends.
    bool WaitDone(int count = 1)
    {
        return test::PumpUntil([&] { return m_nDone >= count; }, kWaitMs);
    }
    std::string ProgressText(int id) const { return CWindow::GetText(m_pProgress->GetDlgItem(id)); }

    void SetStatus(const char* text) override
    {
        RecordingView::SetStatus(text);
        if (m_pProgress != nullptr)
            m_pProgress->SetStatus(text);
    }
    void SetPos(int pos) override
    {
        RecordingView::SetPos(pos);
        if (m_pProgress != nullptr)
            m_pProgress->SetPos(pos);
    }

    UINT m_nDoneMsg = 0;
    WPARAM m_wParam = 0;
    LPARAM m_lParam = 0;

private:
    static LRESULT CALLBACK WndProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
    {
        FakeOwner* self = reinterpret_cast<FakeOwner*>(::GetWindowLongPtrA(hWnd, GWLP_USERDATA));
        if (self != nullptr && (msg == WM_EXPORT_DONE || msg == WM_IMPORT_DONE)) {
            self->m_journal.Add(std::string(msg == WM_EXPORT_DONE ? "WM_EXPORT_DONE " : "WM_IMPORT_DONE ")
                                + std::to_string(wParam) + " " + std::to_string(lParam));
            self->m_nDoneMsg = msg;
            self->m_wParam = wParam;
            self->m_lParam = lParam;
            ++self->m_nDone;
            return 0;
        }
        return ::DefWindowProcA(hWnd, msg, wParam, lParam);
    }

    Journal& m_journal;
    CProgressDlg* m_pProgress = nullptr;
    int m_nDone = 0;
};

// Workers write their transfer record to the current directory: this program's go to a scratch one.
class ScratchCurrentDir : public ::testing::Environment {
public:
    void SetUp() override
    {
        m_dir.reset(new test::TempDir("wrkcwd"));
        m_cwd.reset(new test::CurrentDir(m_dir->Path()));
    }
    void TearDown() override
    {
        m_cwd.reset();
        m_dir.reset();
    }

private:
    std::unique_ptr<test::TempDir> m_dir;
    std::unique_ptr<test::CurrentDir> m_cwd;
};
::testing::Environment* const g_pScratch = ::testing::AddGlobalTestEnvironment(new ScratchCurrentDir);

// An engine that reports its life to the journal; its destructor lingers so that a completion message
// posted too early would be seen first.
class ProbeEngine : public CTransferEngine {
public:
    ProbeEngine(IRunView* pOwner, Journal& journal, int result)
        : CTransferEngine(pOwner, RunInput(), 0), m_journal(journal), m_nResult(result)
    {
        m_journal.Add("engine created");
    }
    ~ProbeEngine() override
    {
        ::Sleep(200);
        m_journal.Add("engine destroyed");
    }
    int Run() override
    {
        m_pOwner->SetStatus("probe");
        m_pOwner->SetPos(50);
        m_journal.Add("engine ran");
        return m_nResult;
    }

protected:
    void OnEntry(const FolderEntry&) override {}

private:
    Journal& m_journal;
    int m_nResult;
};

std::atomic<int> g_nLiveThreads(0);

class ProbeThread : public CWorkThread {
public:
    ProbeThread(IRunWindow* pOwner, RunMode nMode, Journal& journal, int result)
        : CWorkThread(pOwner, nMode, UserOrgID()), m_journal(journal), m_nResult(result)
    {
        ++g_nLiveThreads;
    }
    ~ProbeThread() override { --g_nLiveThreads; }

protected:
    CTransferEngine* CreateEngine() override { return new ProbeEngine(m_pOwner, m_journal, m_nResult); }

private:
    Journal& m_journal;
    int m_nResult;
};

// The engine factory of the real worker, open to the test.
class OpenWorkThread : public CWorkThread {
public:
    using CWorkThread::CWorkThread;
    using CWorkThread::CreateEngine;
};

struct HandshakeCase {
    RunMode mode;
    int engineResult;
    const char* message;
};

class HandshakeTest : public ::testing::TestWithParam<HandshakeCase> {};

TEST_P(HandshakeTest, ProgressFirstEngineGoneBeforeTheCompletionMessage)
{
    const HandshakeCase& c = GetParam();
    Journal journal;
    FakeOwner owner(journal);
    ProbeThread* pThread = new ProbeThread(&owner, c.mode, journal, c.engineResult);
    owner.ShowProgress();
    ASSERT_TRUE(pThread->CreateThread());
    ASSERT_TRUE(owner.WaitDone()) << "no completion message within " << kWaitMs << " ms";
    EXPECT_EQ((std::vector<std::string>{ "progress shown", "engine created", "engine ran", "engine destroyed", c.message }),
              journal.Entries());
    EXPECT_EQ("probe", owner.ProgressText(IDC_PROGRESS_STATUS)) << "the engine's status reached the progress window";
    EXPECT_TRUE(test::PumpUntil([] { return g_nLiveThreads == 0; }, kWaitMs)) << "the worker object deletes itself";
}

INSTANTIATE_TEST_SUITE_P(Modes, HandshakeTest,
                         ::testing::Values(HandshakeCase{ kModeExport, 1, "WM_EXPORT_DONE 0 1" },
                                           HandshakeCase{ kModeImport, 7, "WM_IMPORT_DONE 1 1" },
                                           HandshakeCase{ kModeAutoExport, 0, "WM_EXPORT_DONE 2 0" },
                                           HandshakeCase{ kModeAutoImport, 0, "WM_IMPORT_DONE 3 0" }));

TEST(WorkThread, EachModeGetsItsEngine)
{
    test::RecordingView view;
    for (RunMode mode : { kModeExport, kModeAutoExport }) {
        OpenWorkThread worker(&view, mode, UserOrgID());
        std::unique_ptr<CTransferEngine> engine(worker.CreateEngine());
        EXPECT_NE(nullptr, dynamic_cast<CExportEngine*>(engine.get())) << "mode " << mode;
    }
    for (RunMode mode : { kModeImport, kModeAutoImport }) {
        OpenWorkThread worker(&view, mode, UserOrgID{ "ORG1", false });
        std::unique_ptr<CTransferEngine> engine(worker.CreateEngine());
        EXPECT_NE(nullptr, dynamic_cast<CImportEngine*>(engine.get())) << "mode " << mode;
    }
}

TEST(WorkThread, DefaultIsTheHalfSecondPause)
{
    CWorkThread worker(nullptr, kModeExport, UserOrgID());
    EXPECT_EQ(500u, worker.m_dwPauseMs);
}

struct RealRunCase {
    RunMode mode;
    bool settingsSet;
    const char* message;
    const char* error;        // the engine's own box, or ""
};

class RealRunTest : public ::testing::TestWithParam<RealRunCase> {};

TEST_P(RealRunTest, RealEnginesReportThroughTheOwner)
{
    const RealRunCase& c = GetParam();
    test::TempDir root("wrk");
    test::CurrentDir cwd(root.Path());
    test::CleanProfile profile;
    if (c.settingsSet) {
        test::MakeDir(root / "send");
        test::MakeDir(root / "store");
        test::MakeDir(root / "recv");
        settings::SetString(settings::kSourcePath, (root / "send").c_str());
        settings::SetString(settings::kDestPath, (root / "recv").c_str());
        settings::SetString(settings::kExportLocation, (root / "store").c_str());
        test::WriteFile(settings::IniPath(settings::kOrgMapFile), "[OrgMapping]\r\nClientID0000=C1\r\nQRVID0000=P1\r\n");
        test::WriteFile(root / "send\\a_C1_b.txt", "x");
    }
    Journal journal;
    FakeOwner owner(journal);
    CWorkThread* pThread = new CWorkThread(&owner, c.mode, UserOrgID{ "ORG1", false });
    pThread->m_dwPauseMs = 0;
    owner.ShowProgress();
    ASSERT_TRUE(pThread->CreateThread());
    ASSERT_TRUE(owner.WaitDone());
    EXPECT_EQ((std::vector<std::string>{ "progress shown", c.message }), journal.Entries());
    EXPECT_EQ(c.error[0] ? std::vector<std::string>{ c.error } : std::vector<std::string>(), owner.Errors());
    if (c.settingsSet && (c.mode == kModeExport || c.mode == kModeAutoExport)) {
        EXPECT_EQ("x", test::ReadFile(root / "store\\P1\\a_C1_b.txt"));
        EXPECT_EQ("文件导出完成！", owner.ProgressText(IDC_PROGRESS_STATUS));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Modes, RealRunTest,
    ::testing::Values(
        RealRunCase{ kModeExport, false, "WM_EXPORT_DONE 0 0", "还没有设置源数据文件发送路径，请在“接口参数设置”中设置" },
        RealRunCase{ kModeImport, false, "WM_IMPORT_DONE 1 0", "还没有设置源数据文件接收路径，请在“接口参数设置”中设置" },
        RealRunCase{ kModeAutoExport, true, "WM_EXPORT_DONE 2 1", "" },
        RealRunCase{ kModeAutoImport, true, "WM_IMPORT_DONE 3 1", "" }));

// An import for a user organisation ID that is too long, that would lead out of the data-file location
// or that the host has not set yet is refused before any engine is made: the message names UserOrgID and
// nothing is touched.
TEST(WorkThread, AnUnusableUserOrgIDRefusesTheImport)
{
    const char kTooLong[] = "用户机构代码（UserOrgID）超过16个字节（8个汉字）的长度限制，不能导入数据。请检查“UserOrgID”的设置";
    const char kNotAChild[] = "用户机构代码（UserOrgID）不是数据文件存放路径下的一个文件夹名，不能导入数据。请检查“UserOrgID”的设置";
    const struct {
        UserOrgID id;
        const char* message;
    } cases[] = {
        { { "", true }, kTooLong },     { { "..\\send", false }, kNotAChild }, { { "..", false }, kNotAChild },
        { { ".", false }, kNotAChild }, { { "C:\\x", false }, kNotAChild },    { { "Q9\\Backup", false }, kNotAChild },
        { { "", false },
          "宿主程序还没有设定用户机构代码（UserOrgID），不能导入数据。请在宿主程序里设定用户机构代码，然后重新启动宿主程序"
          "（插件只在宿主程序加载它时读取这个代码）" },
    };
    test::TempDir root("wrk");
    test::CleanProfile profile;
    test::MakeDir(root / "send");
    test::MakeDir(root / "store");
    test::WriteFile(root / "send\\a.txt", "a");
    test::WriteFile(root / "store\\b.txt", "b");
    settings::SetString(settings::kDestPath, (root / "recv").c_str());
    settings::SetString(settings::kExportLocation, (root / "store").c_str());
    for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i) {
        SCOPED_TRACE("case " + std::to_string(i) + ": " + cases[i].id.strValue);
        Journal journal;
        FakeOwner owner(journal);
        ASSERT_TRUE((new CWorkThread(&owner, kModeAutoImport, cases[i].id))->CreateThread());
        ASSERT_TRUE(owner.WaitDone());
        EXPECT_EQ(std::vector<std::string>{ "WM_IMPORT_DONE 3 0" }, journal.Entries());
        EXPECT_EQ(std::vector<std::string>{ cases[i].message }, owner.Errors());
        EXPECT_TRUE(owner.Positions().empty());
        EXPECT_EQ((std::vector<std::string>{ "send", "store" }), test::ListDir(root.Path()));
        EXPECT_EQ(std::vector<std::string>{ "a.txt" }, test::ListDir(root / "send"));
        EXPECT_EQ(std::vector<std::string>{ "b.txt" }, test::ListDir(root / "store"));
    }
}

// Workers that fail: the engine cannot be made, or its run throws. Each end is still told, with 0.
class FailingThread : public CWorkThread {
public:
    FailingThread(IRunWindow* pOwner, bool bFailInCreate) : CWorkThread(pOwner, kModeAutoExport, UserOrgID()), m_bFailInCreate(bFailInCreate) {}

protected:
    struct ThrowingEngine : CTransferEngine {
        explicit ThrowingEngine(IRunView* pOwner) : CTransferEngine(pOwner, RunInput(), 0) {}
        int Run() override { throw std::runtime_error("engine failed"); }
        void OnEntry(const FolderEntry&) override {}
    };
    CTransferEngine* CreateEngine() override
    {
        if (m_bFailInCreate)
            throw std::bad_alloc();
        return new ThrowingEngine(m_pOwner);
    }

private:
    bool m_bFailInCreate;
};

TEST(WorkThread, AWorkerThatFailsStillPostsItsEndWithResultZero)
{
    for (bool bFailInCreate : { true, false }) {
        SCOPED_TRACE(bFailInCreate ? "engine not made" : "engine throws");
        Journal journal;
        FakeOwner owner(journal);
        ASSERT_TRUE((new FailingThread(&owner, bFailInCreate))->CreateThread());
        ASSERT_TRUE(owner.WaitDone()) << "the dialog would stay busy for ever";
        EXPECT_EQ(std::vector<std::string>{ "WM_EXPORT_DONE 2 0" }, journal.Entries());
    }
}

// Runs started together in one process take turns: no two engines run at the same time.
class TurnTakingEngine : public CTransferEngine {
public:
    explicit TurnTakingEngine(IRunView* pOwner) : CTransferEngine(pOwner, RunInput(), 0) {}
    int Run() override
    {
        const int live = ++s_nLive;
        s_nMost = std::max(s_nMost.load(), live);
        ::Sleep(300);
        --s_nLive;
        return 1;
    }
    static std::atomic<int> s_nLive;
    static std::atomic<int> s_nMost;

protected:
    void OnEntry(const FolderEntry&) override {}
};
std::atomic<int> TurnTakingEngine::s_nLive(0);
std::atomic<int> TurnTakingEngine::s_nMost(0);

class TurnTakingThread : public CWorkThread {
public:
    using CWorkThread::CWorkThread;

protected:
    CTransferEngine* CreateEngine() override { return new TurnTakingEngine(m_pOwner); }
};

TEST(WorkThread, RunsStartedTogetherTakeTurns)
{
    Journal journal;
    FakeOwner owner(journal);
    const int runs = 4;
    for (int i = 0; i < runs; ++i)
        ASSERT_TRUE((new TurnTakingThread(&owner, i % 2 ? kModeAutoImport : kModeAutoExport, UserOrgID()))->CreateThread());
    ASSERT_TRUE(owner.WaitDone(runs));
    EXPECT_EQ(1, TurnTakingEngine::s_nMost.load());

    // A run still waiting for its turn when a stop is requested ends without starting its engine.
    TurnTakingEngine::s_nMost = 0;
    FakeOwner stopped(journal);
    stopped.m_bStop = true;
    ASSERT_TRUE((new TurnTakingThread(&owner, kModeAutoExport, UserOrgID()))->CreateThread());
    ASSERT_TRUE(test::PumpUntil([] { return TurnTakingEngine::s_nLive != 0; }, kWaitMs));
    ASSERT_TRUE((new TurnTakingThread(&stopped, kModeAutoExport, UserOrgID()))->CreateThread());
    ASSERT_TRUE(stopped.WaitDone());
    EXPECT_EQ("WM_EXPORT_DONE 2 0", journal.Entries().back());
    ASSERT_TRUE(owner.WaitDone(runs + 1));
    EXPECT_EQ(1, TurnTakingEngine::s_nMost.load());
}

} // namespace

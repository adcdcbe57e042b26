// The progress window: frames, shared counter, bar, Destroy and the Escape filter, on real windows.
#include "run/ProgressDlg.h"
#include "framework/App.h"
#include "resource.h"
#include "support/GuiScript.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <commctrl.h>
#include <functional>
#include <map>
#include <vector>

namespace {

const DWORD kWaitMs = 5000;

void PumpFor(DWORD ms)
{
    const DWORD start = ::GetTickCount();
    test::PumpUntil([&] { return ::GetTickCount() - start >= ms; }, ms + 1000);
}

// The colour bits of an icon, to tell the frames apart by their pictures.
std::vector<BYTE> Pixels(HICON hIcon)
{
    ICONINFO info = {};
    if (!::GetIconInfo(hIcon, &info))
        return {};
    BITMAP bm = {};
    ::GetObjectA(info.hbmColor, sizeof(bm), &bm);
    std::vector<BYTE> bits(static_cast<size_t>(bm.bmWidthBytes) * bm.bmHeight);
    ::GetBitmapBits(info.hbmColor, static_cast<LONG>(bits.size()), bits.data());
    ::DeleteObject(info.hbmColor);
    ::DeleteObject(info.hbmMask);
    return bits;
}

// Which gear frame (0, 1, 2) an icon shows, or -1.
int FrameOf(HICON hIcon)
{
    static std::vector<std::vector<BYTE>> s_frames;
    if (s_frames.empty()) {
        for (UINT id : { IDI_GEAR1, IDI_GEAR2, IDI_GEAR3 }) {
            HICON h = static_cast<HICON>(
                ::LoadImageA(CApp::Get()->GetInstance(), MAKEINTRESOURCEA(id), IMAGE_ICON, 40, 40, 0));
            s_frames.push_back(Pixels(h));
            ::DestroyIcon(h);
        }
    }
    const std::vector<BYTE> bits = Pixels(hIcon);
    for (int i = 0; i < 3; ++i)
        if (!bits.empty() && bits == s_frames[i])
            return i;
    return -1;
}

class ProgressDlgTest : public ::testing::Test {
protected:
    HWND Open()
    {
        CProgressDlg* pDlg = new CProgressDlg;
        pDlg->Create(NULL);
        m_pDlg = pDlg;
        return pDlg->m_hWnd;
    }
    void Close()
    {
        if (m_pDlg != nullptr)
            m_pDlg->Destroy();
        m_pDlg = nullptr;
    }
    void TearDown() override { Close(); }

    HICON Shown() const
    {
        return reinterpret_cast<HICON>(::SendDlgItemMessageA(m_pDlg->m_hWnd, IDC_PROGRESS_ICON, STM_GETICON, 0, 0));
    }
    // Waits for the next timer tick of any progress window.
    bool NextTick()
    {
        const unsigned before = CProgressDlg::FrameCounter();
        return test::PumpUntil([&] { return CProgressDlg::FrameCounter() != before; }, kWaitMs);
    }

    CProgressDlg* m_pDlg = nullptr;
};

TEST_F(ProgressDlgTest, OpensVisibleWithTheFirstFrameAndAFullRange)
{
    HWND hWnd = Open();
    ASSERT_TRUE(::IsWindow(hWnd));
    EXPECT_TRUE(::IsWindowVisible(hWnd));
    const LONG style = ::GetWindowLongA(hWnd, GWL_STYLE);
    EXPECT_EQ(0, style & WS_CAPTION & ~WS_BORDER) << "no title bar";
    EXPECT_EQ(0, style & WS_SYSMENU);
    EXPECT_EQ(0, FrameOf(Shown()));
    PBRANGE range = {};
    ::SendDlgItemMessageA(hWnd, IDC_PROGRESS_BAR, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
    EXPECT_EQ(0, range.iLow);
    EXPECT_EQ(100, range.iHigh);
    ICONINFO info = {};
    ASSERT_TRUE(::GetIconInfo(Shown(), &info));
    BITMAP bm = {};
    ::GetObjectA(info.hbmColor, sizeof(bm), &bm);
    EXPECT_EQ(40, bm.bmWidth);
    EXPECT_EQ(40, bm.bmHeight);
    ::DeleteObject(info.hbmColor);
    ::DeleteObject(info.hbmMask);
}

TEST_F(ProgressDlgTest, HeadingStatusAndBar)
{
    HWND hWnd = Open();
    m_pDlg->SetHeading("正在导出数据，请稍候...");
    m_pDlg->SetStatus("正在导出文件a_C1_数据.txt");
    m_pDlg->SetPos(40);
    EXPECT_EQ("正在导出数据，请稍候...", CWindow::GetText(::GetDlgItem(hWnd, IDC_PROGRESS_HEADING)));
    EXPECT_EQ("正在导出文件a_C1_数据.txt", CWindow::GetText(::GetDlgItem(hWnd, IDC_PROGRESS_STATUS)));
    struct Case {
        int set;
        int shown;
    } cases[] = { { 40, 40 }, { 150, 100 }, { -5, 0 }, { 100, 100 } };
    for (const Case& c : cases) {
        TRACE_CASE(cases, c);
        m_pDlg->SetPos(c.set);
        EXPECT_EQ(c.shown, ::SendDlgItemMessageA(hWnd, IDC_PROGRESS_BAR, PBM_GETPOS, 0, 0)) << "SetPos(" << c.set << ")";
    }
    m_pDlg->SetPos(40);
    PumpFor(1000);   // a moment on screen, with a few frames of the animation
}

TEST_F(ProgressDlgTest, FramesCycleWithTheSharedCounter)
{
    Open();
    for (int tick = 0; tick < 7; ++tick) {
        ASSERT_TRUE(NextTick()) << "no timer tick within " << kWaitMs << " ms";
        const unsigned counter = CProgressDlg::FrameCounter();
        EXPECT_EQ(static_cast<int>(counter % 3), FrameOf(Shown())) << "counter " << counter;
    }
}

TEST_F(ProgressDlgTest, ASecondWindowContinuesFromTheCounter)
{
    Open();
    ASSERT_TRUE(NextTick());
    Close();
    const unsigned left = CProgressDlg::FrameCounter();
    Open();
    EXPECT_EQ(0, FrameOf(Shown())) << "every window starts with the first frame";
    EXPECT_EQ(left, CProgressDlg::FrameCounter());
    ASSERT_TRUE(NextTick());
    EXPECT_EQ(left + 1, CProgressDlg::FrameCounter());
    EXPECT_EQ(static_cast<int>((left + 1) % 3), FrameOf(Shown()));
}

TEST_F(ProgressDlgTest, DestroyStopsTheTimerAndReleasesTheIcons)
{
    HWND hWnd = Open();
    std::map<int, HICON> icons;
    icons[FrameOf(Shown())] = Shown();
    for (int tick = 0; tick < 3; ++tick) {
        ASSERT_TRUE(NextTick());
        icons[FrameOf(Shown())] = Shown();
    }
    ASSERT_EQ(3u, icons.size()) << "all three frames shown";
    Close();
    EXPECT_FALSE(::IsWindow(hWnd));
    const unsigned counter = CProgressDlg::FrameCounter();
    PumpFor(700);
    EXPECT_EQ(counter, CProgressDlg::FrameCounter()) << "no tick after Destroy";
    for (const auto& frame : icons) {
        ICONINFO info = {};
        EXPECT_FALSE(::GetIconInfo(frame.second, &info)) << "icon of frame " << frame.first << " still alive";
    }
}

TEST_F(ProgressDlgTest, DestroyRightAfterCreateLeavesNothingBehind)
{
    HWND hWnd = Open();
    HICON first = Shown();
    ASSERT_NE(nullptr, first);
    const unsigned counter = CProgressDlg::FrameCounter();
    Close();
    EXPECT_FALSE(::IsWindow(hWnd));
    EXPECT_FALSE(::KillTimer(hWnd, 1000));
    PumpFor(500);
    EXPECT_EQ(counter, CProgressDlg::FrameCounter());
    ICONINFO info = {};
    EXPECT_FALSE(::GetIconInfo(first, &info));
}

// Records the IDCANCEL commands that reach each window of this thread.
std::map<HWND, int> g_cancels;

LRESULT CALLBACK CommandHook(int code, WPARAM wParam, LPARAM lParam)
{
    const CWPSTRUCT* p = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && p->message == WM_COMMAND && LOWORD(p->wParam) == IDCANCEL)
        ++g_cancels[p->hwnd];
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

// A modal owner whose loop pre-translates for the progress window it holds, as a run dialog does.
class COwnerDlg : public CDialog {
public:
    COwnerDlg() : CDialog(IDD_PROGRESS) {}
    CProgressDlg* m_pProgress = nullptr;
    volatile HWND m_hProgress = NULL;

protected:
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        m_pProgress = new CProgressDlg;
        m_pProgress->Create(m_hWnd);
        m_hProgress = m_pProgress->m_hWnd;
        return TRUE;
    }
    void OnCancel() override
    {
        m_pProgress->Destroy();
        m_pProgress = nullptr;
        CDialog::OnCancel();
    }
};

TEST_F(ProgressDlgTest, EscapeIsConsumedInTheModalLoop)
{
    g_cancels.clear();
    HHOOK hook = ::SetWindowsHookExA(WH_CALLWNDPROC, CommandHook, nullptr, ::GetCurrentThreadId());
    ASSERT_NE(nullptr, hook);
    COwnerDlg owner;
    HWND hProgress = NULL;
    HWND hOwner = NULL;
    bool bStillThere = false;
    test::GuiScript script([&](test::GuiScript& s) {
        s.WaitFor([&] { return owner.m_hProgress != NULL; }, "progress window");
        hProgress = owner.m_hProgress;
        hOwner = owner.m_hWnd;
        ::PostMessageA(hProgress, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
        ::PostMessageA(::GetDlgItem(hProgress, IDC_PROGRESS_BAR), WM_KEYDOWN, VK_ESCAPE, 0x00010001);
        s.Sleep(400);
        bStillThere = ::IsWindow(hProgress) != FALSE;
        // The same key sent to the owner does reach its dialog handling and ends the loop.
        ::PostMessageA(hOwner, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
        s.WaitGone(hProgress);
    });
    owner.DoModal();
    script.Finish();
    ::UnhookWindowsHookEx(hook);
    EXPECT_TRUE(bStillThere);
    EXPECT_EQ(0, g_cancels[hProgress]) << "Escape reached the progress window's dialog handling";
    EXPECT_EQ(1, g_cancels[hOwner]);

    MSG msg = {};
    msg.message = WM_KEYDOWN;
    msg.wParam = VK_ESCAPE;
    CProgressDlg* pDlg = new CProgressDlg;
    pDlg->Create(NULL);
    msg.hwnd = ::GetDlgItem(pDlg->m_hWnd, IDC_PROGRESS_BAR);
    EXPECT_TRUE(pDlg->PreTranslateMessage(&msg));
    msg.hwnd = hOwner;
    EXPECT_FALSE(pDlg->PreTranslateMessage(&msg)) << "a key for another window is not taken";
    pDlg->Destroy();
}

} // namespace

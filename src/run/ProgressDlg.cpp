#include "run/ProgressDlg.h"

#include "framework/App.h"
#include "resource.h"

#include <commctrl.h>

namespace {

const UINT_PTR kAnimationTimer = 1000;
const UINT kAnimationPeriodMs = 200;
const int kIconSize = 40;
const UINT kFrameIcons[] = { IDI_GEAR1, IDI_GEAR2, IDI_GEAR3 };

// Shared by every progress window of the process, so a later window continues the cycle.
unsigned s_nFrameCounter = 0;

} // namespace

CProgressDlg::CProgressDlg() : CDialog(IDD_PROGRESS), m_hGear(NULL), m_ppHolder(nullptr), m_bActivate(true)
{
}

unsigned CProgressDlg::FrameCounter()
{
    return s_nFrameCounter;
}

BOOL CProgressDlg::Create(HWND hOwner, CProgressDlg** ppHolder, bool bActivate)
{
    m_ppHolder = ppHolder;
    m_bActivate = bActivate;
    return CDialog::Create(hOwner);
}

void CProgressDlg::SetHeading(const char* text)
{
    SetDlgItemText(IDC_PROGRESS_HEADING, text);
}

void CProgressDlg::SetStatus(HWND hProgress, const char* text)
{
    ::SetDlgItemTextA(hProgress, IDC_PROGRESS_STATUS, text);
}

void CProgressDlg::SetPos(HWND hProgress, int pos)
{
    ::SendDlgItemMessageA(hProgress, IDC_PROGRESS_BAR, PBM_SETPOS, static_cast<WPARAM>(pos), 0);
}

void CProgressDlg::Destroy()
{
    // Without a window no final message will come to delete the object.
    if (m_hWnd == NULL) {
        PostNcDestroy();
        return;
    }
    ::KillTimer(m_hWnd, kAnimationTimer);
    ::DestroyWindow(m_hWnd);
}

BOOL CProgressDlg::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_ESCAPE
        && (pMsg->hwnd == m_hWnd || ::IsChild(m_hWnd, pMsg->hwnd)))
        return TRUE;
    return CDialog::PreTranslateMessage(pMsg);
}

BOOL CProgressDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_hGear = GetDlgItem(IDC_PROGRESS_ICON);
    ::ShowWindow(m_hWnd, m_bActivate ? SW_SHOW : SW_SHOWNOACTIVATE);
    ::SendDlgItemMessageA(m_hWnd, IDC_PROGRESS_BAR, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    for (int i = 0; i < 3; ++i) {
        m_frames[i].Attach(static_cast<HICON>(::LoadImageA(CApp::Get()->GetInstance(), MAKEINTRESOURCEA(kFrameIcons[i]),
                                                           IMAGE_ICON, kIconSize, kIconSize, 0)));
    }
    ShowFrame(0);
    ::SetTimer(m_hWnd, kAnimationTimer, kAnimationPeriodMs, nullptr);
    // The default focus would activate the window.
    return m_bActivate ? TRUE : FALSE;
}

BOOL CProgressDlg::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (msg == WM_TIMER) {
        ++s_nFrameCounter;
        ShowFrame(s_nFrameCounter % 3);
    }
    return FALSE;
}

void CProgressDlg::PostNcDestroy()
{
    if (m_ppHolder != nullptr)
        *m_ppHolder = nullptr;
    delete this;
}

void CProgressDlg::ShowFrame(unsigned frame)
{
    ::SendMessageA(m_hGear, STM_SETICON, reinterpret_cast<WPARAM>(m_frames[frame].Get()), 0);
}

#include "run/RunDlg.h"

#include "run/ProgressDlg.h"
#include "engine/ExportEngine.h"
#include "framework/App.h"
#include "framework/Gbk.h"
#include "framework/TimedBox.h"
#include "settings/Settings.h"
#include "run/WorkThread.h"

namespace {
const DWORD kBusyTestMs = 100;
// The timer of the pause after a run, during which the final progress stays on screen.
const UINT_PTR kEndPauseTimer = 1;
const char kErrorCaption[] = "错误信息";
// The time edits' text buffer, terminator included.
const size_t kTimeTextBuffer = 260;
}

const char CRunDlg::kDateFormatError[] = "错误的日期格式，标准日期格式如 2000-10-09 08:34:56";

CRunDlg::CRunDlg(const Traits& traits, HWND hParent, bool bAuto, const UserOrgID& userOrgID)
    : CDialog(traits.nTemplate, hParent), m_bAuto(bAuto), m_pProgress(nullptr),
      m_dwEndPauseMs(kDefaultEndPauseMs), m_dwEnginePauseMs(CExportEngine::kDefaultPauseMs), m_traits(traits),
      m_userOrgID(userOrgID), m_hIdle(::CreateEventA(nullptr, TRUE, FALSE, nullptr)), m_hRunWnd(NULL),
      m_hProgressWnd(NULL), m_bStopRequested(false), m_bEndPause(false), m_bCheckingTime(false), m_bClosing(false)
{
    m_bUnattended = bAuto;
    ::SetEvent(m_hIdle);
}

CRunDlg::~CRunDlg()
{
    WaitForWorker();
    DestroyProgress();
}

BOOL CRunDlg::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_ESCAPE)
        return TRUE;
    return CDialog::PreTranslateMessage(pMsg);
}

void CRunDlg::SetStatus(const char* text)
{
    CProgressDlg::SetStatus(m_hProgressWnd, text);
}

void CRunDlg::SetPos(int pos)
{
    CProgressDlg::SetPos(m_hProgressWnd, pos);
}

// The box of an automatic run closes by itself after "AutoErrorBoxSeconds", when that is set.
BoxAnswer CRunDlg::ShowError(const char* text)
{
    const DWORD seconds = m_bAuto ? settings::AutoErrorBoxSeconds(settings::GetInt(settings::kAutoErrorBoxSeconds)) : 0;
    const int answer = TimedMessageBox(m_hRunWnd, text, kErrorCaption, MB_OK | MB_ICONERROR, seconds * 1000);
    return answer == 0 ? BoxAnswer::kNotShown : answer == kBoxTimedOut ? BoxAnswer::kClosedByItself : BoxAnswer::kAnswered;
}

BOOL CRunDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_hRunWnd = m_hWnd;
    DefaultTimes(CDateTime::Now(), &m_startTime, &m_endTime);
    SetDlgItemText(m_traits.nStartTimeId, m_startTime.Format().c_str());
    SetDlgItemText(m_traits.nEndTimeId, m_endTime.Format().c_str());
    InitContents();
    if (m_bAuto) {
        // Nothing of the dialog is seen: no size, and it takes neither the activation nor the focus.
        ::SetWindowPos(m_hWnd, NULL, 0, 0, 0, 0, SWP_NOACTIVATE);
        StartRun();
        return FALSE;
    }
    return TRUE;
}

BOOL CRunDlg::OnCommand(UINT id, UINT code, HWND hCtl)
{
    if (static_cast<int>(id) == m_traits.nRunButtonId && code == BN_CLICKED) {
        StartRun();
        return TRUE;
    }
    if (code == EN_KILLFOCUS && static_cast<int>(id) == m_traits.nStartTimeId) {
        CheckTime(id, m_startTime);
        return TRUE;
    }
    if (code == EN_KILLFOCUS && static_cast<int>(id) == m_traits.nEndTimeId) {
        CheckTime(id, m_endTime);
        return TRUE;
    }
    return CDialog::OnCommand(id, code, hCtl);
}

BOOL CRunDlg::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (msg == WM_DESTROY) {
        // The window goes while a run may be under way (its owner went): the run stops at the next file.
        m_bClosing = true;
        m_bStopRequested = true;
        return FALSE;
    }
    if (msg == WM_TIMER && wParam == kEndPauseTimer) {
        FinishRun();
        result = 0;
        return TRUE;
    }
    if (msg != m_traits.nDoneMessage)
        return FALSE;
    OnRunDone();
    result = 0;
    return TRUE;
}

void CRunDlg::OnOK()
{
    if (IsBusy()) {
        RefuseWhileBusy(m_traits.pszCloseRefused);
        return;
    }
    Close(IDOK);
}

void CRunDlg::OnCancel()
{
    if (IsBusy()) {
        RefuseWhileBusy(m_traits.pszCloseRefused);
        return;
    }
    Close(IDCANCEL);
}

// Nobody sits at an automatic run: a keystroke or close request that reaches it is passed over, and
// the dialog closes itself when its run is over.
void CRunDlg::RefuseWhileBusy(const char* text)
{
    if (!m_bAuto)
        CApp::Get()->MessageBox(m_hWnd, text);
}

void CRunDlg::Close(INT_PTR nResult)
{
    m_bClosing = true;
    if (nResult == IDOK)
        UpdateData(true);
    EndDialog(nResult);
}

// The host is quitting: a run under way stops at the next file and the dialog ends with it.
void CRunDlg::OnQuit()
{
    const bool bRunning = !m_bEndPause && ::WaitForSingleObject(m_hIdle, 0) == WAIT_TIMEOUT;
    m_bStopRequested = true;
    if (m_bEndPause)
        FinishRun();
    else if (!bRunning)
        Close(IDCANCEL);
}

void CRunDlg::OnModalEnd()
{
    WaitForWorker();
}

void CRunDlg::WaitForWorker()
{
    if (!m_hWorker.IsValid())
        return;
    HANDLE hWorker = m_hWorker;
    while (::MsgWaitForMultipleObjects(1, &hWorker, FALSE, INFINITE, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) {
        MSG msg;
        while (::PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                NoteQuit(static_cast<int>(msg.wParam));
                continue;
            }
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
    m_hWorker.Close();
}

bool CRunDlg::IsBusy() const
{
    return ::WaitForSingleObject(m_hIdle, kBusyTestMs) == WAIT_TIMEOUT;
}

void CRunDlg::StartRun()
{
    if (IsBusy()) {
        RefuseWhileBusy(m_traits.pszBusy);
        return;
    }
    ::ResetEvent(m_hIdle);
    // The progress window is drawn before the lists are saved, which takes a moment when they are
    // long; the worker starts once they are.
    if (m_pProgress == nullptr) {
        m_pProgress = new CProgressDlg;
        m_pProgress->Create(m_hWnd, &m_pProgress, !m_bAuto);
        m_pProgress->SetHeading(m_traits.pszHeading);
        m_pProgress->SetStatus("就绪");
        m_pProgress->SetPos(0);
        if (m_pProgress != nullptr && m_pProgress->m_hWnd != NULL)
            ::RedrawWindow(m_pProgress->m_hWnd, nullptr, NULL, RDW_UPDATENOW | RDW_ALLCHILDREN);
    }
    m_hProgressWnd = m_pProgress != nullptr ? m_pProgress->m_hWnd : NULL;
    SaveContents();
    CWorkThread* pWorker = new CWorkThread(this, Mode(), m_userOrgID);
    pWorker->m_dwPauseMs = m_dwEnginePauseMs;
    HANDLE hThread = NULL;
    // A worker that cannot start ends the run at once, as a refused run would.
    if (pWorker->CreateThread(&hThread))
        m_hWorker.Attach(hThread);
    else
        PostMessage(m_traits.nDoneMessage, static_cast<WPARAM>(Mode()), 0);
}

void CRunDlg::OnRunDone()
{
    // The worker has posted its end and touches nothing of the dialog any more; its thread is all but
    // gone, and no message of this thread is needed for it to go.
    if (m_hWorker.IsValid()) {
        ::WaitForSingleObject(m_hWorker, INFINITE);
        m_hWorker.Close();
    }
    // The pause keeps the host's messages flowing: a timer ends it.
    if (!m_bStopRequested && m_dwEndPauseMs != 0 && ::SetTimer(m_hWnd, kEndPauseTimer, m_dwEndPauseMs, nullptr) != 0) {
        m_bEndPause = true;
        return;
    }
    FinishRun();
}

void CRunDlg::FinishRun()
{
    if (m_bEndPause)
        ::KillTimer(m_hWnd, kEndPauseTimer);
    m_bEndPause = false;
    DestroyProgress();
    ::SetEvent(m_hIdle);
    if (m_bAuto || m_bStopRequested)
        Close(IDOK);
    else
        CApp::Get()->MessageBox(m_hWnd, m_traits.pszDone);
}

void CRunDlg::DestroyProgress()
{
    if (m_pProgress != nullptr)
        m_pProgress->Destroy();
}

void CRunDlg::CheckTime(int id, CDateTime& held)
{
    if (m_bCheckingTime || m_bClosing)
        return;
    std::string text = GetDlgItemText(id);
    gbk::CutToBytes(text, kTimeTextBuffer - 1);
    if (text.empty())
        return;
    m_bCheckingTime = true;
    if (!CheckDate(m_hWnd, text.c_str(), &held))
        GotoDlgCtrl(id);
    m_bCheckingTime = false;
}

bool CRunDlg::CheckDate(HWND hOwner, const char* text, CDateTime* pResult)
{
    if (pResult->ParseDateOnly(text))
        return true;
    ::MessageBoxA(hOwner, kDateFormatError, kErrorCaption, MB_OK | MB_ICONEXCLAMATION);
    return false;
}

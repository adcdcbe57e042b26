// The run handshake shared by the export and the import dialog.
//
// How it works. The dialog owns a manual-reset idle event, signalled while no run is active; only the
// dialog's thread sets and resets it. A start request first tests the event (100 ms wait) and refuses
// while busy. Otherwise it saves what the dialog holds, creates the worker, resets the event, shows the
// progress window (so the engine always finds it) and starts the worker. The worker reports through
// IRunView (synchronous calls that this thread serves in its modal loop, and error boxes owned by the
// dialog) and ends by posting the completion message. That message starts the pause (a timer, so that
// the thread goes on serving messages), after which the progress window goes, the event is set and an
// automatic dialog ends or the user is told. Every way of closing is
// refused while busy and Escape is swallowed, so the dialog and its progress window outlive each run.
//
// When the host quits (WM_QUIT reaches the modal loop) or destroys its window (and with it this dialog
// and the progress window) during a run, the run is asked to stop at the next file boundary, and a
// pause under way ends at once. The dialog goes on serving messages until the worker has ended, then
// ends; the object, which the worker
// reaches through IRunView, is never freed before that. The worker reaches the progress window only by
// its handle, and the run window by a handle kept for the whole life of the object.
#pragma once
#include "engine/RunInput.h"
#include "framework/DateTime.h"
#include "framework/Dialog.h"
#include "framework/Handle.h"
#include "run/RunWindow.h"

#include <windows.h>

#include <atomic>

class CProgressDlg;

class CRunDlg : public CDialog, public IRunWindow {
public:
    // What tells the two run dialogs apart.
    struct Traits {
        UINT nTemplate;
        int nStartTimeId;
        int nEndTimeId;
        int nRunButtonId;
        UINT nDoneMessage;
        RunMode nMode;
        RunMode nAutoMode;
        const char* pszBusy;
        const char* pszCloseRefused;
        const char* pszDone;
        const char* pszHeading;
    };

    // A run for the user organisation ID that the application read at load.
    CRunDlg(const Traits& traits, HWND hParent, bool bAuto, const UserOrgID& userOrgID);
    ~CRunDlg() override;

    BOOL PreTranslateMessage(MSG* pMsg) override;

    HWND GetRunWindow() const override { return m_hRunWnd; }
    void SetStatus(const char* text) override;
    void SetPos(int pos) override;
    BoxAnswer ShowError(const char* text) override;
    bool CanShowError() const override { return ::IsWindow(m_hRunWnd) != FALSE; }
    bool IsStopRequested() const override { return m_bStopRequested; }

    static const DWORD kDefaultEndPauseMs = 2000;
    // The message of a time that is no date.
    static const char kDateFormatError[];

    bool m_bAuto;
    CProgressDlg* m_pProgress;
    // The final progress state stays on screen this long after the worker has ended.
    DWORD m_dwEndPauseMs;
    // Handed to the worker: the export engine's pause after each progress step.
    DWORD m_dwEnginePauseMs;
    CDateTime m_startTime;
    CDateTime m_endTime;

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(UINT id, UINT code, HWND hCtl) override;
    BOOL OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void OnOK() override;
    void OnCancel() override;
    void OnQuit() override;
    void OnModalEnd() override;

    // True once the dialog has begun to end: nothing more is checked or asked.
    bool IsClosing() const { return m_bClosing; }
    // Parses text in date-only mode into *pResult (invalid on failure). On failure shows the
    // date-format message in a box owned by hOwner and returns false.
    static bool CheckDate(HWND hOwner, const char* text, CDateTime* pResult);

    // The window's own set-up before an automatic run starts; the time edits are filled already.
    virtual void InitContents() {}
    // Every run writes back what the dialog holds, once its progress window is drawn and before its
    // worker starts.
    virtual void SaveContents() {}
    // The default time window for now.
    virtual void DefaultTimes(const CDateTime& now, CDateTime* pStart, CDateTime* pEnd) const = 0;

private:
    void StartRun();
    RunMode Mode() const { return m_bAuto ? m_traits.nAutoMode : m_traits.nMode; }
    bool IsBusy() const;
    void RefuseWhileBusy(const char* text);
    void OnRunDone();
    // The end of a run once its pause is over: the progress window goes, and the dialog ends or tells.
    void FinishRun();
    void Close(INT_PTR nResult);
    // Serves messages until the last worker's thread has ended.
    void WaitForWorker();
    // The progress window deletes itself; only the pointer is cleared here.
    void DestroyProgress();
    void CheckTime(int id, CDateTime& held);

    Traits m_traits;
    UserOrgID m_userOrgID;
    CHandle m_hIdle;
    // The thread of the last worker started; signalled once it has ended.
    CHandle m_hWorker;
    // What the worker uses of the windows, kept as handles: calls on a window that has gone just fail.
    HWND m_hRunWnd;
    HWND m_hProgressWnd;
    std::atomic<bool> m_bStopRequested;
    // Set while the pause after a run is under way.
    bool m_bEndPause;
    // Set while a date message is up, so that the focus moves it causes start no second check.
    bool m_bCheckingTime;
    // Set when the dialog ends: the edit that loses the focus as the window goes is not checked.
    bool m_bClosing;
};

// The progress window of a run: turning gears, a heading, a status line and a bar. Modeless, without
// caption or buttons; Escape is consumed. Lifetime: created with `new` and Create; Destroy stops the
// timer and destroys the window, after which the object deletes itself. The window also goes with its
// owner: the holder's pointer, handed to Create, is cleared whenever the object deletes itself, so the
// holder never keeps a dangling one. Nobody else deletes the object.
#pragma once
#include "framework/Dialog.h"
#include "framework/Handle.h"

class CProgressDlg : public CDialog {
public:
    CProgressDlg();

    // Shows the window, taking the activation unless bActivate is false (a run nobody watches).
    BOOL Create(HWND hOwner, CProgressDlg** ppHolder = nullptr, bool bActivate = true);
    void SetHeading(const char* text);
    void SetStatus(const char* text) { SetStatus(m_hWnd, text); }
    void SetPos(int pos) { SetPos(m_hWnd, pos); }
    void Destroy();

    // Status line and bar of a progress window by its handle: synchronous window calls that a worker
    // thread may make without touching the object, and that do nothing once the window is gone.
    static void SetStatus(HWND hProgress, const char* text);
    static void SetPos(HWND hProgress, int pos);

    // The process-wide animation counter: one step per timer tick of any progress window.
    static unsigned FrameCounter();

    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    BOOL OnInitDialog() override;
    BOOL OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void PostNcDestroy() override;

private:
    ~CProgressDlg() override = default;
    void ShowFrame(unsigned frame);

    // The static control that shows the gear frames.
    HWND m_hGear;
    CProgressDlg** m_ppHolder;
    bool m_bActivate;
    CIcon m_frames[3];
};

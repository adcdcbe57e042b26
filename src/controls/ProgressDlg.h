// The progress window of a run: turning gears, a heading, a status line and a bar. Modeless, without
// caption or buttons; Escape is consumed. Lifetime: created with `new` and Create; Destroy stops the
// timer and destroys the window, after which the object deletes itself. The holder clears its pointer
// right after Destroy and never deletes the object.
#pragma once
#include "framework/Dialog.h"
#include "framework/Handle.h"

class CProgressDlg : public CDialog {
public:
    CProgressDlg();

    BOOL Create(HWND hOwner);
    void SetHeading(const char* text);
    // SetStatus and SetPos may be called from a worker thread: both are synchronous window calls.
    void SetStatus(const char* text);
    void SetPos(int pos);
    void Destroy();

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

    HWND m_hIcon;
    HWND m_hBar;
    CIcon m_frames[3];
};

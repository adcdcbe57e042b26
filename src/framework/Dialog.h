// Dialogs from resource templates. One static procedure stores `this` at WM_INITDIALOG and routes every
// later message to the virtual handlers; no exception ever leaves a handler into Win32.
//
// Lifetime: a modal dialog is owned by whoever calls DoModal and outlives the call. A modeless dialog
// that deletes itself overrides PostNcDestroy; its holder destroys the window and forgets the pointer.
#pragma once
#include "framework/Window.h"

#include <string>

// Two-way transfer between a dialog's controls and its members.
class CDataExchange {
public:
    CDataExchange(HWND hDlg, bool bSaveAndValidate) : m_hDlg(hDlg), m_bSaveAndValidate(bSaveAndValidate) {}
    HWND m_hDlg;
    bool m_bSaveAndValidate;
};

void DDX_Text(CDataExchange* pDX, int id, std::string& value);
void DDX_Check(CDataExchange* pDX, int id, int& value);

// Registers the common-control window classes the templates use (list view, progress bar, tabs).
void EnsureCommonControls();

class CDialog : public CWindow {
public:
    explicit CDialog(UINT nIDTemplate, HWND hParent = NULL);
    ~CDialog() override;

    // Runs the dialog modally in this module's own message loop, which offers every message to
    // PreTranslateMessage first. The parent is disabled meanwhile, unless the dialog runs unattended.
    // Returns the EndDialog result, or -1.
    // A WM_QUIT that the loop takes goes to OnQuit and is posted again just before DoModal returns, so
    // that the caller's own loop still ends.
    INT_PTR DoModal();
    // Creates the dialog modelessly.
    BOOL Create(HWND hParent);
    // Ends a modal dialog: the loop returns once the current message has been handled.
    void EndDialog(INT_PTR nResult);

    void UpdateData(bool bSaveAndValidate = true);
    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    virtual BOOL OnInitDialog();
    // Default: IDOK runs OnOK, IDCANCEL (also the close box and Escape) runs OnCancel.
    virtual BOOL OnCommand(UINT id, UINT code, HWND hCtl);
    virtual BOOL OnNotify(NMHDR* pNMHDR, LRESULT& result);
    // Any other message. True: handled, with result as the message result.
    virtual BOOL OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    virtual void OnOK();
    virtual void OnCancel();
    virtual void DoDataExchange(CDataExchange* pDX) {}
    // Called after the window is gone and the object forgotten.
    virtual void PostNcDestroy() {}
    // The modal loop took WM_QUIT. Default: the dialog ends.
    virtual void OnQuit();
    // Last step of DoModal: the loop has ended and the window is gone.
    virtual void OnModalEnd() {}
    // Notes a WM_QUIT taken by a message loop of the modal dialog, to be posted again when it ends.
    void NoteQuit(int nExitCode);

    // Routes one message to the object; shared with property pages, whose procedure finds `this` elsewhere.
    static INT_PTR Route(CDialog* pDlg, HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);

    UINT m_nIDTemplate;
    HWND m_hParentWnd;
    // A dialog that runs without anybody at it: DoModal shows it without taking the activation and
    // leaves the parent enabled, so whoever works in the parent goes on undisturbed. Its
    // OnInitDialog returns FALSE, or the default focus would activate it.
    bool m_bUnattended;

private:
    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    void RunModalLoop();

    bool m_bInModal;
    bool m_bEndModal;
    INT_PTR m_nModalResult;
    bool m_bQuitTaken;
    int m_nQuitCode;
};

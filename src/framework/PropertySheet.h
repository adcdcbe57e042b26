// Property sheets on the platform's PropertySheetA. CPropertySheet only fills the header and runs the
// sheet modally; each CPropertyPage owns its state and gets the sheet's notifications as handlers.
//
// Lifetime: the sheet and its pages are owned by the caller of DoModal and outlive the call; the page
// windows exist from the first time their tab is selected until the sheet closes.
#pragma once
#include "framework/Dialog.h"

#include <commctrl.h>
#include <string>
#include <vector>

class CPropertyPage : public CDialog {
public:
    explicit CPropertyPage(UINT nIDTemplate);

    // The page's entry in the sheet header.
    void FillPage(PROPSHEETPAGEA& psp);
    // Enables the sheet's Apply button.
    void SetModified();

protected:
    // The page is left or the sheet applied: take the controls' data; false keeps the page active and
    // stops the apply. Base: takes the data.
    virtual bool OnKillActive();
    // The sheet's apply, for every page whose window exists: store the page's data. Base: nothing.
    void OnOK() override;
    // The sheet's cancel: nothing is stored.
    void OnCancel() override;
    // OK and Cancel belong to the sheet: a page's IDOK or IDCANCEL command stores nothing.
    BOOL OnCommand(UINT id, UINT code, HWND hCtl) override;
    // Handles the sheet's PSN_ notifications; pages hand on what they do not handle.
    BOOL OnNotify(NMHDR* pNMHDR, LRESULT& result) override;

private:
    static INT_PTR CALLBACK PageProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);

    bool m_bFirstSetActive;
};

class CPropertySheet {
public:
    explicit CPropertySheet(const char* caption, UINT nStartPage = 0);

    void AddPage(CPropertyPage* pPage) { m_pages.push_back(pPage); }
    // Runs the sheet owned by the calling thread's active window. Returns PropertySheetA's result.
    INT_PTR DoModal();

private:
    std::string m_strCaption;
    UINT m_nStartPage;
    std::vector<CPropertyPage*> m_pages;
};

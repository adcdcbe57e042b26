#include "framework/PropertySheet.h"

#include "framework/App.h"

CPropertyPage::CPropertyPage(UINT nIDTemplate) : CDialog(nIDTemplate), m_bFirstSetActive(true)
{
}

void CPropertyPage::FillPage(PROPSHEETPAGEA& psp)
{
    psp = PROPSHEETPAGEA();
    psp.dwSize = sizeof(psp);
    psp.dwFlags = PSP_DEFAULT;
    psp.hInstance = CApp::Get()->GetInstance();
    psp.pszTemplate = MAKEINTRESOURCEA(m_nIDTemplate);
    psp.pfnDlgProc = PageProc;
    psp.lParam = reinterpret_cast<LPARAM>(this);
}

void CPropertyPage::SetModified()
{
    ::SendMessageA(::GetParent(m_hWnd), PSM_CHANGED, reinterpret_cast<WPARAM>(m_hWnd), 0);
}

void CPropertyPage::OnOK()
{
}

void CPropertyPage::OnCancel()
{
}

bool CPropertyPage::OnKillActive()
{
    UpdateData(true);
    return true;
}

BOOL CPropertyPage::OnCommand(UINT id, UINT code, HWND hCtl)
{
    return FALSE;
}

BOOL CPropertyPage::OnNotify(NMHDR* pNMHDR, LRESULT& result)
{
    switch (pNMHDR->code) {
    case PSN_SETACTIVE:
        // The first activation follows the page initialisation, which has filled the controls.
        if (!m_bFirstSetActive)
            UpdateData(false);
        m_bFirstSetActive = false;
        result = 0;
        return TRUE;
    case PSN_KILLACTIVE:
        result = OnKillActive() ? FALSE : TRUE;
        return TRUE;
    case PSN_APPLY:
        OnOK();
        result = PSNRET_NOERROR;
        return TRUE;
    case PSN_RESET:
        OnCancel();
        result = 0;
        return TRUE;
    default:
        return FALSE;
    }
}

INT_PTR CALLBACK CPropertyPage::PageProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    CPropertyPage* pPage = msg == WM_INITDIALOG
                               ? reinterpret_cast<CPropertyPage*>(reinterpret_cast<PROPSHEETPAGEA*>(lParam)->lParam)
                               : static_cast<CPropertyPage*>(FromHandle(hWnd));
    return Route(pPage, hWnd, msg, wParam, lParam);
}

CPropertySheet::CPropertySheet(const char* caption, UINT nStartPage) : m_strCaption(caption), m_nStartPage(nStartPage)
{
}

INT_PTR CPropertySheet::DoModal()
{
    EnsureCommonControls();
    std::vector<PROPSHEETPAGEA> pages(m_pages.size());
    for (size_t i = 0; i < m_pages.size(); ++i)
        m_pages[i]->FillPage(pages[i]);
    PROPSHEETHEADERA psh = {};
    psh.dwSize = sizeof(psh);
    psh.dwFlags = PSH_PROPSHEETPAGE;
    psh.hwndParent = ::GetActiveWindow();
    psh.hInstance = CApp::Get()->GetInstance();
    psh.pszCaption = m_strCaption.c_str();
    psh.nPages = static_cast<UINT>(pages.size());
    psh.nStartPage = m_nStartPage;
    psh.ppsp = pages.data();
    return ::PropertySheetA(&psh);
}

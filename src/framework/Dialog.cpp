#include "framework/Dialog.h"

#include "framework/App.h"

#include <commctrl.h>

void DDX_Text(CDataExchange* pDX, int id, std::string& value)
{
    HWND hCtl = ::GetDlgItem(pDX->m_hDlg, id);
    if (pDX->m_bSaveAndValidate)
        value = CWindow::GetText(hCtl);
    else
        ::SetWindowTextA(hCtl, value.c_str());
}

void DDX_Check(CDataExchange* pDX, int id, int& value)
{
    HWND hCtl = ::GetDlgItem(pDX->m_hDlg, id);
    if (pDX->m_bSaveAndValidate)
        value = ::SendMessageA(hCtl, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
    else
        ::SendMessageA(hCtl, BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED, 0);
}

void EnsureCommonControls()
{
    static bool s_bDone = false;
    if (s_bDone)
        return;
    INITCOMMONCONTROLSEX icc = { sizeof(icc), ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS | ICC_TAB_CLASSES | ICC_STANDARD_CLASSES };
    s_bDone = ::InitCommonControlsEx(&icc) != FALSE;
}

CDialog::CDialog(UINT nIDTemplate, HWND hParent)
    : m_nIDTemplate(nIDTemplate), m_hParentWnd(hParent), m_bUnattended(false), m_bInModal(false), m_bEndModal(false), m_nModalResult(-1),
      m_bQuitTaken(false), m_nQuitCode(0)
{
}

CDialog::~CDialog()
{
    if (m_hWnd && ::IsWindow(m_hWnd)) {
        HWND hWnd = m_hWnd;
        Unregister();
        ::DestroyWindow(hWnd);
    }
}

INT_PTR CDialog::DoModal()
{
    m_bInModal = true;
    m_bEndModal = false;
    m_nModalResult = -1;
    m_bQuitTaken = false;
    EnsureCommonControls();
    HWND hWnd = ::CreateDialogParamA(CApp::Get()->GetInstance(), MAKEINTRESOURCEA(m_nIDTemplate), m_hParentWnd,
                                     DialogProc, reinterpret_cast<LPARAM>(this));
    if (hWnd == NULL) {
        m_bInModal = false;
        return -1;
    }
    bool bParentDisabled = false;
    if (m_hParentWnd && ::IsWindowEnabled(m_hParentWnd) && !m_bUnattended) {
        ::EnableWindow(m_hParentWnd, FALSE);
        bParentDisabled = true;
    }
    if (!m_bEndModal)
        ::ShowWindow(hWnd, m_bUnattended ? SW_SHOWNOACTIVATE : SW_SHOW);
    RunModalLoop();
    // Re-enable the parent before the dialog goes, so that activation returns to it.
    if (bParentDisabled)
        ::EnableWindow(m_hParentWnd, TRUE);
    if (m_hParentWnd && ::GetActiveWindow() == hWnd)
        ::SetActiveWindow(m_hParentWnd);
    if (::IsWindow(hWnd))
        ::DestroyWindow(hWnd);
    OnModalEnd();
    m_bInModal = false;
    if (m_bQuitTaken)
        ::PostQuitMessage(m_nQuitCode);
    return m_nModalResult;
}

void CDialog::RunModalLoop()
{
    MSG msg;
    while (!m_bEndModal && m_hWnd != NULL) {
        BOOL rc = ::GetMessageA(&msg, NULL, 0, 0);
        if (rc == 0) {
            NoteQuit(static_cast<int>(msg.wParam));
            OnQuit();
            continue;
        }
        if (rc == -1)
            break;
        if (!WalkPreTranslateTree(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
}

BOOL CDialog::Create(HWND hParent)
{
    m_hParentWnd = hParent;
    EnsureCommonControls();
    HWND hWnd = ::CreateDialogParamA(CApp::Get()->GetInstance(), MAKEINTRESOURCEA(m_nIDTemplate), hParent,
                                     DialogProc, reinterpret_cast<LPARAM>(this));
    return hWnd != NULL;
}

void CDialog::EndDialog(INT_PTR nResult)
{
    if (!m_bInModal)
        return;
    m_nModalResult = nResult;
    m_bEndModal = true;
    if (m_hWnd)
        PostMessage(WM_NULL);
}

void CDialog::NoteQuit(int nExitCode)
{
    m_bQuitTaken = true;
    m_nQuitCode = nExitCode;
}

void CDialog::OnQuit()
{
    EndDialog(IDCANCEL);
}

void CDialog::UpdateData(bool bSaveAndValidate)
{
    CDataExchange dx(m_hWnd, bSaveAndValidate);
    DoDataExchange(&dx);
}

BOOL CDialog::PreTranslateMessage(MSG* pMsg)
{
    return ::IsDialogMessageA(m_hWnd, pMsg);
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(false);
    return TRUE;
}

BOOL CDialog::OnCommand(UINT id, UINT code, HWND hCtl)
{
    if (id == IDOK && code == BN_CLICKED) {
        OnOK();
        return TRUE;
    }
    if (id == IDCANCEL && code == BN_CLICKED) {
        OnCancel();
        return TRUE;
    }
    return FALSE;
}

BOOL CDialog::OnNotify(NMHDR* pNMHDR, LRESULT& result)
{
    return FALSE;
}

BOOL CDialog::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    return FALSE;
}

void CDialog::OnOK()
{
    UpdateData(true);
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    CDialog* pDlg = msg == WM_INITDIALOG ? reinterpret_cast<CDialog*>(lParam)
                                         : static_cast<CDialog*>(FromHandle(hWnd));
    return Route(pDlg, hWnd, msg, wParam, lParam);
}

INT_PTR CDialog::Route(CDialog* pDlg, HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (pDlg == nullptr)
        return FALSE;
    if (msg == WM_INITDIALOG)
        pDlg->Register(hWnd);
    try {
        if (msg == WM_NCDESTROY) {
            pDlg->HandleMessage(msg, wParam, lParam);
            pDlg->Unregister();
            // Whatever destroyed the window (its owner went, perhaps by a message sent from another
            // thread), the modal loop waiting in GetMessage must see it now, not at the next message.
            if (pDlg->m_bInModal)
                ::PostThreadMessageA(::GetCurrentThreadId(), WM_NULL, 0, 0);
            pDlg->PostNcDestroy();
            return FALSE;
        }
        return pDlg->HandleMessage(msg, wParam, lParam);
    } catch (...) {
        return FALSE;
    }
}

INT_PTR CDialog::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    switch (msg) {
    case WM_INITDIALOG:
        return OnInitDialog();
    case WM_COMMAND:
        if (OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)))
            return TRUE;
        break;
    case WM_NOTIFY: {
        NMHDR* pNMHDR = reinterpret_cast<NMHDR*>(lParam);
        CWindow* pCtl = FromHandle(pNMHDR->hwndFrom);
        if ((pCtl != nullptr && pCtl->OnChildNotify(pNMHDR, result)) || OnNotify(pNMHDR, result)) {
            ::SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, result);
            return TRUE;
        }
        break;
    }
    default:
        break;
    }
    if (OnMessage(msg, wParam, lParam, result)) {
        if (msg >= WM_CTLCOLORMSGBOX && msg <= WM_CTLCOLORSTATIC)
            return static_cast<INT_PTR>(result);
        ::SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, result);
        return TRUE;
    }
    return FALSE;
}

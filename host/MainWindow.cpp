#include "MainWindow.h"

#include "resource.h"


namespace {

const char kClassName[] = "QRVHUBMainWindow";

struct InputState {
    const char* prompt;
    std::string text;
};

INT_PTR CALLBACK InputProc(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam)
{
    InputState* state = reinterpret_cast<InputState*>(::GetWindowLongPtrA(hDlg, DWLP_USER));
    switch (msg) {
    case WM_INITDIALOG:
        state = reinterpret_cast<InputState*>(lParam);
        ::SetWindowLongPtrA(hDlg, DWLP_USER, lParam);
        ::SetDlgItemTextA(hDlg, IDC_INPUT_PROMPT, state->prompt);
        ::SetDlgItemTextA(hDlg, IDC_INPUT_TEXT, state->text.c_str());
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            char text[1024] = "";
            ::GetDlgItemTextA(hDlg, IDC_INPUT_TEXT, text, sizeof(text));
            state->text = text;
            ::EndDialog(hDlg, IDOK);
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            ::EndDialog(hDlg, IDCANCEL);
            return TRUE;
        }
        break;
    default:
        break;
    }
    return FALSE;
}

} // namespace

bool MainWindow::Create(HINSTANCE hInstance, int nCmdShow)
{
    m_hInstance = hInstance;
    WNDCLASSA wc = {};
    wc.lpfnWndProc = WndProc;
    wc.hInstance = hInstance;
    wc.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
    wc.hIcon = ::LoadIcon(nullptr, IDI_APPLICATION);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszMenuName = MAKEINTRESOURCEA(IDR_MAINMENU);
    wc.lpszClassName = kClassName;
    ::RegisterClassA(&wc);
    m_hWnd = ::CreateWindowA(kClassName, kHostTitle, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 640, 400,
                             nullptr, nullptr, hInstance, this);
    if (!m_hWnd)
        return false;
    ::ShowWindow(m_hWnd, nCmdShow);
    ::UpdateWindow(m_hWnd);
    return true;
}

void MainWindow::Log(const std::string& line)
{
    if (!m_hLog)
        return;
    int index = static_cast<int>(::SendMessageA(m_hLog, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str())));
    ::SendMessageA(m_hLog, LB_SETCURSEL, index, 0);
}

int MainWindow::MessageLoop()
{
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}

std::string MainWindow::AskText(const char* prompt, const std::string& initial, bool* ok)
{
    InputState state = { prompt, initial };
    *ok = ::DialogBoxParamA(m_hInstance, MAKEINTRESOURCEA(IDD_INPUT), m_hWnd, InputProc,
                            reinterpret_cast<LPARAM>(&state)) == IDOK;
    return state.text;
}

void MainWindow::OnCommand(int id)
{
    char line[1200];
    bool ok = false;
    switch (id) {
    case ID_EXPORT:
        wsprintfA(line, "Export() = %d", m_plugin.Export());
        break;
    case ID_AUTOEXPORT:
        wsprintfA(line, "AutoExport() = %d", m_plugin.AutoExport());
        break;
    case ID_IMPORT:
        wsprintfA(line, "Import() = %d", m_plugin.Import());
        break;
    case ID_AUTOIMPORT:
        wsprintfA(line, "AutoImport() = %d", m_plugin.AutoImport());
        break;
    case ID_SETUP:
        m_plugin.Setup();
        wsprintfA(line, "Setup()");
        break;
    case ID_SET_DATA_PATH: {
        std::string path = AskText("数据文件存放路径：", "", &ok);
        if (!ok)
            return;
        wsprintfA(line, "SetDataFilePath(\"%.1000s\") = %d", path.c_str(), m_plugin.SetDataFilePath(path.c_str()));
        break;
    }
    case ID_SET_USER_ORG: {
        std::string code = AskText("用户机构代码：", "", &ok);
        if (!ok)
            return;
        wsprintfA(line, "SetUserOrgID(\"%.1000s\") = %d", code.c_str(), m_plugin.SetUserOrgID(code.c_str()));
        break;
    }
    case ID_INFO:
        ::MessageBoxA(m_hWnd, m_plugin.Describe().c_str(), "接口信息", MB_OK | MB_ICONINFORMATION);
        return;
    case ID_EXIT:
        ::DestroyWindow(m_hWnd);
        return;
    default:
        return;
    }
    Log(line);
}

LRESULT CALLBACK MainWindow::WndProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    MainWindow* self = reinterpret_cast<MainWindow*>(::GetWindowLongPtrA(hWnd, GWLP_USERDATA));
    switch (msg) {
    case WM_NCCREATE:
        self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        self->m_hWnd = hWnd;
        ::SetWindowLongPtrA(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        break;
    case WM_CREATE:
        self->m_hLog = ::CreateWindowExA(WS_EX_CLIENTEDGE, "LISTBOX", "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOINTEGRALHEIGHT,
                                         0, 0, 0, 0, hWnd, nullptr, self->m_hInstance, nullptr);
        ::SendMessageA(self->m_hLog, WM_SETFONT, reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT)), TRUE);
        self->Log(self->m_plugin.Describe());
        return 0;
    case WM_SIZE:
        if (self && self->m_hLog)
            ::MoveWindow(self->m_hLog, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        return 0;
    case WM_COMMAND:
        if (self)
            self->OnCommand(LOWORD(wParam));
        return 0;
    case WM_DESTROY:
        ::PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return ::DefWindowProcA(hWnd, msg, wParam, lParam);
}

#include "framework/TimedBox.h"

#include <cstring>

namespace {

// The message box is the one dialog window of the thread that shows it.
BOOL CALLBACK FindBox(HWND hWnd, LPARAM lParam)
{
    char className[16] = "";
    ::GetClassNameA(hWnd, className, sizeof(className));
    if (std::strcmp(className, "#32770") != 0)
        return TRUE;
    *reinterpret_cast<HWND*>(lParam) = hWnd;
    return FALSE;
}

// A thread timer's procedure runs inside the box's own modal loop, on its thread.
void CALLBACK EndBox(HWND, UINT, UINT_PTR, DWORD)
{
    HWND hBox = NULL;
    ::EnumThreadWindows(::GetCurrentThreadId(), FindBox, reinterpret_cast<LPARAM>(&hBox));
    if (hBox != NULL)
        ::EndDialog(hBox, kBoxTimedOut);
}

} // namespace

int TimedMessageBox(HWND hOwner, const char* text, const char* caption, UINT type, DWORD timeoutMs)
{
    const UINT_PTR timer = timeoutMs != 0 ? ::SetTimer(NULL, 0, timeoutMs, EndBox) : 0;
    const int result = ::MessageBoxA(hOwner, text, caption, type);
    if (timer != 0)
        ::KillTimer(NULL, timer);
    return result;
}

// A message box that closes by itself after a time, for a run that nobody may be sitting at.
#pragma once
#include <windows.h>

// What TimedMessageBox returns for a box that closed by itself.
const int kBoxTimedOut = 32000;

// MessageBoxA on the calling thread; after timeoutMs (0: never) the box ends by itself with
// kBoxTimedOut. 0 when the box could not be shown.
int TimedMessageBox(HWND hOwner, const char* text, const char* caption, UINT type, DWORD timeoutMs);

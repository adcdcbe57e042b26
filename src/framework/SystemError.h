// A Windows error in words, for people.
#pragma once
#include <windows.h>
#include <string>

// "系统错误 N：<the system's text>", the text on one line and without its final full stop, so that it
// can stand inside a sentence or brackets.
std::string SystemErrorText(DWORD error);

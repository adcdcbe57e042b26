// A Windows error in words, for people.
#pragma once
#include <windows.h>
#include <string>

// "系统错误 N：<the system's text>", the text on one line.
std::string SystemErrorText(DWORD error);

#include "framework/SystemError.h"

#include "framework/Gbk.h"

std::string SystemErrorText(DWORD error)
{
    char text[512] = "";
    const DWORD n = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, text,
                                     sizeof(text), nullptr);
    std::string message(text, n < sizeof(text) ? n : 0);
    for (char& c : message) {
        if (c == '\r' || c == '\n')
            c = ' ';
    }
    while (!message.empty() && message.back() == ' ')
        message.pop_back();
    gbk::DropFullStop(message);
    char number[16];
    ::wsprintfA(number, "%lu", error);
    return std::string("系统错误 ") + number + (message.empty() ? "" : "：" + message);
}

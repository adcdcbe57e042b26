#include "Console.h"
#include "Report.h"

#include "framework/Gbk.h"
#include "framework/WideText.h"

#include <windows.h>

namespace check {

void WriteLine(const std::string& text)
{
    const std::string line = text + "\r\n";
    HANDLE out = ::GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode = 0, written = 0;
    if (::GetConsoleMode(out, &mode)) {
        const WideText wide = ToWide(line, kGbkCodePage);
        ::WriteConsoleW(out, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
        return;
    }
    ::WriteFile(out, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

std::string Argument(const std::string& text)
{
    return text.find_first_of(" &()^=;,") == std::string::npos ? text : "\"" + text + "\"";
}

} // namespace check

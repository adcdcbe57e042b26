#include "Console.h"
#include "Report.h"

#include "framework/Gbk.h"

#include <windows.h>
#include <vector>

namespace check {

void WriteLine(const std::string& text)
{
    const std::string line = text + "\r\n";
    HANDLE out = ::GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode = 0, written = 0;
    if (::GetConsoleMode(out, &mode)) {
        const int length = static_cast<int>(line.size());
        std::vector<wchar_t> wide(line.size() + 1, L'\0');
        const int n = ::MultiByteToWideChar(kGbkCodePage, 0, line.data(), length, wide.data(), length + 1);
        ::WriteConsoleW(out, wide.data(), static_cast<DWORD>(n), &written, nullptr);
        return;
    }
    ::WriteFile(out, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

std::string Argument(const std::string& text)
{
    return text.find_first_of(" &()^=;,") == std::string::npos ? text : "\"" + text + "\"";
}

} // namespace check

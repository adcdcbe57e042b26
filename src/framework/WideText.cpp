#include "framework/WideText.h"

#include <windows.h>

namespace {

// ASCII is the same in every code page used here, and most text is ASCII alone.
template <class From, class To>
bool CopyAscii(const From& from, To* pTo)
{
    for (const auto c : from) {
        if (static_cast<unsigned>(c) >= 0x80)
            return false;
    }
    pTo->assign(from.begin(), from.end());
    return true;
}

std::string Narrow(const WideText& text, unsigned codePage, DWORD flags, BOOL* pUsedDefault)
{
    std::string narrow;
    if (CopyAscii(text, &narrow))
        return narrow;
    const int size = static_cast<int>(text.size());
    const int n = ::WideCharToMultiByte(codePage, flags, text.data(), size, nullptr, 0, nullptr, pUsedDefault);
    narrow.assign(n > 0 ? n : 0, '\0');
    if (n > 0)
        ::WideCharToMultiByte(codePage, flags, text.data(), size, &narrow[0], n, nullptr, pUsedDefault);
    return narrow;
}

} // namespace

WideText ToWide(const std::string& text, unsigned codePage)
{
    WideText wide;
    if (CopyAscii(text, &wide))
        return wide;
    const int size = static_cast<int>(text.size());
    const int n = ::MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
    wide.assign(n > 0 ? n : 0, L'\0');
    if (n > 0)
        ::MultiByteToWideChar(codePage, 0, text.data(), size, &wide[0], n);
    return wide;
}

std::string FromWide(const WideText& text, unsigned codePage)
{
    return Narrow(text, codePage, 0, nullptr);
}

bool ToGbkExactly(const WideText& text, std::string* pText)
{
    BOOL usedDefault = FALSE;
    *pText = Narrow(text, kAnsiCodePage, WC_NO_BEST_FIT_CHARS, &usedDefault);
    return !usedDefault && ToWide(*pText) == text;
}

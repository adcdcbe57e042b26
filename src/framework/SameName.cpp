#include "framework/SameName.h"

#include <windows.h>

WideText NameKey(WideText name)
{
    // The capitals of ASCII are the same in every table, and most names are ASCII alone: the system is
    // asked only for the others.
    bool bAscii = true;
    for (wchar_t& c : name) {
        bAscii = bAscii && c < 0x80;
        if (c >= L'a' && c <= L'z')
            c = static_cast<wchar_t>(c - L'a' + L'A');
    }
    if (!bAscii)
        ::CharUpperBuffW(&name[0], static_cast<DWORD>(name.size()));
    return name;
}

bool IsSameName(const WideText& a, const WideText& b)
{
    return a.size() == b.size() && NameKey(a) == NameKey(b);
}

bool IsSameName(const std::string& a, const std::string& b)
{
    return IsSameName(ToWide(a), ToWide(b));
}

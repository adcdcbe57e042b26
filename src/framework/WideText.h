// UTF-16 text for the platform's wide functions, and its conversions from and to the narrow text that the
// rest of the code holds (GBK, the ANSI code page; UTF-8 where a file is in it).
#pragma once
#include <string>

// Its own character traits keep this string class apart from std::wstring, whose members all come
// compiled from the C++ runtime library: this one brings only the members used into the DLL.
struct WideTraits : std::char_traits<wchar_t> {};
typedef std::basic_string<wchar_t, WideTraits> WideText;

// The ANSI code page (CP_ACP): GBK, the one the narrow file functions use.
const unsigned kAnsiCodePage = 0;

// text, in codePage, in UTF-16.
WideText ToWide(const std::string& text, unsigned codePage = kAnsiCodePage);
// text in codePage; a character that codePage lacks is given as the narrow functions give it (a look-alike
// or "?").
std::string FromWide(const WideText& text, unsigned codePage = kAnsiCodePage);
// text in GBK, and whether GBK gives it back exactly: no character left out or replaced by a look-alike.
// When not, *pText is a spelling for people to read, "?" for what GBK lacks.
bool ToGbkExactly(const WideText& text, std::string* pText);

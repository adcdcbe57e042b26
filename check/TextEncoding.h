// Telling the text encodings of files apart: GBK, which the plug-in reads and writes, and UTF-8, which
// newer editors and Excel's "CSV UTF-8" save.
#pragma once
#include <windows.h>
#include <string>

namespace check {

extern const char kUtf8Bom[];

// True when size bytes of text are valid in the code page.
bool Converts(UINT codePage, const char* text, size_t size);

// Valid UTF-8 with a three-byte sequence, as every Chinese character in UTF-8 is. GBK text of more than
// a character or two is never valid UTF-8.
bool IsUtf8Text(const std::string& bytes);

} // namespace check

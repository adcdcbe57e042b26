#include "TextEncoding.h"

namespace check {

const char kUtf8Bom[] = "\xEF\xBB\xBF";

bool Converts(UINT codePage, const char* text, size_t size)
{
    return size == 0
           || ::MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text, static_cast<int>(size), nullptr, 0) > 0;
}

bool IsUtf8Text(const std::string& bytes)
{
    bool threeBytes = false;
    for (unsigned char c : bytes)
        threeBytes = threeBytes || (c >= 0xE0 && c <= 0xEF);
    return threeBytes && Converts(CP_UTF8, bytes.data(), bytes.size());
}

} // namespace check

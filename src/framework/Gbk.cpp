#include "framework/Gbk.h"

#include <cstring>

namespace gbk {

bool IsLeadByte(char c)
{
    const unsigned char b = static_cast<unsigned char>(c);
    return b >= 0x81 && b <= 0xFE;
}

const char* Next(const char* p)
{
    if (*p == '\0')
        return p;
    if (IsLeadByte(*p) && p[1] != '\0')
        return p + 2;
    return p + 1;
}

const char* Find(const char* text, char c)
{
    for (const char* p = text; *p; p = Next(p)) {
        if (*p == c)
            return p;
    }
    return nullptr;
}

bool EndsWith(const std::string& text, char c)
{
    const char* last = nullptr;
    for (const char* p = text.c_str(); *p; p = Next(p))
        last = p;
    return last != nullptr && last[0] == c && last[1] == '\0';
}

void CutToBytes(std::string& text, size_t maxBytes)
{
    if (text.size() <= maxBytes)
        return;
    const char* begin = text.c_str();
    const char* p = begin;
    while (*p) {
        const char* next = Next(p);
        if (static_cast<size_t>(next - begin) > maxBytes)
            break;
        p = next;
    }
    text.resize(p - begin);
}

void DropFullStop(std::string& text)
{
    const char* last = nullptr;
    for (const char* p = text.c_str(); *p; p = Next(p))
        last = p;
    // "\xA1\xA3" is "。" in GBK, whatever the compiler's character set.
    if (last != nullptr && (std::strcmp(last, "\xA1\xA3") == 0 || std::strcmp(last, ".") == 0))
        text.resize(last - text.c_str());
}

void DropPartialTail(std::string& text)
{
    const char* begin = text.c_str();
    const char* p = begin;
    while (*p) {
        if (IsLeadByte(*p) && p[1] == '\0') {
            text.resize(p - begin);
            return;
        }
        p = Next(p);
    }
}

bool CopyTo(char* buffer, size_t size, const std::string& text)
{
    if (size == 0)
        return false;
    std::string cut = text;
    CutToBytes(cut, size - 1);
    std::memcpy(buffer, cut.c_str(), cut.size() + 1);
    return cut.size() == text.size();
}

} // namespace gbk

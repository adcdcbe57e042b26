#include "settings/NameList.h"

#include <cstring>

namespace settings {

std::vector<std::string> ParseNameList(const char* list, size_t length, size_t bufferSize)
{
    std::vector<std::string> names;
    size_t used = 1; // the list's final terminator
    const char* end = list + length;
    for (const char* p = list; p < end && *p;) {
        const size_t nameLength = strnlen(p, end - p);
        if (used + nameLength + 1 > bufferSize)
            break;
        used += nameLength + 1;
        names.emplace_back(p, nameLength);
        p += nameLength + 1;
    }
    return names;
}

} // namespace settings

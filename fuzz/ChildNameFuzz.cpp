// The root check: a name that passes it, joined to a root, names a child of that root and nothing
// else: one path component, no drive or stream colon, not "." or ".." once the platform has stripped
// its trailing dots and blanks, and no device.
#include "FuzzText.h"
#include "framework/ChildName.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::Input in(data, size);
    const std::string name = in.Text();
    if (!IsChildName(name))
        return 0;
    for (size_t start : fuzz::CharacterStarts(name))
        fuzz::Check(name[start] != '\\' && name[start] != '/' && name[start] != ':');
    std::string stripped = name;
    while (!stripped.empty() && (stripped.back() == '.' || stripped.back() == ' '))
        stripped.pop_back();
    fuzz::Check(!stripped.empty());
    fuzz::Check(stripped.find_first_not_of(". ") != std::string::npos);
    static const char* const kDevices[] = { "con", "prn", "aux", "nul", "com1", "com9", "lpt1", "lpt9" };
    std::string lower = name;
    for (char& c : lower)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    for (const char* device : kDevices) {
        const std::string d = device;
        // The device itself, with blanks after it, or with an extension.
        const size_t k = lower.find_first_not_of(' ', d.size());
        fuzz::Check(!(lower.compare(0, d.size(), d) == 0 && (k == std::string::npos || lower[k] == '.')));
    }
    return 0;
}

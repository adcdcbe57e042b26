// Double-NUL name lists: the names come back in order, whole, up to the first empty one; together they
// fit the buffer with their terminators and the list's own; the first name left out would not have.
#include "FuzzText.h"
#include "settings/NameList.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::Input in(data, size);
    const size_t bufferSize = (in.Byte() << 8 | in.Byte()) % 2048;
    const std::string bytes = in.Rest();
    std::vector<std::string> all;
    for (size_t i = 0; i < bytes.size() && bytes[i] != '\0';) {
        size_t end = bytes.find('\0', i);
        if (end == std::string::npos)
            end = bytes.size();
        all.push_back(bytes.substr(i, end - i));
        i = end + 1;
    }
    const std::vector<std::string> names = settings::ParseNameList(bytes.data(), bytes.size(), bufferSize);
    fuzz::Check(names.size() <= all.size());
    size_t used = 1;
    for (size_t i = 0; i < names.size(); ++i) {
        fuzz::Check(names[i] == all[i]);
        used += names[i].size() + 1;
    }
    fuzz::Check(names.empty() || used <= bufferSize);
    if (names.size() < all.size())
        fuzz::Check(used + all[names.size()].size() + 1 > bufferSize);
    return 0;
}

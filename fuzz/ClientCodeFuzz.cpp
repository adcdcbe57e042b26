// The naming rule: a client code is found exactly when the name has a non-empty prefix and a non-empty
// code before its second underscore, and it is the text between the first two real underscores (those
// that start a character, not the trail byte of a double-byte one).
#include "FuzzText.h"
#include "engine/ClientCode.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::Input in(data, size);
    const std::string name = in.Text();
    std::vector<size_t> underscores;
    for (size_t start : fuzz::CharacterStarts(name)) {
        if (name[start] == '_')
            underscores.push_back(start);
    }
    const bool expected = underscores.size() >= 2 && underscores[0] > 0 && underscores[1] > underscores[0] + 1;
    std::string code = "unchanged";
    const bool found = ClientCodeOf(name.c_str(), code);
    fuzz::Check(found == expected);
    if (found)
        fuzz::Check(code == name.substr(underscores[0] + 1, underscores[1] - underscores[0] - 1));
    else
        fuzz::Check(code == "unchanged");
    return 0;
}

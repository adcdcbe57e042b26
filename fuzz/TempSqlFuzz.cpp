// The supplier value list: whatever the rows, TempSQL parses back to the ticked codes in order (each an
// SQL literal with its quotes doubled), and reads "('')" when none is ticked.
#include "FuzzText.h"
#include "settings/Settings.h"

namespace {

// "(" literal { "," [" "] literal } ")" [" "], or "()" -- false when the text has another form.
bool ParseValueList(const std::string& text, std::vector<std::string>& codes)
{
    size_t i = 0;
    auto at = [&](char c) { return i < text.size() && text[i] == c; };
    if (!at('('))
        return false;
    ++i;
    if (at(')'))
        return i + 1 == text.size();
    for (;;) {
        if (!at('\''))
            return false;
        ++i;
        std::string code;
        for (;;) {
            if (i >= text.size())
                return false;
            if (text[i] == '\'') {
                if (i + 1 < text.size() && text[i + 1] == '\'') {
                    code += '\'';
                    i += 2;
                    continue;
                }
                ++i;
                break;
            }
            code += text[i++];
        }
        codes.push_back(code);
        if (at(')')) {
            ++i;
            return i == text.size() || (i + 1 == text.size() && text[i] == ' ');
        }
        if (!at(','))
            return false;
        ++i;
        if (at(' '))
            ++i;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::Input in(data, size);
    std::vector<settings::Supplier> rows;
    std::vector<std::string> ticked;
    while (in.Left() > 0 && rows.size() < 64) {
        settings::Supplier row;
        row.valid = (in.Byte() & 1) != 0;
        row.code = in.Text();
        if (row.valid)
            ticked.push_back(row.code);
        rows.push_back(row);
    }
    const std::string list = settings::BuildTempSQL(rows);
    std::vector<std::string> parsed;
    fuzz::Check(ParseValueList(list, parsed));
    if (ticked.empty())
        fuzz::Check(list == "('')");
    else
        fuzz::Check(parsed == ticked);
    return 0;
}

#include "settings/Settings.h"

namespace settings {

namespace {

// An SQL string literal: the code between single quotes, each quote inside it doubled.
std::string Quote(const std::string& code)
{
    std::string literal = "'";
    for (char c : code) {
        literal += c;
        if (c == '\'')
            literal += '\'';
    }
    return literal + "'";
}

} // namespace

// The value list keeps the form its consumers know: ", " between codes, no blank before the last
// ticked code when it is the last row, and "') " after it.
std::string BuildTempSQL(const std::vector<Supplier>& suppliers)
{
    std::string list = "(";
    const size_t n = suppliers.size();
    bool anyCode = false;
    if (n == 0)
        list += ")";
    for (size_t i = 0; i < n; ++i) {
        const Supplier& row = suppliers[i];
        if (n == 1) {
            list += row.valid ? Quote(row.code) + ")" : ")";
        } else if (i < n - 1) {
            if (row.valid) {
                list += (anyCode ? ", " : "") + Quote(row.code);
                anyCode = true;
            }
        } else if (row.valid) {
            list += (anyCode ? "," : "") + Quote(row.code) + ") ";
        } else {
            list += ")";
        }
    }
    if (list == "()")
        list = "('')";
    return list;
}

} // namespace settings

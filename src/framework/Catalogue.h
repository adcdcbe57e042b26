// A catalogue: a table beside an enum with one row for each of its values, in the enum's order, so
// that a value is its row's index. Each row names its value in a member called value.
#pragma once
#include <cstddef>
#include <cstring>
#include <string>

// True when rows has one row for each value from the first up to last, in order.
template <class Row, std::size_t N, class Enum>
constexpr bool HasOneRowPerValue(const Row (&rows)[N], Enum last)
{
    if (N != static_cast<std::size_t>(last) + 1)
        return false;
    for (std::size_t i = 0; i < N; ++i) {
        if (static_cast<std::size_t>(rows[i].value) != i)
            return false;
    }
    return true;
}

// The row of value.
template <class Row, std::size_t N, class Enum>
constexpr const Row& RowOf(const Row (&rows)[N], Enum value)
{
    return rows[static_cast<std::size_t>(value)];
}

// The words of pattern with each "%x", x being the i-th character of marks, replaced by values[i].
// ('%' is never part of a GBK character, so the bytes can be looked at one by one.)
inline std::string FillIn(const char* pattern, const char* marks, const std::string values[])
{
    std::string text;
    for (const char* p = pattern; *p; ++p) {
        const char* mark = p[0] == '%' && p[1] != '\0' ? std::strchr(marks, p[1]) : nullptr;
        if (mark != nullptr) {
            text += values[mark - marks];
            ++p;
        } else {
            text += *p;
        }
    }
    return text;
}

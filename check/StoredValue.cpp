#include "StoredValue.h"

#include <windows.h>
#include <cstdio>
#include <cstring>

namespace check {

std::string TypeName(unsigned long type)
{
    switch (type) {
    case REG_SZ: return "REG_SZ";
    case REG_EXPAND_SZ: return "REG_EXPAND_SZ";
    case REG_MULTI_SZ: return "REG_MULTI_SZ";
    case REG_DWORD: return "REG_DWORD";
    case REG_QWORD: return "REG_QWORD";
    case REG_BINARY: return "REG_BINARY";
    case REG_NONE: return "REG_NONE";
    default: return "类型" + std::to_string(type);
    }
}

std::string Show(const settings::StoredValue& value)
{
    if (value.type == REG_SZ || value.type == REG_EXPAND_SZ || value.type == REG_MULTI_SZ)
        return std::string(value.data.c_str());
    if (value.type == REG_DWORD && value.data.size() == sizeof(DWORD)) {
        DWORD number = 0;
        std::memcpy(&number, value.data.data(), sizeof(number));
        return std::to_string(number);
    }
    std::string hex;
    for (unsigned char byte : value.data) {
        char digits[4];
        std::snprintf(digits, sizeof(digits), "%02X ", byte);
        hex += digits;
    }
    return hex.empty() ? hex : hex.substr(0, hex.size() - 1);
}

} // namespace check

#include "StoredProfile.h"

#include "settings/Settings.h"

#include <cstdio>
#include <cstring>

namespace check {

namespace {
const char kHkcu[] = "HKEY_CURRENT_USER\\";
}

CStoredProfile::CStoredProfile(const std::string& appName)
{
    const std::string subKey = std::string("Software\\") + settings::kCompanyKey + "\\" + appName + "\\" + settings::kSection;
    m_strKeyPath = kHkcu + subKey;
    HKEY hKey = NULL;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, subKey.c_str(), 0, KEY_READ, &hKey) == ERROR_SUCCESS)
        m_key.Attach(hKey);
}

StoredValue CStoredProfile::Get(const char* name) const
{
    StoredValue value;
    if (!m_key.IsValid())
        return value;
    DWORD size = 0;
    if (::RegQueryValueExA(m_key, name, NULL, &value.type, NULL, &size) != ERROR_SUCCESS)
        return value;
    value.data.assign(size, '\0');
    if (size != 0
        && ::RegQueryValueExA(m_key, name, NULL, &value.type, reinterpret_cast<BYTE*>(&value.data[0]), &size)
               != ERROR_SUCCESS)
        return value;
    value.data.resize(size);
    value.present = true;
    return value;
}

bool ReadsAsString(const StoredValue& value, std::string* text)
{
    if (!value.present || value.type != REG_SZ)
        return false;
    *text = std::string(value.data.c_str());
    return true;
}

bool ReadsAsInt(const StoredValue& value, int* number)
{
    if (!value.present || value.type != REG_DWORD || value.data.size() != sizeof(DWORD))
        return false;
    DWORD stored = 0;
    std::memcpy(&stored, value.data.data(), sizeof(stored));
    *number = static_cast<int>(stored);
    return true;
}

std::string TypeName(DWORD type)
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

std::string Show(const StoredValue& value)
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

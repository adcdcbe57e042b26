// The plug-in's registry section, opened read-only. The plug-in's own profile functions create missing
// keys on every access; the check leaves the registry exactly as it found it.
#pragma once
#include "framework/Handle.h"

#include <string>

namespace check {

struct StoredValue {
    bool present = false;
    DWORD type = REG_NONE;
    std::string data; // the stored bytes
};

class CStoredProfile {
public:
    // HKEY_CURRENT_USER\Software\<company>\<appName>\<section>, as the plug-in named appName keeps it.
    explicit CStoredProfile(const std::string& appName);

    const std::string& KeyPath() const { return m_strKeyPath; }
    bool Exists() const { return m_key.IsValid(); }
    StoredValue Get(const char* name) const;

private:
    std::string m_strKeyPath;
    CRegKey m_key;
};

// What a run makes of a stored value: text only from REG_SZ (up to its first terminator), a number
// only from a four-byte REG_DWORD; anything else reads as the default.
bool ReadsAsString(const StoredValue& value, std::string* text);
bool ReadsAsInt(const StoredValue& value, int* number);

// "REG_EXPAND_SZ" ...
std::string TypeName(DWORD type);
// The stored data for a message: the text of string types, the number of a DWORD, bytes in hex.
std::string Show(const StoredValue& value);

} // namespace check

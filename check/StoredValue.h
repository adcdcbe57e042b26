// A stored registry value in words, for the findings.
#pragma once
#include "settings/Settings.h"

#include <string>

namespace check {

// "REG_EXPAND_SZ" ...
std::string TypeName(unsigned long type);
// The stored data for a message: the text of string types, the number of a DWORD, bytes in hex.
std::string Show(const settings::StoredValue& value);

} // namespace check

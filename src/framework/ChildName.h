// The rule that keeps a code from leading out of the directory it is joined to. Plain text logic: no
// Windows header, so it builds and is fuzzed natively too.
#pragma once
#include <string>

// True when root + "\\" + name names an entry directly below root: a non-empty name without a path
// separator or drive colon at a character boundary, not made of dots and blanks only (the platform
// would strip those and name the root or its parent), and not a device name such as NUL or COM1.
bool IsChildName(const std::string& name);

// True for CON, PRN, AUX, NUL, COM1..COM9 and LPT1..LPT9, also with an extension or trailing blanks
// ("nul.txt", "COM1 "): in every folder the platform opens the device by such a name.
bool IsDeviceName(const std::string& name);

// Paths as narrow GBK text.
#pragma once
#include <string>

// The process's current directory, whole. The ANSI call refuses a directory of MAX_PATH characters
// or more, so the wide one is asked and its answer converted; "" only when both fail.
std::string GetCurrentDir();

// True when root + "\" + name names an entry directly below root: a non-empty name without a path
// separator or drive colon at a character boundary, and not made of dots and blanks only (the platform
// would strip those and name the root or its parent).
bool IsChildName(const std::string& name);

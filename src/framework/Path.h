// Paths as narrow GBK text.
#pragma once
#include <string>

// The process's current directory, whole. The ANSI call refuses a directory of MAX_PATH characters
// or more, so the wide one is asked and its answer converted; "" only when both fail.
std::string GetCurrentDir();

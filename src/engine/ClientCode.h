// The naming rule of the files to export. Plain text logic: no Windows header, so it builds and is
// fuzzed natively too.
#pragma once
#include <string>

// The client code of a file name of the form prefix_code_rest (prefix and code not empty), found
// character by character so that a double-byte character ending in 0x5F is never taken for "_".
bool ClientCodeOf(const char* name, std::string& code);

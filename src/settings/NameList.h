// Lists of names as the profile functions return them: each name ends in a NUL, and an empty name (a
// second NUL) ends the list. Plain text logic: no Windows header, so it builds and is fuzzed natively too.
#pragma once
#include <string>
#include <vector>

namespace settings {

// The names of the first length bytes of list, in order, that fit whole into a list of bufferSize
// bytes (each name with its terminator, plus the list's final terminator). A name that runs to the
// end of the bytes without a terminator counts as ending there.
std::vector<std::string> ParseNameList(const char* list, size_t length, size_t bufferSize);

} // namespace settings

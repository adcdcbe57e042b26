// Standard output for GBK text: a console gets it through the wide call, whatever its code page;
// a pipe or file gets the GBK bytes.
#pragma once
#include <string>

namespace check {

void WriteLine(const std::string& text);

// text as one argument of a command line: in quotes when it holds a blank or a character that the
// command prompt reads.
std::string Argument(const std::string& text);

} // namespace check

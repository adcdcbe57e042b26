// Standard output for GBK text: a console gets it through the wide call, whatever its code page;
// a pipe or file gets the GBK bytes.
#pragma once
#include <string>

namespace check {

void WriteLine(const std::string& text);

} // namespace check

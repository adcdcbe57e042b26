// The directories the organisation mapping page keeps in step with its pairs: one per code, directly
// under a root directory. A code that would name anything else (a second level, the parent, another
// drive) is stored as typed but makes and removes no directory.
#pragma once
#include "framework/ChildName.h"

#include <string>

namespace setup {

// Creates or removes root + "\" + name when IsChildName(name); one level only, results ignored.
void CreateChildDirectory(const std::string& root, const std::string& name);
void RemoveChildDirectory(const std::string& root, const std::string& name);

} // namespace setup

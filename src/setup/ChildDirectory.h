// The directories the organisation mapping page keeps in step with its pairs: one per code, directly
// under a root directory. A code that would name anything else (a second level, the parent, another
// drive) is stored as typed but makes and removes no directory.
#pragma once
#include <string>

namespace setup {

// True when root + "\" + name names a directory directly below root: a non-empty name without a path
// separator or drive colon at a character boundary, and not made of dots and blanks only (the platform
// would strip those and name the root or its parent).
bool IsChildName(const std::string& name);

// Creates or removes root + "\" + name when name is a child name; one level only, results ignored.
void CreateChildDirectory(const std::string& root, const std::string& name);
void RemoveChildDirectory(const std::string& root, const std::string& name);

} // namespace setup

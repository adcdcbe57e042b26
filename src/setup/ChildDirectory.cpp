#include "setup/ChildDirectory.h"

#include <windows.h>

namespace setup {

void CreateChildDirectory(const std::string& root, const std::string& name)
{
    if (IsChildName(name))
        ::CreateDirectoryA((root + "\\" + name).c_str(), nullptr);
}

void RemoveChildDirectory(const std::string& root, const std::string& name)
{
    if (IsChildName(name))
        ::RemoveDirectoryA((root + "\\" + name).c_str());
}

} // namespace setup

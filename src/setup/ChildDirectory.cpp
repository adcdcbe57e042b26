#include "setup/ChildDirectory.h"

#include "framework/Gbk.h"

#include <windows.h>

namespace setup {

bool IsChildName(const std::string& name)
{
    if (name.find_first_not_of(". ") == std::string::npos)
        return false;
    for (const char* p = name.c_str(); *p; p = gbk::Next(p)) {
        if (*p == '\\' || *p == '/' || *p == ':')
            return false;
    }
    return true;
}

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

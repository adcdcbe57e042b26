#include "framework/ChildName.h"

#include "framework/Gbk.h"

#include <cctype>

bool IsDeviceName(const std::string& name)
{
    std::string base = name.substr(0, name.find('.'));
    base.erase(base.find_last_not_of(' ') + 1);
    for (char& c : base)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (base == "CON" || base == "PRN" || base == "AUX" || base == "NUL")
        return true;
    return base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0) && base[3] >= '1'
           && base[3] <= '9';
}

bool IsChildName(const std::string& name)
{
    if (name.find_first_not_of(". ") == std::string::npos)
        return false;
    for (const char* p = name.c_str(); *p; p = gbk::Next(p)) {
        if (*p == '\\' || *p == '/' || *p == ':')
            return false;
    }
    return !IsDeviceName(name);
}

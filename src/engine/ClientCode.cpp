#include "engine/ClientCode.h"

#include "framework/Gbk.h"

bool ClientCodeOf(const char* name, std::string& code)
{
    const char* first = gbk::Find(name, '_');
    if (first == nullptr || first == name)
        return false;
    const char* second = gbk::Find(first + 1, '_');
    if (second == nullptr || second == first + 1)
        return false;
    code.assign(first + 1, second);
    return true;
}

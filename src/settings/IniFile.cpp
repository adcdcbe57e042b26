#include "settings/Settings.h"

#include "framework/Gbk.h"
#include "framework/Path.h"
#include "settings/NameList.h"

#include <windows.h>
#include <cstdio>

namespace settings {

std::string IniPath(const char* fileName)
{
    // A directory too long for the profile functions is taken whole rather than cut: a cut path would
    // name another directory's file, while a path that is too long only makes the calls fail.
    std::string dir = GetCurrentDir();
    if (dir.empty())
        dir = ".";
    if (gbk::EndsWith(dir, '\\'))
        dir.erase(dir.size() - 1);
    return dir + "\\" + fileName;
}

std::string NumberedKey(const char* format, int index)
{
    char key[64];
    std::snprintf(key, sizeof(key), format, index);
    return key;
}

std::string ReadIniString(const std::string& path, const char* section, const char* key, const char* defaultValue,
                          size_t bufferSize)
{
    std::vector<char> buffer(bufferSize, '\0');
    DWORD n = ::GetPrivateProfileStringA(section, key, defaultValue, buffer.data(), static_cast<DWORD>(bufferSize),
                                         path.c_str());
    if (n >= bufferSize)
        n = static_cast<DWORD>(bufferSize - 1);
    std::string value(buffer.data(), n);
    value.resize(strnlen(value.c_str(), value.size()));
    if (value.size() + 1 >= bufferSize)
        gbk::DropPartialTail(value);
    return value;
}

int ReadIniInt(const std::string& path, const char* section, const char* key, int defaultValue)
{
    return static_cast<int>(::GetPrivateProfileIntA(section, key, defaultValue, path.c_str()));
}

bool WriteIniString(const std::string& path, const char* section, const char* key, const char* value)
{
    return ::WritePrivateProfileStringA(section, key, value, path.c_str()) != FALSE;
}

bool EmptyIniSection(const std::string& path, const char* section)
{
    // An empty key list: two terminators.
    return ::WritePrivateProfileSectionA(section, "\0", path.c_str()) != FALSE;
}

std::vector<std::string> ReadSectionNames(const std::string& path, size_t bufferSize)
{
    // Read the whole list, then keep the names that fit into the buffer whole.
    std::vector<char> buffer;
    DWORD n = 0;
    for (size_t size = bufferSize > 4096 ? bufferSize : 4096;; size *= 2) {
        buffer.assign(size, '\0');
        n = ::GetPrivateProfileSectionNamesA(buffer.data(), static_cast<DWORD>(size), path.c_str());
        if (n + 2 < size || size >= (64u << 20))
            break;
    }
    return ParseNameList(buffer.data(), n, bufferSize);
}

} // namespace settings

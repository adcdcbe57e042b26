#include "work/LogFile.h"

#include "plugin/Identity.h"

#include <windows.h>
#include <string>
#include <vector>

CLogFile::CLogFile() : m_pFile(nullptr)
{
    std::vector<char> dir(MAX_PATH, '\0');
    DWORD n = ::GetCurrentDirectoryA(static_cast<DWORD>(dir.size()), dir.data());
    // A directory that does not fit, with the file name, into a path leaves the plug-in without a log.
    if (n == 0 || n >= dir.size())
        return;
    std::string path(dir.data(), n);
    path += "\\";
    path += identity::kInterfaceID;
    path += ".log";
    if (path.size() >= MAX_PATH)
        return;
    m_pFile = std::fopen(path.c_str(), "a+t");
}

CLogFile::~CLogFile()
{
    if (m_pFile != nullptr) {
        std::fflush(m_pFile);
        std::fclose(m_pFile);
        m_pFile = nullptr;
    }
}

#include "plugin/LogFile.h"

#include "framework/Path.h"
#include "settings/Settings.h"

#include <windows.h>
#include <string>

CLogFile::CLogFile() : m_pFile(nullptr)
{
    std::string dir = GetCurrentDir();
    // A directory that does not fit, with the file name, into a path leaves the plug-in without a log.
    if (dir.empty())
        return;
    std::string path = dir + "\\" + settings::kLogFile;
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

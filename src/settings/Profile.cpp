#include "settings/Settings.h"

#include "framework/App.h"
#include "framework/Handle.h"

namespace settings {

std::string GetString(const char* name)
{
    return CApp::Get()->GetProfileString(kSection, name, "");
}

int GetInt(const char* name, int defaultValue)
{
    return static_cast<int>(CApp::Get()->GetProfileInt(kSection, name, defaultValue));
}

bool SetString(const char* name, const char* value)
{
    return CApp::Get()->WriteProfileString(kSection, name, value) != FALSE;
}

bool SetInt(const char* name, int value)
{
    return CApp::Get()->WriteProfileInt(kSection, name, value) != FALSE;
}

int AutoErrorBoxSeconds(int stored)
{
    return stored <= 0 ? 0 : stored > kMostAutoErrorBoxSeconds ? kMostAutoErrorBoxSeconds : stored;
}

std::string RecordPath()
{
    return GetInt(kRecordTransfers, 1) != 0 ? IniPath(kRecordFile) : std::string();
}

unsigned NextRunNumber()
{
    // Runs of one process take turns already; the mutex keeps two hosts of one user apart.
    CHandle mutex(::CreateMutexA(nullptr, FALSE, (std::string(CApp::Get()->GetAppName()) + ".LastRunNumber").c_str()));
    const bool held = mutex.IsValid() && ::WaitForSingleObject(mutex, 5000) != WAIT_TIMEOUT;
    const unsigned number = static_cast<unsigned>(GetInt(kLastRunNumber, 0)) + 1;
    SetInt(kLastRunNumber, static_cast<int>(number));
    if (held)
        ::ReleaseMutex(mutex);
    return number;
}

} // namespace settings

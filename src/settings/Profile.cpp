#include "settings/Settings.h"

#include "framework/App.h"

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

} // namespace settings

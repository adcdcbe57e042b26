#include "settings/Settings.h"

#include "framework/App.h"
#include "framework/Handle.h"

#include <cstring>

namespace settings {

std::string SectionKeyPath(const std::string& appName)
{
    return std::string("Software\\") + kCompanyKey + "\\" + appName + "\\" + kSection;
}

CStoredSection::CStoredSection(const std::string& appName) : m_hKey(nullptr)
{
    HKEY hKey = NULL;
    const std::string name = appName.empty() ? CApp::Get()->GetAppName() : appName;
    if (!name.empty() && ::RegOpenKeyExA(HKEY_CURRENT_USER, SectionKeyPath(name).c_str(), 0, KEY_READ, &hKey) == ERROR_SUCCESS)
        m_hKey = hKey;
}

CStoredSection::~CStoredSection()
{
    if (m_hKey != nullptr)
        ::RegCloseKey(static_cast<HKEY>(m_hKey));
}

StoredValue CStoredSection::Get(const char* name) const
{
    StoredValue value;
    const HKEY hKey = static_cast<HKEY>(m_hKey);
    DWORD type = REG_NONE, size = 0;
    if (hKey == NULL || ::RegQueryValueExA(hKey, name, NULL, &type, NULL, &size) != ERROR_SUCCESS)
        return value;
    value.data.assign(size, '\0');
    if (size != 0
        && ::RegQueryValueExA(hKey, name, NULL, &type, reinterpret_cast<BYTE*>(&value.data[0]), &size) != ERROR_SUCCESS)
        return value;
    value.data.resize(size);
    value.type = type;
    value.present = true;
    return value;
}

bool ReadsAsString(const StoredValue& value, std::string* text)
{
    if (!value.present || value.type != REG_SZ)
        return false;
    *text = std::string(value.data.c_str());
    return true;
}

bool ReadsAsInt(const StoredValue& value, int* number)
{
    if (!value.present || value.type != REG_DWORD || value.data.size() != sizeof(DWORD))
        return false;
    DWORD stored = 0;
    std::memcpy(&stored, value.data.data(), sizeof(stored));
    *number = static_cast<int>(stored);
    return true;
}

std::string GetString(const char* name)
{
    std::string text;
    return ReadsAsString(CStoredSection().Get(name), &text) ? text : std::string();
}

namespace {

int ReadNumber(const char* name, int fallback)
{
    ReadsAsInt(CStoredSection().Get(name), &fallback);
    return fallback;
}

// Writes open the section afresh, creating the keys that are missing.
bool Write(const char* name, DWORD type, const void* data, DWORD size)
{
    const std::string appName = CApp::Get()->GetAppName();
    HKEY hKey = NULL;
    if (appName.empty()
        || ::RegCreateKeyExA(HKEY_CURRENT_USER, SectionKeyPath(appName).c_str(), 0, NULL,
                          REG_OPTION_NON_VOLATILE, KEY_WRITE, NULL, &hKey, NULL) != ERROR_SUCCESS)
        return false;
    CRegKey key(hKey);
    if (data == nullptr) {
        const LONG rc = ::RegDeleteValueA(key, name);
        return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
    }
    return ::RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size) == ERROR_SUCCESS;
}

} // namespace

int GetInt(const char* name)
{
    return ReadNumber(name, Row(name).number);
}

int GetShownInt(const char* name)
{
    return ReadNumber(name, Row(name).shownWhenMissing);
}

bool SetString(const char* name, const char* value)
{
    return Write(name, REG_SZ, value, value != nullptr ? static_cast<DWORD>(std::strlen(value) + 1) : 0);
}

bool SetInt(const char* name, int value)
{
    const DWORD data = static_cast<DWORD>(value);
    return Write(name, REG_DWORD, &data, sizeof(data));
}

int AutoErrorBoxSeconds(int stored)
{
    return stored <= 0 ? 0 : stored > kMostAutoErrorBoxSeconds ? kMostAutoErrorBoxSeconds : stored;
}

std::string RecordPath()
{
    return GetInt(kRecordTransfers) != 0 ? IniPath(kRecordFile) : std::string();
}

unsigned NextRunNumber()
{
    // Runs of one process take turns already; the mutex keeps two hosts of one user apart.
    CHandle mutex(::CreateMutexA(nullptr, FALSE, (std::string(CApp::Get()->GetAppName()) + ".LastRunNumber").c_str()));
    const bool held = mutex.IsValid() && ::WaitForSingleObject(mutex, 5000) != WAIT_TIMEOUT;
    const unsigned number = static_cast<unsigned>(GetInt(kLastRunNumber)) + 1;
    SetInt(kLastRunNumber, static_cast<int>(number));
    if (held)
        ::ReleaseMutex(mutex);
    return number;
}

} // namespace settings

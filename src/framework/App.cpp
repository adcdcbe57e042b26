#include "framework/App.h"

#include "framework/Gbk.h"
#include "framework/Handle.h"

#include <vector>

namespace {
CApp* g_pApp = nullptr;
}

CApp::CApp() : m_hInstance(NULL)
{
    g_pApp = this;
}

CApp::~CApp()
{
    if (g_pApp == this)
        g_pApp = nullptr;
}

CApp* CApp::Get()
{
    return g_pApp;
}

BOOL CApp::Start(HINSTANCE hInstance)
{
    m_hInstance = hInstance;
    char path[MAX_PATH + 1] = "";
    DWORD n = ::GetModuleFileNameA(hInstance, path, MAX_PATH);
    path[n < MAX_PATH ? n : MAX_PATH] = '\0';
    // The last separator at a character boundary: a GBK trail byte may equal '\\'.
    const char* base = path;
    for (const char* p = path; *p; p = gbk::Next(p)) {
        if (*p == '\\' || *p == '/')
            base = p + 1;
    }
    std::string name = base;
    size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0)
        name.erase(dot);
    m_strAppName = name;
    return InitInstance();
}

BOOL CApp::InitInstance()
{
    return TRUE;
}

void CApp::SetRegistryKey(const char* company)
{
    m_strRegistryKey = company ? company : "";
}

HKEY CApp::OpenSectionKey(const char* section) const
{
    if (m_strRegistryKey.empty() || m_strAppName.empty())
        return NULL;
    std::string path = "Software\\" + m_strRegistryKey + "\\" + m_strAppName + "\\" + section;
    HKEY hKey = NULL;
    DWORD disposition = 0;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, NULL, REG_OPTION_NON_VOLATILE,
                          KEY_READ | KEY_WRITE, NULL, &hKey, &disposition) != ERROR_SUCCESS)
        return NULL;
    return hKey;
}

std::string CApp::GetProfileString(const char* section, const char* entry, const char* defaultValue) const
{
    std::string result = defaultValue ? defaultValue : "";
    CRegKey key(OpenSectionKey(section));
    if (!key.IsValid())
        return result;
    DWORD type = 0, size = 0;
    if (::RegQueryValueExA(key, entry, NULL, &type, NULL, &size) != ERROR_SUCCESS || type != REG_SZ)
        return result;
    std::vector<char> buffer(size + 1, '\0');
    if (::RegQueryValueExA(key, entry, NULL, &type, reinterpret_cast<BYTE*>(buffer.data()), &size) != ERROR_SUCCESS
        || type != REG_SZ)
        return result;
    buffer[size < buffer.size() ? size : buffer.size() - 1] = '\0';
    return std::string(buffer.data());
}

UINT CApp::GetProfileInt(const char* section, const char* entry, int defaultValue) const
{
    CRegKey key(OpenSectionKey(section));
    if (!key.IsValid())
        return defaultValue;
    DWORD type = 0, value = 0, size = sizeof(value);
    if (::RegQueryValueExA(key, entry, NULL, &type, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS
        || type != REG_DWORD || size != sizeof(value))
        return defaultValue;
    return value;
}

BOOL CApp::WriteProfileString(const char* section, const char* entry, const char* value) const
{
    CRegKey key(OpenSectionKey(section));
    if (!key.IsValid())
        return FALSE;
    if (value == nullptr) {
        LONG rc = ::RegDeleteValueA(key, entry);
        return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
    }
    DWORD size = static_cast<DWORD>(strlen(value) + 1);
    return ::RegSetValueExA(key, entry, 0, REG_SZ, reinterpret_cast<const BYTE*>(value), size) == ERROR_SUCCESS;
}

BOOL CApp::WriteProfileInt(const char* section, const char* entry, int value) const
{
    CRegKey key(OpenSectionKey(section));
    if (!key.IsValid())
        return FALSE;
    DWORD data = static_cast<DWORD>(value);
    return ::RegSetValueExA(key, entry, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof(data))
           == ERROR_SUCCESS;
}

int CApp::MessageBox(HWND hOwner, const char* text, UINT type) const
{
    return ::MessageBoxA(hOwner, text, GetAppName(), type);
}

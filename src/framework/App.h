// The application object: one per loaded module. It names the module (the application name is the
// module's base name), owns the registry profile and shows the application's message boxes.
#pragma once
#include <windows.h>
#include <string>

class CApp {
public:
    CApp();
    virtual ~CApp();
    CApp(const CApp&) = delete;
    CApp& operator=(const CApp&) = delete;

    static CApp* Get();

    // Binds the object to its module (the DLL, or the executable in tests) and runs InitInstance.
    BOOL Start(HINSTANCE hInstance);
    virtual BOOL InitInstance();

    HINSTANCE GetInstance() const { return m_hInstance; }
    const char* GetAppName() const { return m_strAppName.c_str(); }

    // Profile in HKEY_CURRENT_USER\Software\<company>\<application name>\<section>. Every access opens the
    // path afresh and creates missing keys; before a company key is set, reads yield the default and
    // writes fail.
    void SetRegistryKey(const char* company);
    std::string GetProfileString(const char* section, const char* entry, const char* defaultValue = "") const;
    UINT GetProfileInt(const char* section, const char* entry, int defaultValue) const;
    // A null value deletes the entry.
    BOOL WriteProfileString(const char* section, const char* entry, const char* value) const;
    BOOL WriteProfileInt(const char* section, const char* entry, int value) const;

    // Application message box: the application name as caption, owned by the window it belongs to.
    int MessageBox(HWND hOwner, const char* text, UINT type = MB_OK | MB_ICONEXCLAMATION) const;

private:
    HKEY OpenSectionKey(const char* section) const;

    HINSTANCE m_hInstance;
    std::string m_strAppName;
    std::string m_strRegistryKey;
};

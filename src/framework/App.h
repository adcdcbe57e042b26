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

    // Application message box: the application name as caption, owned by the window it belongs to.
    int MessageBox(HWND hOwner, const char* text, UINT type = MB_OK | MB_ICONEXCLAMATION) const;

private:
    HINSTANCE m_hInstance;
    std::string m_strAppName;
};

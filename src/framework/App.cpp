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

int CApp::MessageBox(HWND hOwner, const char* text, UINT type) const
{
    return ::MessageBoxA(hOwner, text, GetAppName(), type);
}

#include "PluginFixture.h"

namespace test {

namespace {

typedef int(__cdecl* RunFn)();

const char kDllSection[] = "Software\\Quorvane\\QRVLNK\\2.0";

void ClearDllProfile()
{
    ::RegDeleteKeyA(HKEY_CURRENT_USER, kDllSection);
    ::RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Quorvane\\QRVLNK");
}

} // namespace

std::string DllPath()
{
    char path[MAX_PATH] = "";
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dir = path;
    return dir.substr(0, dir.find_last_of('\\')) + "\\QRVLNK.dll";
}

PluginFixture::PluginFixture()
{
    ClearDllProfile();
    SetDllValue("SourcePath", m_ws.Send());
    SetDllValue("ExportLocation", m_ws.Data());
    SetDllValue("DestPath", m_ws.Receive());
    SetDllValue("UserOrgID", "P01");
    m_ws.WriteIniFiles();
    m_ws.FillSendFolder(1);
    m_hModule = ::LoadLibraryA(DllPath().c_str());
}

PluginFixture::~PluginFixture()
{
    if (m_hModule)
        ::FreeLibrary(m_hModule);
    for (HWND hWnd : m_windows)
        ::DestroyWindow(hWnd);
    ClearDllProfile();
}

namespace {

void SetValue(const char* name, DWORD type, const void* data, DWORD size)
{
    HKEY hKey = nullptr;
    ::RegCreateKeyExA(HKEY_CURRENT_USER, kDllSection, 0, nullptr, 0, KEY_WRITE, nullptr, &hKey, nullptr);
    ::RegSetValueExA(hKey, name, 0, type, static_cast<const BYTE*>(data), size);
    ::RegCloseKey(hKey);
}

} // namespace

void PluginFixture::SetDllValue(const char* name, const std::string& value)
{
    SetValue(name, REG_SZ, value.c_str(), static_cast<DWORD>(value.size() + 1));
}

void PluginFixture::SetDllValue(const char* name, DWORD value)
{
    SetValue(name, REG_DWORD, &value, sizeof(value));
}

int PluginFixture::Call(const char* name)
{
    RunFn fn = reinterpret_cast<RunFn>(reinterpret_cast<void*>(::GetProcAddress(m_hModule, name)));
    return fn ? fn() : -1;
}

HWND PluginFixture::MakeWindow(const char* title)
{
    HWND hWnd = ::CreateWindowExA(0, "STATIC", title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 300, 200, nullptr,
                                  nullptr, nullptr, nullptr);
    m_windows.push_back(hWnd);
    return hWnd;
}

} // namespace test

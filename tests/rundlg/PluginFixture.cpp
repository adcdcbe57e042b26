#include "PluginFixture.h"

namespace test {

PluginFixture::PluginFixture()
{
    SetDllValue("SourcePath", m_ws.Send());
    SetDllValue("ExportLocation", m_ws.Data());
    SetDllValue("DestPath", m_ws.Receive());
    SetDllValue("UserOrgID", "P01");
    m_ws.WriteIniFiles();
    // Exports go to P02: the user's own delivery folder, P01, takes none.
    ::WritePrivateProfileStringA("OrgMapping", "QRVID0000", "P02", m_ws.Ini("OrgMap.ini").c_str());
    m_ws.FillSendFolder(1);
    m_plugin.reset(new LoadedPlugin(m_ws.Root()));
    m_hModule = m_plugin->Module();
}

PluginFixture::~PluginFixture()
{
    m_plugin.reset();
    m_windows.clear();
}

void PluginFixture::SetDllValue(const char* name, const std::string& value)
{
    m_profile.SetString(name, value);
}

void PluginFixture::SetDllValue(const char* name, DWORD value)
{
    m_profile.SetDword(name, value);
}

int PluginFixture::Call(const char* name)
{
    RunFn fn = m_plugin->Get<RunFn>(name);
    return fn ? fn() : -1;
}

HWND PluginFixture::MakeWindow(const char* title)
{
    m_windows.emplace_back(new TitledWindow(title));
    return m_windows.back()->Get();
}

} // namespace test

#include "Plugin.h"

#include <cstdio>

Plugin::~Plugin()
{
    if (m_hModule)
        ::FreeLibrary(m_hModule);
}

namespace {

template <class Fn>
bool Resolve(HMODULE hModule, const char* name, Fn& fn, std::string& error)
{
    fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(hModule, name)));
    if (fn == nullptr) {
        error += error.empty() ? "缺少导出函数：" : "、";
        error += name;
    }
    return fn != nullptr;
}

} // namespace

bool Plugin::Load(const char* fileName)
{
    m_hModule = ::LoadLibraryA(fileName);
    if (m_hModule == nullptr) {
        char text[128];
        std::snprintf(text, sizeof(text), "无法加载%s（错误%lu）", fileName, ::GetLastError());
        m_error = text;
        return false;
    }
    bool ok = true;
    ok &= Resolve(m_hModule, "Export", Export, m_error);
    ok &= Resolve(m_hModule, "AutoExport", AutoExport, m_error);
    ok &= Resolve(m_hModule, "Import", Import, m_error);
    ok &= Resolve(m_hModule, "AutoImport", AutoImport, m_error);
    ok &= Resolve(m_hModule, "Setup", Setup, m_error);
    ok &= Resolve(m_hModule, "GetInterfaceInfo", GetInterfaceInfo, m_error);
    ok &= Resolve(m_hModule, "QueryFunctions", QueryFunctions, m_error);
    ok &= Resolve(m_hModule, "SetDataFilePath", SetDataFilePath, m_error);
    ok &= Resolve(m_hModule, "SetUserOrgID", SetUserOrgID, m_error);
    return ok;
}

std::string Plugin::Describe() const
{
    // The host supplies generous buffers; the plug-in needs 9 and 17 bytes.
    char id[64] = "";
    char name[256] = "";
    int kind = 0;
    GetInterfaceInfo(id, name, &kind);
    char text[512];
    std::snprintf(text, sizeof(text), "%s %s (kind %d, functions %u)", id, name, kind, QueryFunctions());
    return text;
}

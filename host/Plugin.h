// The plug-in as a host sees it: QRVLNK.dll loaded by name, its nine exports looked up by name.
#pragma once
#include <windows.h>
#include <string>

class Plugin {
public:
    typedef int(__cdecl* RunFn)();
    typedef void(__cdecl* SetupFn)();
    typedef void(__cdecl* InfoFn)(char*, char*, int*);
    typedef unsigned short(__cdecl* QueryFn)();
    typedef BOOL(__cdecl* SetTextFn)(const char*);

    Plugin() = default;
    ~Plugin();
    Plugin(const Plugin&) = delete;
    Plugin& operator=(const Plugin&) = delete;

    // Loads the library and resolves every export; on failure Error() says what is missing.
    bool Load(const char* fileName = "QRVLNK.dll");
    const std::string& Error() const { return m_error; }

    RunFn Export = nullptr;
    RunFn AutoExport = nullptr;
    RunFn Import = nullptr;
    RunFn AutoImport = nullptr;
    SetupFn Setup = nullptr;
    InfoFn GetInterfaceInfo = nullptr;
    QueryFn QueryFunctions = nullptr;
    SetTextFn SetDataFilePath = nullptr;
    SetTextFn SetUserOrgID = nullptr;

    // "08888978 分销系统数据接口 (kind 4, functions 11)".
    std::string Describe() const;

private:
    HMODULE m_hModule = nullptr;
    std::string m_error;
};

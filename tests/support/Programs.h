// The project's programs as a user runs them: found beside the test program, started as processes.
#pragma once
#include "support/TestSupport.h"

#include <windows.h>
#include <string>

namespace test {

// The folder of the test program, where QRVLNK.dll, qrvhub.exe and qrvcheck.exe lie.
std::string BinDir();
// The plug-in DLL in BinDir().
std::string PluginPath();

// The run exports' signature.
typedef int(__cdecl* RunFn)();

// PluginPath() loaded with the given current directory (where it looks for its INI files and log),
// unloaded in the destructor.
class LoadedPlugin {
public:
    explicit LoadedPlugin(const std::string& cwd) : m_cwd(cwd), m_hModule(LoadAfresh()) {}
    ~LoadedPlugin() { Unload(); }
    LoadedPlugin(const LoadedPlugin&) = delete;
    LoadedPlugin& operator=(const LoadedPlugin&) = delete;

    void Unload()
    {
        if (m_hModule)
            ::FreeLibrary(m_hModule);
        m_hModule = nullptr;
    }
    template <class Fn>
    Fn Get(const char* name) const
    {
        return reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(m_hModule, name)));
    }
    HMODULE Module() const { return m_hModule; }

private:
    // Loads the DLL once the one freed last has gone: an exported call lets go of its own hold on the DLL
    // a moment after it returns, and a load before that would get the old copy, not one loaded afresh.
    static HMODULE LoadAfresh()
    {
        for (int i = 0; i < 250 && ::GetModuleHandleA(PluginPath().c_str()) != NULL; ++i)
            ::Sleep(20);
        return ::LoadLibraryA(PluginPath().c_str());
    }

    CurrentDir m_cwd;
    HMODULE m_hModule;
};

// A visible top-level window with this title, destroyed with the object.
class TitledWindow {
public:
    explicit TitledWindow(const char* title);
    ~TitledWindow();
    TitledWindow(const TitledWindow&) = delete;
    TitledWindow& operator=(const TitledWindow&) = delete;
    HWND Get() const { return m_hWnd; }

private:
    HWND m_hWnd;
};

// The host's main window as the plug-in finds it: its exact title.
class HostWindow : public TitledWindow {
public:
    HostWindow();
};

struct ProgramResult {
    DWORD exitCode;     // 9999 when the program could not start, 9998 when it was stopped after a minute
    std::string output; // stdout and stderr, as written
};

// Runs "<exe> <args>" in dir (the exe's own folder when empty) and collects what it writes.
ProgramResult RunProgram(const std::string& exe, const std::string& args, const std::string& dir = "");

} // namespace test

// The real QRVLNK.dll loaded over a run workspace whose settings it reads from its own registry key,
// with top-level windows made on the test thread, which plays the host's thread.
#pragma once
#include "RunWorkspace.h"
#include "plugin/HostTitle.h"
#include "support/Programs.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <memory>
#include <string>
#include <vector>

namespace test {

class PluginFixture : public ::testing::Test {
protected:
    PluginFixture();
    ~PluginFixture() override;

    // Calls one of the run exports; -1 when the DLL lacks it.
    int Call(const char* name);
    // A visible top-level window; WM_CLOSE destroys it.
    HWND MakeWindow(const char* title);
    // Sets a string value of the DLL's section.
    void SetDllValue(const char* name, const std::string& value);
    void SetDllValue(const char* name, DWORD value);

    PluginProfile m_profile{ "QRVLNK" };
    RunWorkspace m_ws;
    std::unique_ptr<LoadedPlugin> m_plugin;
    HMODULE m_hModule = nullptr;
    std::vector<std::unique_ptr<TitledWindow>> m_windows;
};

} // namespace test

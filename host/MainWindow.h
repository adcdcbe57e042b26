// The host's main window: the title the plug-in looks for, a menu for the nine exports, and a log of calls.
#pragma once
#include "Plugin.h"
#include "plugin/HostTitle.h"

#include <windows.h>
#include <string>

class MainWindow {
public:
    explicit MainWindow(Plugin& plugin) : m_plugin(plugin) {}
    bool Create(HINSTANCE hInstance, int nCmdShow);
    HWND Handle() const { return m_hWnd; }
    void Log(const std::string& line);
    int MessageLoop();

private:
    static LRESULT CALLBACK WndProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
    void OnCommand(int id);
    std::string AskText(const char* prompt, const std::string& initial, bool* ok);

    Plugin& m_plugin;
    HINSTANCE m_hInstance = nullptr;
    HWND m_hWnd = nullptr;
    HWND m_hLog = nullptr;
};

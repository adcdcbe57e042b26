// A throwaway workspace for whole runs: send, data and receive folders, the current directory with the
// INI files, and the profile's directory settings pointing at them.
#pragma once
#include "support/GuiScript.h"
#include "support/TestSupport.h"

#include <windows.h>
#include <string>

namespace test {

class RunWorkspace {
public:
    RunWorkspace();

    std::string Send() const { return m_root / "send"; }
    std::string Data() const { return m_root / "data"; }
    std::string Receive() const { return m_root / "recv"; }
    std::string Root() const { return m_root.Path(); }
    std::string Ini(const char* name) const { return m_root / name; }

    // OrgMap.ini maps client code C01 to platform code P02 (the user's own, P01, takes no exports) and lists suppliers with a gap in their
    // numbering and no TempSQL; TaskDefine.ini holds two tasks, one without LastExportTime.
    void WriteIniFiles() const;
    // count files named x_C01_<n>.txt in the send folder.
    void FillSendFolder(int count) const;

private:
    CleanProfile m_profile;
    TempDir m_root{ "run" };
    CurrentDir m_cwd;
};

// The visible progress window of this process whose heading reads heading, or NULL.
HWND FindProgress(const char* heading);
// Answers the application message box with this text and waits until it is gone; with owner, checks
// that the box belongs to that window.
void AnswerAppBox(GuiScript& s, const char* text, HWND owner = NULL);
// A list view's cell text and check box, read from another thread of the process.
std::string ItemText(HWND list, int row, int col);
bool ItemChecked(HWND list, int row);
// Moves the focus inside dlg the way the dialog manager does (handled in order with other posted messages).
void PostFocus(HWND dlg, int id);

} // namespace test

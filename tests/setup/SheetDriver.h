// Runs the real interface parameter sheet on the test thread while a GuiScript drives it: pages are
// selected with PSM_SETCURSEL and the sheet's buttons pressed with PSM_PRESSBUTTON.
#pragma once
#include "framework/ListView.h"
#include "support/GuiScript.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <functional>
#include <string>

namespace setuptest {

extern const char kSheetTitle[];
enum PageIndex { kOrgMapPage, kFilePathPage, kDatabasePage, kTasksPage, kSupplierPage };

// A clean profile and a fresh current directory for OrgMap.ini and TaskDefine.ini.
class SheetTest : public ::testing::Test {
protected:
    SheetTest();

    // Runs the sheet until it closes; body gets the script and the sheet window.
    void RunSheet(const std::function<void(test::GuiScript&, HWND)>& body);

    std::string OrgMapIni() const { return m_dir / "OrgMap.ini"; }
    std::string TaskDefineIni() const { return m_dir / "TaskDefine.ini"; }
    const test::TempDir& Dir() const { return m_dir; }

private:
    test::CleanProfile m_profile;
    test::TempDir m_dir;
    test::CurrentDir m_cwd;
};

// Selects a tab and returns its page window.
HWND SelectPage(HWND sheet, int index);
HWND CurrentPage(HWND sheet);
// Presses OK or Cancel and waits for the sheet to close; Apply returns once the pages have stored.
void PressOk(test::GuiScript& s, HWND sheet);
void PressCancel(test::GuiScript& s, HWND sheet);
void PressApply(HWND sheet);
bool ApplyEnabled(HWND sheet);

// Waits for an application message box, checks nothing, returns it.
HWND WaitMessageBox(test::GuiScript& s);
// Answers the next application message box and returns its text.
std::string AnswerMessageBox(test::GuiScript& s, int answer = IDOK);
using test::FocusOf;

CListView List(HWND page, int id);
void SelectRow(HWND page, int listId, int row);
// A real mouse click on the row's label.
void ClickRow(HWND page, int listId, int row);
void SetRowCheck(HWND page, int listId, int row, bool check);

// A registry value of section "2.0": "<absent>" when missing; type set when present.
std::string RegValue(const char* name, DWORD* type = nullptr);
// An INI key, "<absent>" when missing.
std::string IniValue(const std::string& path, const char* section, const char* key);
// The file's own line that starts with "key=", without its line end: unlike the profile reads, it
// keeps trailing blanks. "<absent>" when there is none.
std::string RawIniLine(const std::string& path, const std::string& key);
// "key=value" lines of a section, in file order, as the profile reads give them.
std::vector<std::string> IniSection(const std::string& path, const char* section);

} // namespace setuptest

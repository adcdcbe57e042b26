#include "SheetDriver.h"

#include "framework/App.h"
#include "settings/Settings.h"
#include "setup/SetupSheet.h"

#include <commctrl.h>

namespace setuptest {

const char kSheetTitle[] = "接口参数设置";

namespace {
const int kApplyButton = 0x3021;
const char kAbsent[] = "<absent>";
}

SheetTest::SheetTest() : m_dir("setup"), m_cwd(m_dir.Path())
{
}

void SheetTest::RunSheet(const std::function<void(test::GuiScript&, HWND)>& body)
{
    test::GuiScript script([&body](test::GuiScript& s) {
        HWND sheet = s.WaitWindow(kSheetTitle);
        body(s, sheet);
    });
    setup::RunSetupSheet();
    script.Finish();
}

HWND SelectPage(HWND sheet, int index)
{
    ::SendMessageA(sheet, PSM_SETCURSEL, index, 0);
    return CurrentPage(sheet);
}

HWND CurrentPage(HWND sheet)
{
    return reinterpret_cast<HWND>(::SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
}

void PressOk(test::GuiScript& s, HWND sheet)
{
    ::PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
    s.WaitGone(sheet);
}

void PressCancel(test::GuiScript& s, HWND sheet)
{
    ::PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
    s.WaitGone(sheet);
}

void PressApply(HWND sheet)
{
    ::SendMessageA(sheet, PSM_PRESSBUTTON, PSBTN_APPLYNOW, 0);
}

bool ApplyEnabled(HWND sheet)
{
    return ::IsWindowEnabled(::GetDlgItem(sheet, kApplyButton)) != FALSE;
}

HWND WaitMessageBox(test::GuiScript& s)
{
    return s.WaitWindow(CApp::Get()->GetAppName());
}

std::string AnswerMessageBox(test::GuiScript& s, int answer)
{
    HWND box = WaitMessageBox(s);
    std::string text = test::GuiScript::MessageText(box);
    s.Answer(box, answer);
    s.WaitGone(box);
    return text;
}

CListView List(HWND page, int id)
{
    CListView list;
    list.AttachDlgItem(page, id);
    return list;
}

void SelectRow(HWND page, int listId, int row)
{
    LVITEMA item = {};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendMessageA(::GetDlgItem(page, listId), LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
}

void ClickRow(HWND page, int listId, int row)
{
    HWND list = ::GetDlgItem(page, listId);
    RECT rc = {};
    List(page, listId).GetItemRect(row, &rc, LVIR_LABEL);
    LPARAM at = MAKELPARAM((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
    ::PostMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::PostMessageA(list, WM_LBUTTONUP, 0, at);
}

void SetRowCheck(HWND page, int listId, int row, bool check)
{
    List(page, listId).SetCheck(row, check);
}

std::string RegValue(const char* name, DWORD* type)
{
    DWORD t = 0;
    std::string data;
    if (!test::RegistryValue(name, &t, &data))
        return kAbsent;
    if (type)
        *type = t;
    if (t == REG_SZ && !data.empty() && data.back() == '\0')
        data.pop_back();
    return data;
}

std::string IniValue(const std::string& path, const char* section, const char* key)
{
    return settings::ReadIniString(path, section, key, kAbsent, 4096);
}

std::string RawIniLine(const std::string& path, const std::string& key)
{
    const std::string text = "\n" + test::ReadFile(path);
    size_t begin = text.find("\n" + key + "=");
    if (begin == std::string::npos)
        return kAbsent;
    ++begin;
    size_t end = text.find_first_of("\r\n", begin);
    return text.substr(begin, end == std::string::npos ? std::string::npos : end - begin);
}

std::vector<std::string> IniSection(const std::string& path, const char* section)
{
    std::vector<char> buffer(32768, '\0');
    DWORD n = ::GetPrivateProfileSectionA(section, buffer.data(), static_cast<DWORD>(buffer.size()), path.c_str());
    std::vector<std::string> lines;
    for (const char* p = buffer.data(); p < buffer.data() + n && *p; p += strlen(p) + 1)
        lines.emplace_back(p);
    return lines;
}

} // namespace setuptest

#include "RunWorkspace.h"

#include "framework/App.h"
#include "framework/ListView.h"
#include "settings/Settings.h"
#include "support/GuiScript.h"

#include <gtest/gtest.h>
#include <commctrl.h>

namespace test {

namespace {

const char kOrgMap[] =
    "[OrgMapping]\r\nClientID0000=C01\r\nQRVID0000=P02\r\n"
    "[Suppliers]\r\nSID0000=S01\r\nValid0000=0\r\nName0000=甲供商\r\nSID0001=S02\r\nValid0001=1\r\nName0001=乙\r\n"
    "SID0003=S04\r\nValid0003=1\r\n";
const char kTaskDefine[] =
    "[日报]\r\nFileName=day.txt\r\nChecked=1\r\nLastExportTime=2005-01-02 03:04:05\r\n"
    "[Orders]\r\nFileName=orders.txt\r\n";

} // namespace

RunWorkspace::RunWorkspace() : m_cwd(m_root.Path())
{
    MakeDir(Send());
    MakeDir(Data());
    MakeDir(Receive());
    settings::SetString(settings::kSourcePath, Send().c_str());
    settings::SetString(settings::kExportLocation, Data().c_str());
    settings::SetString(settings::kDestPath, Receive().c_str());
    settings::SetInt(settings::kIsDeleted, 0);
}

void RunWorkspace::WriteIniFiles() const
{
    WriteFile(Ini("OrgMap.ini"), kOrgMap);
    WriteFile(Ini("TaskDefine.ini"), kTaskDefine);
}

void RunWorkspace::FillSendFolder(int count) const
{
    for (int i = 0; i < count; ++i)
        WriteFile(Send() + "\\x_C01_" + std::to_string(i) + ".txt", "data " + std::to_string(i));
}

HWND FindProgress(const char* heading)
{
    return GuiScript::FindOwnWindow([heading](HWND hWnd) {
        char cls[64] = "";
        ::GetClassNameA(hWnd, cls, sizeof(cls));
        if (std::string(cls) != "#32770")
            return false;
        // Read without a message: the window's thread may be busy (its end-of-run pause) or about to destroy it.
        wchar_t text[64] = L"";
        ::InternalGetWindowText(::GetDlgItem(hWnd, 1023), text, 64);
        char narrow[128] = "";
        ::WideCharToMultiByte(CP_ACP, 0, text, -1, narrow, sizeof(narrow), nullptr, nullptr);
        return std::string(narrow) == heading;
    });
}

void AnswerAppBox(GuiScript& s, const char* text, HWND owner)
{
    HWND box = s.WaitWindow(CApp::Get()->GetAppName());
    EXPECT_EQ(text, GuiScript::MessageText(box));
    if (owner != NULL) {
        EXPECT_EQ(owner, ::GetWindow(box, GW_OWNER)) << text;
    }
    s.Answer(box);
    s.WaitGone(box);
}

std::string ItemText(HWND list, int row, int col)
{
    CListView view;
    view.Attach(list);
    return view.GetItemText(row, col);
}

bool ItemChecked(HWND list, int row)
{
    return (::SendMessageA(list, LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK) >> 12) == 2;
}

void PostFocus(HWND dlg, int id)
{
    ::PostMessageA(dlg, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(::GetDlgItem(dlg, id)), TRUE);
}

} // namespace test

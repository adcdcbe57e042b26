#include "CheckWorkspace.h"

#include "settings/Settings.h"
#include "support/GuiScript.h"

#include <gtest/gtest.h>
#include <atomic>
#include <vector>

namespace checktest {

const char kUserOrgID[] = "Q900";

CheckWorkspace::CheckWorkspace(const std::string& plugin) : m_plugin(plugin), m_profile(plugin)
{
    for (const std::string& dir : { Host(), Send(), Data(), Receive(), Delivery() })
        test::MakeDir(dir);
    WriteMapping("ClientID0000=C01\r\nQRVID0000=P01\r\n");
    test::WriteFile(TaskDefine(), "[日报]\r\nFileName=day.txt\r\nChecked=1\r\n");
    m_profile.SetString(settings::kSourcePath, Send());
    m_profile.SetString(settings::kExportLocation, Data());
    m_profile.SetString(settings::kDestPath, Receive());
    m_profile.SetString(settings::kUserOrgID, kUserOrgID);
    m_profile.SetDword(settings::kIsDeleted, 1);
}

CheckWorkspace::~CheckWorkspace()
{
    for (HANDLE lock : m_locks)
        ::CloseHandle(lock);
}

void CheckWorkspace::WriteMapping(const std::string& lines) const
{
    test::WriteFile(OrgMap(), "[OrgMapping]\r\n" + lines);
}

void CheckWorkspace::WriteWide(const std::string& dir, const wchar_t* name, const std::string& bytes) const
{
    std::vector<wchar_t> wideDir(dir.size() + 1, L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, dir.c_str(), -1, wideDir.data(), static_cast<int>(wideDir.size()));
    const std::wstring path = std::wstring(wideDir.data()) + L"\\" + name;
    CHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

void CheckWorkspace::Lock(const std::string& path)
{
    m_locks.push_back(::CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

bool HasLine(const std::string& output, const std::string& fragment)
{
    size_t start = 0;
    while (start < output.size()) {
        size_t end = output.find("\r\n", start);
        if (end == std::string::npos)
            end = output.size();
        if (output.substr(start, end - start).find(fragment) != std::string::npos)
            return true;
        start = end + 2;
    }
    return false;
}

std::vector<std::string> CheckWorkspace::RunThePlugin(const std::vector<const char*>& exports) const
{
    std::vector<std::string> boxes;
    test::HostWindow host;
    test::LoadedPlugin plugin(Host());
    EXPECT_NE(nullptr, plugin.Module()) << test::PluginPath();
    if (plugin.Module() == nullptr)
        return boxes;
    std::atomic<bool> done{ false };
    test::GuiScript script([&](test::GuiScript& s) {
        s.WaitFor([&] {
            if (HWND box = test::FindDialog("错误信息")) {
                s.WaitFor([box] { return ::IsWindowVisible(box) != FALSE; }, "the error box to show");
                boxes.push_back(test::GuiScript::MessageText(box));
                s.Answer(box);
                s.WaitGone(box);
            }
            return done.load();
        }, "the runs to end", 120000);
    }, 150000);
    for (const char* name : exports)
        plugin.Get<test::RunFn>(name)();
    done = true;
    script.Finish();
    return boxes;
}

test::ProgramResult RunChecker(const std::string& args, const std::string& dir)
{
    return test::RunProgram(test::BinDir() + "\\qrvcheck.exe", args, dir);
}

test::ProgramResult CheckWorkspace::Check(const std::string& options) const
{
    return RunChecker(options + " \"" + Host() + "\" " + m_plugin);
}

test::ProgramResult CheckWorkspace::CheckHere(const std::string& options) const
{
    return RunChecker(options, Host());
}

} // namespace checktest

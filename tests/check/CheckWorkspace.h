// A host's working directory with OrgMap.ini and TaskDefine.ini, the send, data and receive folders,
// and the plug-in's registry settings pointing at them: all that qrvcheck.exe and a run read. As built,
// every setting is right: one mapping C01 -> P01, UserOrgID Q900 with its delivery folder, IsDeleted 1.
#pragma once
#include "framework/Handle.h"
#include "support/Programs.h"
#include "support/TestSupport.h"

#include <string>
#include <vector>

namespace checktest {

extern const char kUserOrgID[];

// True when a line of the output holds fragment.
bool HasLine(const std::string& output, const std::string& fragment);

// qrvcheck.exe from the bin folder, run in dir (the bin folder when empty).
test::ProgramResult RunChecker(const std::string& args, const std::string& dir = "");

class CheckWorkspace {
public:
    explicit CheckWorkspace(const std::string& plugin);
    ~CheckWorkspace();

    std::string Root() const { return m_root.Path(); }
    std::string Host() const { return m_root / "host"; }
    std::string Send() const { return m_root / "send"; }
    std::string Data() const { return m_root / "data"; }
    std::string Receive() const { return m_root / "recv"; }
    std::string Delivery() const { return Data() + "\\" + kUserOrgID; }
    std::string Backup() const { return Delivery() + "\\Backup"; }
    std::string OrgMap() const { return Host() + "\\OrgMap.ini"; }
    std::string TaskDefine() const { return Host() + "\\TaskDefine.ini"; }
    const test::PluginProfile& Profile() const { return m_profile; }

    // "[OrgMapping]" followed by lines.
    void WriteMapping(const std::string& lines) const;
    // A file whose name is given in UTF-16, for characters that GBK lacks.
    void WriteWide(const std::string& dir, const wchar_t* name, const std::string& bytes) const;
    // Holds path open without sharing until the workspace goes.
    void Lock(const std::string& path);

    // qrvcheck.exe run from the bin folder with options, the host folder and the plug-in name.
    test::ProgramResult Check(const std::string& options) const;
    // qrvcheck.exe run in the host folder with options alone, as an operator runs it there.
    test::ProgramResult CheckHere(const std::string& options) const;
    // Calls the real DLL's run exports in order, under the host's window; answers every error box and
    // returns their texts.
    std::vector<std::string> RunThePlugin(const std::vector<const char*>& exports) const;

private:
    std::string m_plugin;
    test::PluginProfile m_profile;
    test::TempDir m_root{ "check" };
    std::vector<HANDLE> m_locks;
};

} // namespace checktest

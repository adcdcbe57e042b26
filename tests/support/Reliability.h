// The fixture of the reliability scenarios: a throwaway root that is also the current directory, with
// a send directory, a data-file location and a receive directory set in a clean profile, one mapping
// C1 -> P1, C2 -> P2, sources deleted after their copy; and a census of every file a test made.
#pragma once
#include "support/RecordingView.h"
#include "engine/ExportEngine.h"
#include "engine/ImportEngine.h"
#include "framework/Handle.h"
#include "settings/Settings.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <functional>
#include <map>

namespace reliability {

using test::Exists;
using test::ListDir;
using test::ReadFile;
using Names = std::vector<std::string>;

class Reliability : public ::testing::Test {
protected:
    test::TempDir m_root{ "rel" };
    test::CurrentDir m_cwd{ m_root.Path() };
    test::CleanProfile m_profile;
    std::string m_send = m_root / "send";
    std::string m_data = m_root / "data";
    std::string m_recv = m_root / "recv";
    std::string m_strUserOrgID;
    // Every file the test made, by name, with its content.
    std::map<std::string, std::string> m_made;

    void SetUp() override
    {
        ASSERT_TRUE(test::MakeDir(m_send));
        ASSERT_TRUE(test::MakeDir(m_data));
        settings::SetString(settings::kSourcePath, m_send.c_str());
        settings::SetString(settings::kExportLocation, m_data.c_str());
        settings::SetString(settings::kDestPath, m_recv.c_str());
        settings::SetInt(settings::kIsDeleted, 1);
        WriteOrgMap("[OrgMapping]\r\nClientID0000=C1\r\nQRVID0000=P1\r\nClientID0001=C2\r\nQRVID0001=P2\r\n");
    }
    void WriteOrgMap(const std::string& text) { ASSERT_TRUE(test::WriteFile(m_root / "OrgMap.ini", text)); }
    void Make(const std::string& dir, const std::string& name, const std::string& content)
    {
        ASSERT_TRUE(test::WriteFile(dir + "\\" + name, content)) << name;
        m_made[name] = content;
    }
    void SetUserOrgID(const char* id) { m_strUserOrgID = id; }
    // The user organisation ID Q9, with its delivery folder and the receive directory made; returns the
    // delivery folder.
    std::string MakeDelivery()
    {
        SetUserOrgID("Q9");
        const std::string delivery = m_data + "\\Q9";
        EXPECT_TRUE(test::MakeDir(delivery) && test::MakeDir(m_recv));
        return delivery;
    }
    // Runs run while another program holds path open for writing with that share mode.
    static int WhileWritten(const std::string& path, DWORD share, const std::function<int()>& run)
    {
        CFileHandle writer(::CreateFileA(path.c_str(), GENERIC_WRITE, share, nullptr, OPEN_EXISTING,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
        EXPECT_TRUE(writer.IsValid()) << path;
        return run();
    }
    // Runs as the run dialogs make them, with the settings as they are now; the pauses are 0.
    RunInput Input() const { return ReadRunInput(UserOrgID{ m_strUserOrgID, false }); }
    int Export(test::RecordingView& view) { return CExportEngine(&view, Input(), 0, 0).Run(); }
    int Import(test::RecordingView& view) { return CImportEngine(&view, Input(), 0).Run(); }

    // Each made file in one of the places a run may leave it, with its content; returns where each is.
    std::map<std::string, std::string> Census(const std::vector<std::string>& places)
    {
        std::map<std::string, std::string> where;
        for (const auto& file : m_made) {
            for (const std::string& dir : places) {
                std::string path = dir + "\\" + file.first;
                if (Exists(path)) {
                    EXPECT_EQ(file.second, ReadFile(path)) << path;
                    where[file.first] = dir;
                    break;
                }
            }
            EXPECT_EQ(1u, where.count(file.first)) << "lost: " << file.first;
        }
        return where;
    }
};

} // namespace reliability

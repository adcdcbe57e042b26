// Fixtures of the engine tests: a throwaway root that is also the current directory (for OrgMap.ini),
// a clean registry profile, and engines whose single copy attempts a test can take over.
#pragma once
#include "engines/RecordingView.h"
#include "settings/Settings.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <functional>
#include <string>

namespace test {

// The engine with its copy attempts counted and, when a test sets m_copy, replaced.
template <class TEngine>
class ProbeEngine : public TEngine {
public:
    using TEngine::TEngine;
    int m_nAttempts = 0;
    // The target is folder\name.
    std::function<bool(int attempt, const std::string& source, const std::string& target)> m_copy;

    bool RealCopy(const std::string& source, const std::string& target)
    {
        return TEngine::CopyOnce(source, m_folder, target.substr(m_folder.size() + 1), m_pCopied);
    }

protected:
    bool CopyOnce(const std::string& source, const std::string& folder, const std::string& name,
                  typename TEngine::FileStamp* pCopied) override
    {
        ++m_nAttempts;
        m_folder = folder;
        m_pCopied = pCopied;
        return m_copy ? m_copy(m_nAttempts, source, folder + "\\" + name) : TEngine::CopyOnce(source, folder, name, pCopied);
    }

private:
    std::string m_folder;
    typename TEngine::FileStamp* m_pCopied = nullptr;
};

class EngineTest : public ::testing::Test {
protected:
    TempDir m_root{ "eng" };
    CurrentDir m_cwd{ m_root.Path() };
    CleanProfile m_profile;
    RecordingView m_view;

    std::string Path(const std::string& relative) const { return m_root / relative; }

    // [OrgMapping] of OrgMap.ini in the current directory, written as raw text.
    void WriteOrgMap(const std::string& lines) const
    {
        ASSERT_TRUE(WriteFile(IniPath(), "[OrgMapping]\r\n" + lines));
    }
    static std::string IniPath() { return settings::IniPath(settings::kOrgMapFile); }

    static void Put(const std::string& path, const std::string& bytes) { ASSERT_TRUE(WriteFile(path, bytes)) << path; }
};

} // namespace test

// The export run: copies every file of the send directory named prefix_code_rest, whose client code the
// organisation mapping knows, into the data-file location's folder of the matching platform code, and
// deletes the source afterwards when asked to. Lives for one run on the worker thread.
#pragma once
#include "engine/TransferEngine.h"
#include "settings/Settings.h"

#include <set>
#include <string>
#include <vector>

class COrgCodeTable;

// What an export run works on.
struct ExportInput {
    std::string strSourcePath;
    std::string strExportLocation;
    bool bDeleteAfterCopy = false;
    std::vector<settings::OrgMapping> mappings;
};

// The input as the settings hold it now: "SourcePath", "ExportLocation", "IsDeleted" and OrgMap.ini.
ExportInput ReadExportInput();

class CExportEngine : public CTransferEngine {
public:
    static constexpr DWORD kDefaultPauseMs = 500;

    CExportEngine(IRunView* pOwner, const ExportInput& input, DWORD dwPauseMs = kDefaultPauseMs,
                  DWORD dwRetryPauseMs = kDefaultRetryPauseMs);

    int Run() override;

protected:
    void OnFile(const WIN32_FIND_DATAA& data) override;
    void OnDirectory() override;

private:
    // False when a directory setting is missing.
    bool Transfer();
    // One progress step: the bar to the counter (at most 100), the counter up by 10, then the pause.
    void Step();

    const ExportInput m_input;
    DWORD m_dwPauseMs;
    int m_nProgress;
    const COrgCodeTable* m_pCodes;
    // Platform folders this run has already cleared of interrupted copies.
    std::set<std::string> m_cleanedFolders;
};

// The export run: copies every file of the send directory named prefix_code_rest, whose client code the
// organisation mapping knows, into the data-file location's folder of the matching platform code, and
// deletes the source afterwards when "IsDeleted" asks for it. Lives for one run on the worker thread.
#pragma once
#include "work/TransferEngine.h"

#include <set>
#include <string>

class COrgCodeTable;

class CExportEngine : public CTransferEngine {
public:
    static constexpr DWORD kDefaultPauseMs = 500;

    CExportEngine(IRunView* pOwner, bool bAuto, DWORD dwPauseMs = kDefaultPauseMs,
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

    DWORD m_dwPauseMs;
    int m_nProgress;
    bool m_bDeleteAfterCopy;
    std::string m_strSourcePath;
    std::string m_strExportLocation;
    const COrgCodeTable* m_pCodes;
    // Platform folders this run has already cleared of interrupted copies.
    std::set<std::string> m_cleanedFolders;
};

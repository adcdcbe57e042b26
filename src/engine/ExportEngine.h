// The export run: copies every file of the send directory named prefix_code_rest, whose client code the
// organisation mapping knows, into the data-file location's folder of the matching platform code, and
// deletes the source afterwards when asked to. Lives for one run on the worker thread.
#pragma once
#include "engine/TransferEngine.h"

#include <set>
#include <string>

class COrgCodeTable;

class CExportEngine : public CTransferEngine {
public:
    static constexpr DWORD kDefaultPauseMs = 500;

    CExportEngine(IRunView* pOwner, const RunInput& input, DWORD dwPauseMs = kDefaultPauseMs,
                  DWORD dwRetryPauseMs = kDefaultRetryPauseMs);

    int Run() override;

    // What an export does with one entry of the send directory; codes is the table of input's mapping.
    static EntryDecision Decide(const RunInput& input, const COrgCodeTable& codes, const FolderEntry& entry);

protected:
    void OnEntry(const FolderEntry& entry) override;

private:
    // False when the run is refused.
    bool Transfer();
    // Copies a file to its platform folder (a target path that does not fit fails as a copy would) and
    // deletes the source when asked to; false, after the error box, when the copy failed.
    bool Deliver(const EntryDecision& decision, const FolderEntry& listed);
    // One progress step: the bar to the counter (at most 100), the counter up by 10, then the pause.
    void Step();

    DWORD m_dwPauseMs;
    int m_nProgress;
    const COrgCodeTable* m_pCodes;
    // Platform folders this run has already cleared of interrupted copies.
    std::set<std::string> m_cleanedFolders;
};

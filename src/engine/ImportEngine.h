// The import run: hands every file that the platform delivered into the folder of the user's
// organisation over to the receive directory, then archives it in that folder's Backup subfolder under
// a free name, so that the next run does not see it again; each delivery by a claim (engine/Claim.h),
// so that it is handed over exactly once. Lives for one run on the worker thread.
#pragma once
#include "engine/Claim.h"
#include "engine/TransferEngine.h"

#include <string>
#include <vector>

class CImportEngine : public CTransferEngine {
public:
    CImportEngine(IRunView* pOwner, const RunInput& input, DWORD dwRetryPauseMs = kDefaultRetryPauseMs);

    int Run() override;

    // What an import does with one entry of the delivery folder: a file is copied and then archived in
    // the delivery folder's Backup under the name FreeBackupName gives.
    static EntryDecision Decide(const RunInput& input, const FolderEntry& entry);
    // What it does first with an entry of the claim folder, a claim that an earlier run did not finish: one
    // whose copy still waits beside the target has it put in place (kCopy), one whose copy is in place
    // already is only archived (kArchive); anything else there is passed over.
    static EntryDecision DecideClaim(const RunInput& input, const ClaimFolder& claims, const FolderEntry& entry);
    // What it does with a claim waiting in the claim folder of another receive directory: leaves it.
    static EntryDecision DecideClaimElsewhere(const ClaimElsewhere& claim);
    // Why the delivered file of decision could not be claimed, as a system error; 0 when it can: Backup
    // is a folder (or, when bMayBeMade, nothing yet), and the file can be opened as the claim opens it.
    // The file is closed again at once.
    static DWORD ClaimBlocker(const EntryDecision& decision, bool bMayBeMade);

    // The archive name of a delivered file with a copy number: name for 0, else name.1, name.2, ...
    static std::string BackupName(const std::string& name, unsigned long long suffix);
    // The archive name that name takes in backupFolder: the lowest copy number free there and not in
    // alsoTaken, found with one listing of the folder.
    static std::string FreeBackupName(const std::string& backupFolder, const std::string& name,
                                      const std::vector<std::string>& alsoTaken = std::vector<std::string>());

protected:
    void OnEntry(const FolderEntry& entry) override;
    // Writes the copy beside the target under its claim copy name, then claims the source.
    bool CopyOnce(const std::string& source, const std::string& folder, const std::string& name,
                  FileStamp* pCopied) override;

private:
    // Sets up the claim folder of the run's receive directory and finishes what earlier runs left in
    // it; m_blocked says why no delivery can be claimed when that fails.
    void PrepareClaims(const std::string& backupFolder, CClaimLock& lock);
    // Records the claims that wait for an import into another receive directory, which it leaves.
    void TellClaimsElsewhere(const std::string& backupFolder);
    // Claims a delivery with its copy, then hands it over; or leaves it.
    void Deliver(const EntryDecision& decision, const FolderEntry& listed);
    // Puts the copy of the claimed file in place (bPlace), then archives the claim; false when the
    // claim still waits (a claim given back to the delivery folder does not).
    bool HandOver(const EntryDecision& decision, const std::string& claimed, const FileStamp& copied, bool bPlace,
                  bool bEarlier);
    // Renames the copy of the claimed file over the target; false, with the error, when it cannot.
    bool PlaceClaimCopy(const EntryDecision& decision, const std::string& claimed, const FileStamp& copied,
                        DWORD* pError);
    // Moves the claimed file into the backup folder under its name, else under the name FreeBackupName
    // gives; never replaces a file. False, with the error, when it cannot be moved.
    bool MoveToBackup(const std::string& claimed, const EntryDecision& decision, std::string* pArchive,
                      DWORD* pError);

    ClaimFolder m_claims;
    // kArchived while deliveries can be claimed; else what becomes of each, with m_dwBlockError.
    Outcome m_blocked;
    DWORD m_dwBlockError;
    // True once the last copy attempt got as far as its claim.
    bool m_bClaimTried;
    // The names of earlier claims that still wait after this run tried to finish them.
    std::vector<std::string> m_pending;
};

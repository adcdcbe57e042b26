// The import run: copies every file that the platform delivered into the folder of the user's
// organisation to the receive directory, then moves it into that folder's Backup subfolder under a
// free name, so that the next run does not see it again. Lives for one run on the worker thread.
#pragma once
#include "engine/TransferEngine.h"

#include <string>
#include <vector>

class CImportEngine : public CTransferEngine {
public:
    CImportEngine(IRunView* pOwner, const RunInput& input, DWORD dwRetryPauseMs = kDefaultRetryPauseMs);

    int Run() override;

    // What an import does with one entry of the delivery folder. A file copied is then archived in the
    // delivery folder's Backup under the name FreeBackupName gives; one whose bytes the receive
    // directory holds already is only archived.
    static EntryDecision Decide(const RunInput& input, const FolderEntry& entry);
    // Why the delivered file of decision could not be archived, as a system error; 0 when it can: Backup
    // is a folder (or, when bMayBeMade, nothing yet), and the file can be opened for the move. The
    // file is closed again at once.
    static DWORD ArchiveBlocker(const EntryDecision& decision, bool bMayBeMade);

    // The archive name of a delivered file with a copy number: name for 0, else name.1, name.2, ...
    static std::string BackupName(const std::string& name, unsigned long long suffix);
    // The archive name that name takes in backupFolder: the lowest copy number free there and not in
    // alsoTaken, found with one listing of the folder.
    static std::string FreeBackupName(const std::string& backupFolder, const std::string& name,
                                      const std::vector<std::string>& alsoTaken = std::vector<std::string>());

protected:
    void OnEntry(const FolderEntry& entry) override;

private:
    // Copies a file to the receive directory and archives it, or neither.
    void Deliver(const EntryDecision& decision, const FolderEntry& listed);
    // Moves the copied file into the backup folder under its name, else under the name
    // FreeBackupName gives; never replaces a file. False, with the error, when it cannot be moved.
    bool MoveToBackup(const EntryDecision& decision, std::string* pArchive, DWORD* pError);
};

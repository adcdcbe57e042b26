// The import run: copies every file that the platform delivered into the folder of the user's
// organisation to the receive directory, then moves it into that folder's Backup subfolder under a
// free name, so that the next run does not see it again. Lives for one run on the worker thread.
#pragma once
#include "engine/TransferEngine.h"

#include <string>

// What an import run works on. The user organisation ID is the one its creator checked: empty (the
// data-file location itself is the delivery folder) or a name directly below the data-file location.
struct ImportInput {
    std::string strDestPath;
    std::string strExportLocation;
    std::string strUserOrgID;
};

// The input as the settings hold it now ("DestPath", "ExportLocation"), for that user organisation.
ImportInput ReadImportInput(const std::string& userOrgID);

class CImportEngine : public CTransferEngine {
public:
    CImportEngine(IRunView* pOwner, const ImportInput& input, DWORD dwRetryPauseMs = kDefaultRetryPauseMs);

    int Run() override;

    static const char kBackupFolder[];
    // The archive name of a delivered file with a copy number: name for 0, else name.1, name.2, ...
    static std::string BackupName(const std::string& name, unsigned long long suffix);

protected:
    void OnFile(const WIN32_FIND_DATAA& data) override;

private:
    // Moves source into the backup folder as name, else as the first free of name.1, name.2, ..., found
    // with one listing of the folder; never replaces a file.
    void MoveToBackup(const std::string& source, const std::string& name);

    const ImportInput m_input;
    std::string m_strDeliveryFolder;
    std::string m_strBackupFolder;
};

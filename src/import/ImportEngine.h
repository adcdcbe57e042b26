// The import run: copies every file that the platform delivered into the folder of the user's
// organisation to the receive directory, then moves it into that folder's Backup subfolder under a
// free name, so that the next run does not see it again. Lives for one run on the worker thread.
#pragma once
#include "framework/DateTime.h"
#include "work/TransferEngine.h"

#include <string>

class CImportEngine : public CTransferEngine {
public:
    // Copies the user organisation ID that the application object read at load.
    CImportEngine(IRunView* pOwner, bool bAuto, const CDateTime& startTime, const CDateTime& endTime,
                  DWORD dwRetryPauseMs = kDefaultRetryPauseMs);

    int Run() override;

    static const char kBackupFolder[];
    // Suffixes tried for an archive name before the file is left where it is.
    static constexpr int kMaxBackupSuffix = 9999;
    // The archive name of a delivered file at an attempt: name, then name.1, name.2, ...
    static std::string BackupName(const std::string& name, int suffix);

protected:
    void OnFile(const WIN32_FIND_DATAA& data) override;

private:
    // Moves source into the backup folder as name, else name.1, name.2, ...; never replaces a file.
    void MoveToBackup(const std::string& source, const std::string& name);

    char m_szUserOrgID[17];
    bool m_bUserOrgIDTooLong;
    CDateTime m_startTime;
    CDateTime m_endTime;
    std::string m_strDestPath;
    std::string m_strDeliveryFolder;
    std::string m_strBackupFolder;
};

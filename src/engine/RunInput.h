// What a run works on, read once where the run starts, and whether it may start at all: settings
// missing, a user organisation ID it cannot use, or folders that overlap in a way that would overwrite,
// loop or deliver files twice.
#pragma once
#include "settings/Settings.h"

#include <string>
#include <vector>

enum class RunKind { kExport, kImport };

// The user organisation ID as the application read it at load. A stored ID longer than 16 bytes is
// never cut (a cut ID could name another organisation's folder): strValue stays empty and bTooLong is
// set.
struct UserOrgID {
    std::string strValue;
    bool bTooLong = false;
};

struct RunInput {
    std::string strSourcePath;
    std::string strExportLocation;
    std::string strDestPath;
    bool bDeleteAfterCopy = false;
    std::vector<settings::OrgMapping> mappings;
    UserOrgID userOrgID;
    // The platform codes of the usable pairs whose folder is the delivery folder or its Backup
    // (DeliveryPairCodes): an export leaves their files where they are.
    std::vector<std::string> deliveryPairCodes;
};

// The input as the settings hold it now ("SourcePath", "ExportLocation", "DestPath", "IsDeleted" and
// OrgMap.ini), for that user organisation ID.
RunInput ReadRunInput(const UserOrgID& userOrgID);

// The folder the platform delivers the user's files to: ExportLocation\UserOrgID, or the data-file
// location itself for an empty ID. Its Backup subfolder holds what imports took.
std::string DeliveryFolder(const RunInput& input);
extern const char kBackupFolder[];
// The platform codes of the usable pairs whose folder, below the data-file location, is the delivery
// folder or its Backup, as the file system names folders; none without a data-file location or with a
// user organisation ID that imports refuse.
std::vector<std::string> DeliveryPairCodes(const RunInput& input);

// Why a run of that kind must not start, in the words of its message box; "" when it may. Nothing
// has been touched when a run is refused.
std::string RefusalOf(const RunInput& input, RunKind kind);
// The part of that about folders that overlap (the send or receive directory being, or lying inside,
// a folder that the host exchanges with the platform, or the delivery folder being the current
// directory, which holds the INI files and the transfer record); "" when they are apart.
std::string FolderOverlap(const RunInput& input, RunKind kind);

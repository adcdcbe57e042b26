#include "settings/Settings.h"

namespace settings {

const char kCompanyKey[] = "Quorvane";
const char kSection[] = "2.0";
const char kUserOrgID[] = "UserOrgID";
const char kExportLocation[] = "ExportLocation";
const char kSourcePath[] = "SourcePath";
const char kDestPath[] = "DestPath";
const char kIsDeleted[] = "IsDeleted";
const char kOrgID[] = "OrgID";
const char kUsername[] = "Username";
const char kPassword[] = "Password";
const char kRecordTransfers[] = "RecordTransfers";
const char kLastRunNumber[] = "LastRunNumber";
const char kAutoErrorBoxSeconds[] = "AutoErrorBoxSeconds";

const char kOrgMapFile[] = "OrgMap.ini";
const char kTaskDefineFile[] = "TaskDefine.ini";
const char kRecordFile[] = "传送记录.csv";
const char kLogFile[] = "08888978.log";
const char kOrgMappingSection[] = "OrgMapping";
const char kSuppliersSection[] = "Suppliers";
const char kClientIDFormat[] = "ClientID%04d";
const char kQRVIDFormat[] = "QRVID%04d";
const char kSIDFormat[] = "SID%04d";
const char kValidFormat[] = "Valid%04d";
const char kNameFormat[] = "Name%04d";
const char kTempSQL[] = "TempSQL";
const char kFileName[] = "FileName";
const char kSQL[] = "SQL";
const char kChecked[] = "Checked";
const char kLastExportTime[] = "LastExportTime";
const char kDefaultExportTime[] = "2001-01-01 00:00:00";

} // namespace settings

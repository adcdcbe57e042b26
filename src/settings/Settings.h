// The layout of the plug-in's two stores: the registry profile (section "2.0" of the application's key)
// and the INI files OrgMap.ini and TaskDefine.ini in the current directory. Every value is read when it
// is needed and written straight back; nothing here keeps state or touches a window.
#pragma once
#include <string>
#include <utility>
#include <vector>

namespace settings {

// Registry profile.
extern const char kCompanyKey[];
extern const char kSection[];
extern const char kUserOrgID[];
extern const char kExportLocation[];
extern const char kSourcePath[];
extern const char kDestPath[];
extern const char kIsDeleted[];
extern const char kOrgID[];
extern const char kUsername[];
extern const char kPassword[];
// REG_DWORD, 1 when missing: 0 turns the transfer record off.
extern const char kRecordTransfers[];
// REG_DWORD: the number of the last run that the transfer record numbered.
extern const char kLastRunNumber[];
// REG_DWORD, 0 when missing: the seconds after which the error box of an automatic run closes by itself,
// so that a host nobody sits at goes on; 0 waits for someone, as interactive runs always do. Larger
// values count as kMostAutoErrorBoxSeconds.
extern const char kAutoErrorBoxSeconds[];
const int kMostAutoErrorBoxSeconds = 24 * 60 * 60;

// INI files, sections and keys.
extern const char kOrgMapFile[];
extern const char kTaskDefineFile[];
extern const char kRecordFile[];
extern const char kOrgMappingSection[];
extern const char kSuppliersSection[];
extern const char kClientIDFormat[];
extern const char kQRVIDFormat[];
extern const char kSIDFormat[];
extern const char kValidFormat[];
extern const char kNameFormat[];
extern const char kTempSQL[];
extern const char kFileName[];
extern const char kSQL[];
extern const char kChecked[];
extern const char kLastExportTime[];
extern const char kDefaultExportTime[];

// Read limits: the buffer sizes, terminator included.
const size_t kOrgCodeBuffer = 128;
const size_t kSupplierBuffer = 256;
const size_t kSectionNamesBuffer = 512;
const size_t kTaskValueBuffer = 512;
const size_t kSqlBuffer = 1024;

// Profile values of section "2.0". Strings default to "".
std::string GetString(const char* name);
int GetInt(const char* name, int defaultValue);
bool SetString(const char* name, const char* value);
bool SetInt(const char* name, int value);

// The current directory, one trailing backslash removed, then "\" and the file name; built afresh.
std::string IniPath(const char* fileName);
// "AutoErrorBoxSeconds" as runs use it: 0 (wait) for a value that is not a positive REG_DWORD.
int AutoErrorBoxSeconds(int stored);
// The transfer record beside the INI files, or "" when "RecordTransfers" turns it off.
std::string RecordPath();
// The number of a new run: "LastRunNumber" counted up, by one process of this user at a time.
unsigned NextRunNumber();
// A numbered key: the format ("ClientID%04d" ...) applied to index.
std::string NumberedKey(const char* format, int index);

// Profile-file operations on a full path. ReadIniString takes at most bufferSize - 1 bytes, never
// splitting a double-byte character; a null default yields "" for a missing key.
std::string ReadIniString(const std::string& path, const char* section, const char* key, const char* defaultValue,
                          size_t bufferSize);
int ReadIniInt(const std::string& path, const char* section, const char* key, int defaultValue);
bool WriteIniString(const std::string& path, const char* section, const char* key, const char* value);
// Keys with their values, in file order.
typedef std::vector<std::pair<std::string, std::string>> IniKeys;
// The section names in file order that fit, whole, into a list of bufferSize bytes (each name with its
// terminator, plus the list's final terminator). A name the platform would cut short is never listed.
std::vector<std::string> ReadSectionNames(const std::string& path, size_t bufferSize);

// "OrgMapping" of OrgMap.ini.
struct OrgMapping {
    std::string clientCode;
    std::string platformCode;
};
// Every numbered row up to the first missing or empty "ClientID%04d", row i from the keys of index i;
// platformCode is "" where "QRVID%04d" is missing or empty.
std::vector<OrgMapping> ReadOrgMappingRows();
// The rows that have both codes.
std::vector<OrgMapping> ReadOrgMappings();
// Replaces the section's keys with every pair renumbered from 0, in one write of the file that changes
// no other line (CProfileFile::ReplaceSection).
void WriteOrgMappings(const std::vector<OrgMapping>& mappings);

// "Suppliers" of OrgMap.ini.
struct Supplier {
    std::string code;
    std::string name;
    bool valid = false;
};
std::vector<Supplier> ReadSuppliers();
// Replaces the section's keys with every entry renumbered from 0 and then TempSQL, last, in one write of
// the file that changes no other line.
void WriteSuppliers(const std::vector<Supplier>& suppliers);
// The SQL value list of the ticked suppliers' codes, each an SQL string literal.
std::string BuildTempSQL(const std::vector<Supplier>& suppliers);

// TaskDefine.ini: one section per task.
std::vector<std::string> ListTasks();
// A task as the lists show it: its section name, file name, tick and export start time.
struct Task {
    std::string name;
    std::string fileName;
    bool checked = false;
    std::string lastExportTime;
};
// Every listed task with its keys ("FileName" empty and "LastExportTime" the default when missing).
std::vector<Task> ReadTasks();
std::string ReadTaskString(const std::string& task, const char* key, const char* defaultValue, size_t bufferSize);
int ReadTaskInt(const std::string& task, const char* key, int defaultValue);
bool WriteTaskString(const std::string& task, const char* key, const char* value);
// One key of one task section.
struct TaskKey {
    std::string task;
    const char* key;
    std::string value;
};
// Sets the keys in their order with at most one write of TaskDefine.ini that changes only their lines,
// as one write per key by Windows' profile functions does. False when the file could not be read or
// written.
bool WriteTaskStrings(const std::vector<TaskKey>& keys);

} // namespace settings

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
// The plug-in's log beside them: the interface ID and ".log".
extern const char kLogFile[];
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
// The longest codes that the organisation code table takes from a pair, in bytes.
const size_t kClientCodeMax = 23;
const size_t kPlatformCodeMax = 15;

// The longest UserOrgID, in bytes, that runs take; a longer one refuses imports rather than being cut.
const size_t kUserOrgIDMax = 16;

// The registry values, one row each (Values.cpp): what they are and what a reader makes of them.
enum class ValueType { kString, kNumber }; // REG_SZ, REG_DWORD
struct ValueRow {
    const char* name;
    ValueType type;
    // What a run reads when the value is missing or of another type: "" for a string, this for a number.
    int number;
    // What the setup page shows when the number is missing; it differs from the run's on purpose
    // (IsDeleted: a first setup offers deletion ticked, while runs never delete without a stored 1).
    int shownWhenMissing;
    // The longest string a run takes, in bytes, or 0 for no limit.
    size_t limit;
    // The words that name the value for the operator.
    const char* label;
    // What a run does when the value is missing, empty or of another type; nullptr: no run reads it.
    const char* withoutIt;
};
extern const ValueRow kValues[];
extern const size_t kValueCount;
// The row of a value name of this section.
const ValueRow& Row(const char* name);

// A registry value as stored, read through a read-only key.
struct StoredValue {
    bool present = false;
    unsigned long type = 0;
    std::string data; // the stored bytes
};
// HKEY_CURRENT_USER's subkey of section "2.0" of the plug-in named appName.
std::string SectionKeyPath(const std::string& appName);
// Reads the section of the plug-in named appName (the loaded module's name when empty); opening it
// never creates a key.
class CStoredSection {
public:
    explicit CStoredSection(const std::string& appName = std::string());
    ~CStoredSection();
    CStoredSection(const CStoredSection&) = delete;
    CStoredSection& operator=(const CStoredSection&) = delete;
    bool Exists() const { return m_hKey != nullptr; }
    StoredValue Get(const char* name) const;

private:
    void* m_hKey;
};
// What a run makes of a stored value: text only from REG_SZ (up to its first terminator), a number
// only from a four-byte REG_DWORD; false for anything else, which reads as the row's default.
bool ReadsAsString(const StoredValue& value, std::string* text);
bool ReadsAsInt(const StoredValue& value, int* number);

// Profile values of section "2.0" as a run reads them: the row's default when missing or of another type.
std::string GetString(const char* name);
int GetInt(const char* name);
// A number as the setup page shows it: shownWhenMissing when it is missing or of another type.
int GetShownInt(const char* name);
// Writes create the keys that are missing; a null string deletes the value.
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

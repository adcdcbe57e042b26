#include "settings/Settings.h"

#include "settings/ProfileFile.h"

namespace settings {

namespace {

// Replaces the keys of the section of OrgMap.ini, with one write of the file.
void RewriteOrgMapSection(const char* section, const IniKeys& keys)
{
    const std::string path = IniPath(kOrgMapFile);
    CProfileFile file;
    if (file.Load(path, section)) {
        file.ReplaceSection(section, keys);
        file.Save(path);
    }
}

} // namespace

std::vector<OrgMapping> ReadOrgMappingRows()
{
    const CIniSection section(IniPath(kOrgMapFile), kOrgMappingSection);
    std::vector<OrgMapping> rows;
    for (int i = 0;; ++i) {
        OrgMapping entry;
        entry.clientCode = section.GetString(NumberedKey(kClientIDFormat, i), kOrgCodeBuffer);
        if (entry.clientCode.empty())
            break;
        entry.platformCode = section.GetString(NumberedKey(kQRVIDFormat, i), kOrgCodeBuffer);
        rows.push_back(entry);
    }
    return rows;
}

std::vector<OrgMapping> ReadOrgMappings()
{
    std::vector<OrgMapping> mappings;
    for (const OrgMapping& row : ReadOrgMappingRows()) {
        if (!row.platformCode.empty())
            mappings.push_back(row);
    }
    return mappings;
}

void WriteOrgMappings(const std::vector<OrgMapping>& mappings)
{
    IniKeys keys;
    for (size_t i = 0; i < mappings.size(); ++i) {
        const int n = static_cast<int>(i);
        keys.emplace_back(NumberedKey(kClientIDFormat, n), mappings[i].clientCode);
        keys.emplace_back(NumberedKey(kQRVIDFormat, n), mappings[i].platformCode);
    }
    RewriteOrgMapSection(kOrgMappingSection, keys);
}

std::vector<Supplier> ReadSuppliers()
{
    const CIniSection section(IniPath(kOrgMapFile), kSuppliersSection);
    std::vector<Supplier> suppliers;
    for (int i = 0;; ++i) {
        Supplier entry;
        entry.code = section.GetString(NumberedKey(kSIDFormat, i), kSupplierBuffer);
        if (entry.code.empty())
            break;
        entry.valid = section.GetInt(NumberedKey(kValidFormat, i), 0) != 0;
        entry.name = section.GetString(NumberedKey(kNameFormat, i), kSupplierBuffer);
        suppliers.push_back(entry);
    }
    return suppliers;
}

void WriteSuppliers(const std::vector<Supplier>& suppliers)
{
    IniKeys keys;
    for (size_t i = 0; i < suppliers.size(); ++i) {
        const int n = static_cast<int>(i);
        keys.emplace_back(NumberedKey(kSIDFormat, n), suppliers[i].code);
        keys.emplace_back(NumberedKey(kValidFormat, n), suppliers[i].valid ? "1" : "0");
        keys.emplace_back(NumberedKey(kNameFormat, n), suppliers[i].name);
    }
    keys.emplace_back(kTempSQL, BuildTempSQL(suppliers));
    RewriteOrgMapSection(kSuppliersSection, keys);
}

std::vector<std::string> ListTasks()
{
    return ReadSectionNames(IniPath(kTaskDefineFile), kSectionNamesBuffer);
}

std::vector<Task> ReadTasks()
{
    std::vector<Task> tasks;
    for (const std::string& name : ListTasks()) {
        Task task;
        task.name = name;
        task.fileName = ReadTaskString(name, kFileName, "", kTaskValueBuffer);
        task.checked = ReadTaskInt(name, kChecked, 0) != 0;
        task.lastExportTime = ReadTaskString(name, kLastExportTime, kDefaultExportTime, kTaskValueBuffer);
        tasks.push_back(task);
    }
    return tasks;
}

std::string ReadTaskString(const std::string& task, const char* key, const char* defaultValue, size_t bufferSize)
{
    return ReadIniString(IniPath(kTaskDefineFile), task.c_str(), key, defaultValue, bufferSize);
}

int ReadTaskInt(const std::string& task, const char* key, int defaultValue)
{
    return ReadIniInt(IniPath(kTaskDefineFile), task.c_str(), key, defaultValue);
}

bool WriteTaskString(const std::string& task, const char* key, const char* value)
{
    return WriteIniString(IniPath(kTaskDefineFile), task.c_str(), key, value);
}

bool WriteTaskStrings(const std::vector<TaskKey>& keys)
{
    const std::string path = IniPath(kTaskDefineFile);
    CProfileFile file;
    if (!file.Load(path))
        return false;
    for (const TaskKey& key : keys)
        file.SetString(key.task, key.key, key.value);
    return file.Save(path);
}

} // namespace settings

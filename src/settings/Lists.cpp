#include "settings/Settings.h"

namespace settings {

std::vector<OrgMapping> ReadOrgMappingRows()
{
    const std::string path = IniPath(kOrgMapFile);
    std::vector<OrgMapping> rows;
    for (int i = 0;; ++i) {
        OrgMapping entry;
        entry.clientCode = ReadIniString(path, kOrgMappingSection, NumberedKey(kClientIDFormat, i).c_str(), nullptr,
                                         kOrgCodeBuffer);
        if (entry.clientCode.empty())
            break;
        entry.platformCode = ReadIniString(path, kOrgMappingSection, NumberedKey(kQRVIDFormat, i).c_str(), nullptr,
                                           kOrgCodeBuffer);
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
    const std::string path = IniPath(kOrgMapFile);
    EmptyIniSection(path, kOrgMappingSection);
    for (size_t i = 0; i < mappings.size(); ++i) {
        const int n = static_cast<int>(i);
        WriteIniString(path, kOrgMappingSection, NumberedKey(kClientIDFormat, n).c_str(), mappings[i].clientCode.c_str());
        WriteIniString(path, kOrgMappingSection, NumberedKey(kQRVIDFormat, n).c_str(), mappings[i].platformCode.c_str());
    }
}

std::vector<Supplier> ReadSuppliers()
{
    const std::string path = IniPath(kOrgMapFile);
    std::vector<Supplier> suppliers;
    for (int i = 0;; ++i) {
        Supplier entry;
        entry.code = ReadIniString(path, kSuppliersSection, NumberedKey(kSIDFormat, i).c_str(), nullptr, kSupplierBuffer);
        if (entry.code.empty())
            break;
        entry.valid = ReadIniInt(path, kSuppliersSection, NumberedKey(kValidFormat, i).c_str(), 0) != 0;
        entry.name = ReadIniString(path, kSuppliersSection, NumberedKey(kNameFormat, i).c_str(), nullptr, kSupplierBuffer);
        suppliers.push_back(entry);
    }
    return suppliers;
}

void WriteSuppliers(const std::vector<Supplier>& suppliers)
{
    const std::string path = IniPath(kOrgMapFile);
    EmptyIniSection(path, kSuppliersSection);
    for (size_t i = 0; i < suppliers.size(); ++i) {
        const int n = static_cast<int>(i);
        WriteIniString(path, kSuppliersSection, NumberedKey(kSIDFormat, n).c_str(), suppliers[i].code.c_str());
        WriteIniString(path, kSuppliersSection, NumberedKey(kValidFormat, n).c_str(), suppliers[i].valid ? "1" : "0");
        WriteIniString(path, kSuppliersSection, NumberedKey(kNameFormat, n).c_str(), suppliers[i].name.c_str());
    }
    WriteIniString(path, kSuppliersSection, kTempSQL, BuildTempSQL(suppliers).c_str());
}

std::vector<std::string> ListTasks()
{
    return ReadSectionNames(IniPath(kTaskDefineFile), kSectionNamesBuffer);
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

} // namespace settings

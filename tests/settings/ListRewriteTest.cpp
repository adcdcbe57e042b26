// The list rewrites write each file once. Written both ways onto the same starting file, through the
// real profile functions, they must give the bytes that the key-by-key writes they replace give.
#include "settings/Settings.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

using namespace std::string_literals;
using settings::NumberedKey;

// A starting file that does not exist, and the bytes a missing file reads as.
const std::string kNoFile = "(none)";

// The former writers: the section emptied, then one profile write per key.
void WriteKeyByKey(const std::string& path, const char* section, const settings::IniKeys& keys)
{
    ::WritePrivateProfileSectionA(section, "\0", path.c_str());
    for (const auto& key : keys) {
        ::WritePrivateProfileStringA(section, key.first.c_str(), key.second.c_str(), path.c_str());
    }
}

void WriteOrgMappingsKeyByKey(const std::string& path, const std::vector<settings::OrgMapping>& mappings)
{
    settings::IniKeys keys;
    for (size_t i = 0; i < mappings.size(); ++i) {
        keys.emplace_back(NumberedKey(settings::kClientIDFormat, static_cast<int>(i)), mappings[i].clientCode);
        keys.emplace_back(NumberedKey(settings::kQRVIDFormat, static_cast<int>(i)), mappings[i].platformCode);
    }
    WriteKeyByKey(path, settings::kOrgMappingSection, keys);
}

void WriteSuppliersKeyByKey(const std::string& path, const std::vector<settings::Supplier>& suppliers)
{
    settings::IniKeys keys;
    for (size_t i = 0; i < suppliers.size(); ++i) {
        keys.emplace_back(NumberedKey(settings::kSIDFormat, static_cast<int>(i)), suppliers[i].code);
        keys.emplace_back(NumberedKey(settings::kValidFormat, static_cast<int>(i)), suppliers[i].valid ? "1" : "0");
        keys.emplace_back(NumberedKey(settings::kNameFormat, static_cast<int>(i)), suppliers[i].name);
    }
    keys.emplace_back(settings::kTempSQL, settings::BuildTempSQL(suppliers));
    WriteKeyByKey(path, settings::kSuppliersSection, keys);
}

void WriteTaskKeysOneByOne(const std::string& path, const std::vector<settings::TaskKey>& keys)
{
    for (const settings::TaskKey& key : keys) {
        ::WritePrivateProfileStringA(key.task.c_str(), key.key, key.value.c_str(), path.c_str());
    }
}

// The same starting file (or none) in two directories: one for the former writes, one that is the
// current directory for the writers under test.
class BothWays {
public:
    BothWays(const char* fileName, const std::string& initial) : m_fileName(fileName)
    {
        if (initial != kNoFile) {
            EXPECT_TRUE(test::WriteFile(Reference(), initial));
            EXPECT_TRUE(test::WriteFile(m_current / fileName, initial));
        }
    }
    std::string Reference() const { return m_reference / m_fileName; }
    // The file's bytes on the reference side and on the side under test.
    std::string ReferenceBytes() const { return Bytes(Reference()); }
    std::string CurrentBytes() const { return Bytes(m_current / m_fileName); }

private:
    static std::string Bytes(const std::string& path) { return test::Exists(path) ? test::ReadFile(path) : kNoFile; }

    const char* m_fileName;
    test::TempDir m_reference{ "ref" };
    test::TempDir m_current{ "cur" };
    test::CurrentDir m_cwd{ m_current.Path() };
};

// Starting files: other sections around the lists, comments and keys the rewrite removes, untidy
// blanks, LF ends, sections repeated in another case, a byte-order mark.
const std::string kOrgMapFiles[] = {
    kNoFile,
    "",
    "[Head]\r\nA=1\r\n[OrgMapping]\r\nClientID0000=X\r\nQRVID0000=Y\r\nClientID0005=Z\r\n[Suppliers]\r\nSID0000=s\r\n"
    "Valid0000=1\r\nName0000=名\r\nTempSQL=('s')\r\n[Tail]\r\nB=2\r\n",
    "[Head]\r\nA=1\r\n[Tail]\r\nB=2\r\n",
    "[Suppliers]\r\nSID0000=s\r\n[Middle]\r\nM=1\r\n[OrgMapping]\r\nClientID0000=X\r\n",
    "; 说明\r\n[OrgMapping]\r\n;comment\r\nnoequals\r\nClientID0000=X\r\n\r\n[Suppliers]\r\n; c\r\nOther=1\r\n",
    "  [OrgMapping]  \n\n ClientID0000 = X \n\t[x]\nk = v\n",
    "[OrgMapping]\r\nClientID0000=A\r\n[Other]\r\nk=v\r\n[orgmapping]\r\nQRVID0000=B\r\n[SUPPLIERS]\r\nSID0000=s\r\n",
    "\xEF\xBB\xBF[OrgMapping]\r\nClientID0000=A\r\n[Tail]\r\nB=2\r\n",
};

TEST(ListRewrite, OrgMapSectionsGiveTheKeyByKeyBytes)
{
    const std::string longCode(300, 'L');
    const std::vector<settings::OrgMapping> oddMappings = {
        { "C001", "Q100" },
        { "北京分公司", "网商一" },
        { "", "empty client" },
        { "a=b", "c;d" },
        { "  lead", "trail  " },
        { ";semi", "=eq" },
        { "\xA1\xA1全角空格", "x" },
        { "\xB5\x5C\xCA\x5F", longCode },
    };
    const std::vector<settings::Supplier> oddSuppliers = {
        { "S01", "北方食品有限公司", true },
        { "S'02", "", false },
        { "", "no code", true },
        { " S03 ", "name=with;odd", true },
        { "S04", "  ", false },
        { "供05", "\xB5\x5C", true },
    };
    const struct {
        std::vector<settings::OrgMapping> mappings;
        std::vector<settings::Supplier> suppliers;
    } lists[] = { { oddMappings, oddSuppliers }, { {}, {} }, { { { "A ", "P  " } }, { { "S", "N  ", false } } } };

    for (const std::string& initial : kOrgMapFiles) {
        for (const auto& list : lists) {
            BothWays files(settings::kOrgMapFile, initial);
            WriteOrgMappingsKeyByKey(files.Reference(), list.mappings);
            WriteSuppliersKeyByKey(files.Reference(), list.suppliers);
            settings::WriteOrgMappings(list.mappings);
            settings::WriteSuppliers(list.suppliers);
            EXPECT_EQ(files.ReferenceBytes(), files.CurrentBytes())
                << "starting from " << initial << " with " << list.mappings.size() << " pairs";
        }
    }
    // The mapping alone on a missing file: an empty list leaves the file missing.
    BothWays files(settings::kOrgMapFile, kNoFile);
    WriteOrgMappingsKeyByKey(files.Reference(), {});
    settings::WriteOrgMappings({});
    EXPECT_EQ(kNoFile, files.ReferenceBytes());
    EXPECT_EQ(kNoFile, files.CurrentBytes());
}

// Task files: the keys written in place, added to their section, or with a section that has gone;
// untidy files that are left alone when no value changes and tidied when one does.
const std::string kTaskFiles[] = {
    kNoFile,
    "[日报]\r\nFileName=d.txt\r\nSQL=select 1\r\nChecked=0\r\nLastExportTime=2001-01-01 00:00:00\r\n[Weekly]\r\n"
    "FileName=w.txt\r\n",
    "\r\n; 任务\r\n  [日报]  \n  FileName = d.txt \n\n\tChecked=0\nLastExportTime =  2001-01-01 00:00:00\n[Weekly]\n",
    "[日报]\r\n;Checked=1\r\nchecked\r\n=x\r\n=y\r\nCHECKED=0\r\nChecked=1\r\n[ Weekly ] trailing\r\n[日报\r\n"
    "[WEEKLY]\r\nChecked=1\r\n",
    "\xEF\xBB\xBF[日报]\r\nChecked=0\r\nLastExportTime=2001-01-01 00:00:00\r\n",
    "\xFF\xFE[\0D\0]\0\r\0\n\0C\0h\0e\0c\0k\0e\0d\0=\0\x30\0\r\0\n\0"s,
    "[Other]\r\nk=v\r\n",
};

TEST(ListRewrite, TaskKeysGiveTheOneByOneBytes)
{
    const std::vector<settings::TaskKey> keySets[] = {
        {},
        { { "日报", settings::kChecked, "0" }, { "日报", settings::kLastExportTime, "2001-01-01 00:00:00" } },
        { { "日报", settings::kChecked, "1" },
          { "日报", settings::kLastExportTime, "2024-05-06 07:08:09" },
          { "weekly", settings::kChecked, "0" },
          { "Weekly", settings::kLastExportTime, " 2024-01-01 00:00:00  " },
          { "Gone", settings::kChecked, "1" },
          { "Gone", settings::kLastExportTime, "a=b;c" },
          { "D", settings::kLastExportTime, "" },
          { "日报", settings::kChecked, "0" } },
        { { "日报", settings::kLastExportTime, "\xA1\xA1二〇二四年" }, { "日报", settings::kChecked, "0" } },
        // Trailing blanks: kept by the last change only, and a value equal but for them is no change.
        { { "日报", settings::kLastExportTime, "x  " }, { "日报", settings::kLastExportTime, "x" } },
        { { "日报", settings::kLastExportTime, "x  " }, { "Weekly", settings::kChecked, "1\t" } },
    };
    for (const std::string& initial : kTaskFiles) {
        for (size_t set = 0; set < sizeof(keySets) / sizeof(keySets[0]); ++set) {
            BothWays files(settings::kTaskDefineFile, initial);
            WriteTaskKeysOneByOne(files.Reference(), keySets[set]);
            EXPECT_TRUE(settings::WriteTaskStrings(keySets[set]));
            const std::string where = "starting from " + initial + ", key set " + std::to_string(set);
            EXPECT_EQ(files.ReferenceBytes(), files.CurrentBytes()) << where;
            // A single write afterwards starts from what the one write left.
            WriteTaskKeysOneByOne(files.Reference(), { { "Weekly", settings::kChecked, "1" } });
            EXPECT_TRUE(settings::WriteTaskString("Weekly", settings::kChecked, "1"));
            EXPECT_EQ(files.ReferenceBytes(), files.CurrentBytes()) << where << ", then one more key";
        }
    }
}

} // namespace

// The list rewrites write each file once and change only the lines of what they write. On files in the
// form the profile functions write (one line per heading or key, CR LF ends, no blank lines), written
// both ways through the real profile functions, they give the bytes of the key-by-key writes they
// replace; on files as operators make them in Notepad, every other byte stays as it was.
#include "settings/Settings.h"
#include "support/LinuxSide.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <functional>

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

// Starting files in the profile functions' form: other sections around the lists, a comment before the
// first section, sections repeated in another case, a byte-order mark, lines that open with "[" or hold it
// as a GBK trail byte.
const std::string kOrgMapFiles[] = {
    kNoFile,
    "",
    "[Head]\r\nA=1\r\n[OrgMapping]\r\nClientID0000=X\r\nQRVID0000=Y\r\nClientID0005=Z\r\n[Suppliers]\r\nSID0000=s\r\n"
    "Valid0000=1\r\nName0000=名\r\nTempSQL=('s')\r\n[Tail]\r\nB=2\r\n",
    "[Head]\r\nA=1\r\n[Tail]\r\nB=2\r\n",
    "[Suppliers]\r\nSID0000=s\r\n[Middle]\r\nM=1\r\n[OrgMapping]\r\nClientID0000=X\r\n",
    "; 说明\r\n[OrgMapping]\r\nClientID0000=X\r\n[Suppliers]\r\nOther=1\r\n",
    "[OrgMapping]\r\nClientID0000=A\r\n[Other]\r\nk=v\r\n[orgmapping]\r\nQRVID0000=B\r\n[SUPPLIERS]\r\nSID0000=s\r\n",
    "\xEF\xBB\xBF[OrgMapping]\r\nClientID0000=A\r\n[Tail]\r\nB=2\r\n",
    "[Other]\r\n\xB5\x5B=1\r\n[unclosed\r\n[Suppliers]\r\nSID0000=s\r\n[orgMapping]\r\nClientID0000=X\r\n",
};

TEST(ListRewrite, OrgMapSectionsGiveTheKeyByKeyBytes)
{
    const std::string longCode(300, 'L');
    const std::vector<settings::OrgMapping> oddMappings = {
        { "C001", "Q100" },
        { "北京分公司", "网商一" },
        { "", "empty client" },
        { "a=b", "c;d" },
        { "  lead", "in side" },
        { ";semi", "=eq" },
        { "\xA1\xA1全角空格", "x" },
        { "\xB5\x5C\xCA\x5F", longCode },
    };
    const std::vector<settings::Supplier> oddSuppliers = {
        { "S01", "北方食品有限公司", true },
        { "S'02", "", false },
        { "", "no code", true },
        { " S03", "name=with;odd", true },
        { "S04", "  ", false },
        { "供05", "\xB5\x5C", true },
    };
    const struct {
        std::vector<settings::OrgMapping> mappings;
        std::vector<settings::Supplier> suppliers;
    } lists[] = { { oddMappings, oddSuppliers }, { {}, {} } };

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

// Task files in the profile functions' form: the keys written in place, added to their section, or with
// a section that has gone.
const std::string kTaskFiles[] = {
    kNoFile,
    "[日报]\r\nFileName=d.txt\r\nSQL=select 1\r\nChecked=0\r\nLastExportTime=2001-01-01 00:00:00\r\n[Weekly]\r\n"
    "FileName=w.txt\r\n",
    // "[日报]" in UTF-8.
    "\xEF\xBB\xBF[\xE6\x97\xA5\xE6\x8A\xA5]\r\nChecked=0\r\nLastExportTime=2001-01-01 00:00:00\r\n",
    "\xFF\xFE[\0D\0]\0\r\0\n\0C\0h\0e\0c\0k\0e\0d\0=\0\x30\0\r\0\n\0"s,
    "[Other]\r\nk=v\r\n",
    // "\x81\x41" and "\x81\x61" are two characters whose trail bytes are "A" and "a".
    "[\x81\x41]\r\nChecked=0\r\n[\x81\x61\x81\x41]\r\nChecked=0\r\n",
};

TEST(ListRewrite, TaskKeysGiveTheOneByOneBytes)
{
    const std::vector<settings::TaskKey> keySets[] = {
        {},
        { { "日报", settings::kChecked, "0" }, { "日报", settings::kLastExportTime, "2001-01-01 00:00:00" } },
        { { "日报", settings::kChecked, "1" },
          { "日报", settings::kLastExportTime, "2024-05-06 07:08:09" },
          { "weekly", settings::kChecked, "0" },
          { "Weekly", settings::kLastExportTime, " 2024-01-01 00:00:00" },
          { "Gone", settings::kChecked, "1" },
          { "Gone", settings::kLastExportTime, "a=b;c" },
          { "D", settings::kLastExportTime, "" },
          { "日报", settings::kChecked, "0" } },
        { { "日报", settings::kLastExportTime, "\xA1\xA1二〇二四年" }, { "日报", settings::kChecked, "0" } },
        { { "\x81\x61", settings::kChecked, "1" }, { "\x81\x41\x81\x61", settings::kChecked, "1" } },
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

// Files as operators make them in Notepad: a comment at the top, blank lines between sections, comments
// among the keys, indentation and blanks around "=", other line ends. A rewrite changes the lines of its
// keys and leaves every other byte as it was.
struct OperatorFile {
    std::string initial;
    std::function<void()> write;
    std::string expected;
};

template <size_t N>
void CheckOperatorFiles(const char* fileName, const OperatorFile (&cases)[N])
{
    for (const OperatorFile& c : cases) {
        TRACE_CASE(cases, c);
        test::TempDir dir("op");
        test::CurrentDir cwd(dir.Path());
        if (c.initial != kNoFile) {
            ASSERT_TRUE(test::WriteFile(dir / fileName, c.initial));
        }
        c.write();
        const std::string got = test::Exists(dir / fileName) ? test::ReadFile(dir / fileName) : kNoFile;
        EXPECT_EQ(c.expected, got) << "starting from\n" << c.initial;
    }
}

// ASCII text as UTF-16LE after its byte-order mark.
std::string Utf16(const std::string& ascii)
{
    std::string bytes = "\xFF\xFE";
    for (char c : ascii) {
        bytes += c;
        bytes += '\0';
    }
    return bytes;
}

const std::string kNotepadOrgMapHead = "; 客户代码和网商代码的对应，供商表\r\n"
                                       "\r\n"
                                       "[OrgMapping]\r\n"
                                       "; 北京\r\n";
const std::string kNotepadOrgMapping = "ClientID0000=C001\r\n"
                                       "QRVID0000=Q100\r\n"
                                       "; 上海\r\n"
                                       "ClientID0001 = C002\r\n"
                                       "QRVID0001 = Q200\r\n";
const std::string kNotepadSuppliersHead = "\r\n"
                                          "[Suppliers]\r\n";
const std::string kNotepadSuppliers = "    SID0000 = S01\r\n"
                                      "    Valid0000 = 1\r\n"
                                      "    Name0000 = 北方食品有限公司\r\n"
                                      "    TempSQL = ('S01')\r\n";
const std::string kNotepadTail = "; 以上由设置页写入\r\n"
                                 "\r\n"
                                 "[数据库]\r\n"
                                 "DSN = dist   \r\n";
const std::string kNotepadOrgMap = kNotepadOrgMapHead + kNotepadOrgMapping + kNotepadSuppliersHead + kNotepadSuppliers +
                                   kNotepadTail;

TEST(ListRewrite, OperatorsOrgMapKeepsItsBytes)
{
    const auto mappings = [](std::vector<settings::OrgMapping> rows) { return [rows] { settings::WriteOrgMappings(rows); }; };
    const OperatorFile cases[] = {
        { kNotepadOrgMap, mappings({ { "C001", "Q100" } }),
          kNotepadOrgMapHead + "ClientID0000=C001\r\nQRVID0000=Q100\r\n" + kNotepadSuppliersHead + kNotepadSuppliers +
              kNotepadTail },
        { kNotepadOrgMap,
          [] { settings::WriteSuppliers({ { "S01", "北方食品有限公司", true }, { "S02", "南方日用品公司", false } }); },
          kNotepadOrgMapHead + kNotepadOrgMapping + kNotepadSuppliersHead +
              "SID0000=S01\r\nValid0000=1\r\nName0000=北方食品有限公司\r\nSID0001=S02\r\nValid0001=0\r\n"
              "Name0001=南方日用品公司\r\nTempSQL=('S01')\r\n" +
              kNotepadTail },
        // An empty list leaves the heading and the comments around the keys.
        { kNotepadOrgMap, mappings({}), kNotepadOrgMapHead + kNotepadSuppliersHead + kNotepadSuppliers + kNotepadTail },
        // A section without keys gets them after its last line that is not blank.
        { "[OrgMapping]\r\n; 还没有对应\r\n\r\n[Suppliers]\r\n", mappings({ { "A", "P" } }),
          "[OrgMapping]\r\n; 还没有对应\r\nClientID0000=A\r\nQRVID0000=P\r\n\r\n[Suppliers]\r\n" },
        // A missing section goes to the end; new lines end as the file's lines do.
        { "[数据库]\nDSN = dist", mappings({ { "A", "P" } }), "[数据库]\nDSN = dist\n[OrgMapping]\nClientID0000=A\nQRVID0000=P\n" },
        { kNoFile, mappings({ { "A ", "P  " } }), "[OrgMapping]\r\nClientID0000=A \r\nQRVID0000=P  \r\n" },
        { Utf16("; c\r\n\r\n[OrgMapping]\r\nClientID0000=X\r\n\r\n[Tail]\r\n"), mappings({ { "A", "P" } }),
          Utf16("; c\r\n\r\n[OrgMapping]\r\nClientID0000=A\r\nQRVID0000=P\r\n\r\n[Tail]\r\n") },
    };
    CheckOperatorFiles(settings::kOrgMapFile, cases);
}

const std::string kNotepadTasks = "; 导出任务\r\n"
                                  "\r\n"
                                  "[销售订单]\r\n"
                                  "  FileName = ORD_C001.txt\r\n"
                                  "  SQL = select * from orders\r\n"
                                  "  Checked = 0\r\n"
                                  "  LastExportTime = 2026-12-01 00:00:00\r\n"
                                  "\r\n"
                                  "[库存]\r\n"
                                  "FileName=STK.txt\r\n"
                                  "\r\n";

TEST(ListRewrite, OperatorsTaskDefineKeepsItsBytes)
{
    const auto keys = [](std::vector<settings::TaskKey> set) { return [set] { EXPECT_TRUE(settings::WriteTaskStrings(set)); }; };
    const OperatorFile cases[] = {
        { kNotepadTasks,
          keys({ { "销售订单", settings::kChecked, "1" },
                 { "销售订单", settings::kLastExportTime, "2026-12-08 10:00:00" },
                 { "库存", settings::kChecked, "1" } }),
          "; 导出任务\r\n\r\n[销售订单]\r\n  FileName = ORD_C001.txt\r\n  SQL = select * from orders\r\nChecked=1\r\n"
          "LastExportTime=2026-12-08 10:00:00\r\n\r\n[库存]\r\nFileName=STK.txt\r\nChecked=1\r\n\r\n" },
        // Values that are already so keep their lines.
        { kNotepadTasks,
          keys({ { "销售订单", settings::kChecked, "0" }, { "销售订单", settings::kLastExportTime, "2026-12-01 00:00:00" } }),
          kNotepadTasks },
        { kNotepadTasks, keys({ { "新任务", settings::kChecked, "1" } }), kNotepadTasks + "[新任务]\r\nChecked=1\r\n" },
    };
    CheckOperatorFiles(settings::kTaskDefineFile, cases);
}

// A rewrite that a full disk cuts short leaves the operator's file as it was, and nothing beside it.
TEST(ListRewrite, AFullDiskLeavesTheFileAsItWas)
{
    const test::SmallDisk disk(64 * 1024);
    if (disk.Folder().empty())
        GTEST_SKIP() << "no disk of its own can be mounted here";
    const test::CurrentDir cwd(disk.Folder());
    const std::string path = disk.Folder() + "\\" + settings::kOrgMapFile;
    ASSERT_TRUE(test::WriteFile(path, kNotepadOrgMap));
    settings::WriteOrgMappings(std::vector<settings::OrgMapping>(5000, { "C0001", "Q0001" }));
    EXPECT_EQ(kNotepadOrgMap, test::ReadFile(path));
    EXPECT_EQ(std::vector<std::string>{ settings::kOrgMapFile }, test::ListDir(disk.Folder()));
}

} // namespace

namespace {

// The lists as the profile functions give them, one call per key (the readers' former way).
std::string ProfileRead(const std::string& path, const char* section, const std::string& key, DWORD size)
{
    std::vector<char> buffer(size, '\0');
    ::GetPrivateProfileStringA(section, key.c_str(), nullptr, buffer.data(), size, path.c_str());
    return buffer.data();
}

std::string ListsKeyByKey(const std::string& path)
{
    std::string text;
    for (int i = 0;; ++i) {
        const std::string client = ProfileRead(path, "OrgMapping", NumberedKey("ClientID%04d", i), 128);
        if (client.empty())
            break;
        text += client + "=" + ProfileRead(path, "OrgMapping", NumberedKey("QRVID%04d", i), 128) + ";";
    }
    for (int i = 0;; ++i) {
        const std::string code = ProfileRead(path, "Suppliers", NumberedKey("SID%04d", i), 256);
        if (code.empty())
            break;
        const bool valid = ::GetPrivateProfileIntA("Suppliers", NumberedKey("Valid%04d", i).c_str(), 0, path.c_str()) != 0;
        text += code + (valid ? "+" : "-") + ProfileRead(path, "Suppliers", NumberedKey("Name%04d", i), 256) + ";";
    }
    return text;
}

std::string ListsInOnePass()
{
    std::string text;
    for (const settings::OrgMapping& row : settings::ReadOrgMappingRows())
        text += row.clientCode + "=" + row.platformCode + ";";
    for (const settings::Supplier& supplier : settings::ReadSuppliers())
        text += supplier.code + (supplier.valid ? "+" : "-") + supplier.name + ";";
    return text;
}

} // namespace

TEST(ListRead, OnePassGivesWhatTheProfileFunctionsGive)
{
    std::vector<std::string> files(std::begin(kOrgMapFiles) + 1, std::end(kOrgMapFiles));
    files.push_back(kNotepadOrgMap);
    const std::string odd[] = {
        "[OrgMapping]\r\nClientID0000=\"C1\"\r\nQRVID0000='Q1'\r\nClientID0001=\"x\r\nQRVID0001=\"\"\r\n"
        "ClientID0002='y\"\r\nQRVID0002= \" spaced \" \r\n",
        "  [ orgMAPPING ]  \r\n  clientid0000  =  A b  \r\nQRVID0000\r\nqrvid0000=late\r\nClientID0001=B\r\nQRVID0001=P=Q\r\n",
        "ClientID0000=before any section\r\n[OrgMapping]\r\n;ClientID0000=comment\r\nClientID0000=A\r\nQRVID0000=P\r\n",
        "[OrgMapping]\r\nClientID0000=A\r\n[OrgMapping]\r\nQRVID0000=second section\r\n",
        "[Suppliers]\r\nSID0000=a\r\nValid0000=-1\r\nSID0001=b\r\nValid0001=+2\r\nSID0002=c\r\nValid0002=007x\r\n"
        "SID0003=d\r\nValid0003=\"1\"\r\nSID0004=e\r\nValid0004=0\r\nSID0005=f\r\nValid0005=\r\nName0005='名 称'\r\n",
        "[Suppliers]\r\nSID0000=a\r\nSID0001=b\r\nSID0000=late\r\nName0001=n\r\nValid0001= 1\r\n",
        Utf16("[OrgMapping]\r\nClientID0000=A\r\nQRVID0000=P\r\n[Suppliers]\r\nSID0000=s\r\nValid0000=1\r\n"),
        "[Other]\r\n\xB5\x5B=1\r\n[unclosed\r\n\t [Suppliers] \r\nSID0000=s\r\n  [orgMapping]\r\nClientID0000=X\r\n",
        Utf16("[Other]\r\nk=v\r\n\t[Suppliers]\r\nSID0000=s\r\n [OrgMapping]\r\nClientID0000=A\r\nQRVID0000=P\r\n"),
        "\xEF\xBB\xBF[OrgMapping]\r\nClientID0000=\xE5\x8C\x97\xE4\xBA\xAC\r\nQRVID0000=P\r\n",
    };
    files.insert(files.end(), std::begin(odd), std::end(odd));
    for (const std::string& file : files) {
        test::TempDir dir("read");
        test::CurrentDir cwd(dir.Path());
        ASSERT_TRUE(test::WriteFile(dir / settings::kOrgMapFile, file));
        EXPECT_EQ(ListsKeyByKey(dir / settings::kOrgMapFile), ListsInOnePass()) << file;
    }
}

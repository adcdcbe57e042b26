#include "Generate.h"

#include "Model.h"
#include "Names.h"
#include "Random.h"
#include "Record.h"
#include "Text.h"

#include <algorithm>

namespace hostile {

const char* RunName(Run run)
{
    return run == Run::kExport ? "AutoExport" : "AutoImport";
}

namespace {

// Choices with weights, in percent or any other unit.
template <class T>
T Weighted(CRandom& random, const std::vector<std::pair<unsigned, T>>& choices)
{
    unsigned total = 0;
    for (const auto& choice : choices)
        total += choice.first;
    size_t roll = random.Below(total);
    for (const auto& choice : choices) {
        if (roll < choice.first)
            return choice.second;
        roll -= choice.first;
    }
    return choices.back().second;
}

class CGenerator {
public:
    CGenerator(uint64_t seed, const std::wstring& root, wchar_t driveLetter);
    Workspace Make();

private:
    void Mapping();
    void UserOrgID();
    void Folders();
    void Spellings();
    void Presences();
    void Files();
    void Settings();
    void Records();
    void Runs();
    void Events();
    void HandOvers();

    std::string Bytes();
    void AddFolder(const std::wstring& path);
    // A file with random attributes, or none when plain.
    void AddFile(const std::wstring& path, const std::string& bytes, bool plain = false);
    void AddBlocker(const std::wstring& path);
    bool IsFolder(const std::wstring& path) const;
    FileSpec* FileAt(const std::wstring& path);
    // Folders that must exist because a folder or file of the workspace lies below them.
    bool IsNeeded(const std::wstring& folder) const;
    void Spell(FolderSetting& setting);
    std::vector<std::wstring> FilesIn(const std::wstring& folder) const;
    size_t SpelledLength(const FolderSetting& setting, const std::wstring& below) const;

    CRandom m_random;
    Workspace m_ws;
    std::vector<std::string> m_clientCodes;
    std::vector<std::string> m_platformCodes;
    unsigned m_nFiles = 0;
};

CGenerator::CGenerator(uint64_t seed, const std::wstring& root, wchar_t driveLetter) : m_random(seed)
{
    m_ws.seed = seed;
    m_ws.root = root;
    m_ws.driveLetter = driveLetter;
}

Workspace CGenerator::Make()
{
    Mapping();
    UserOrgID();
    Folders();
    Spellings();
    Files();
    Presences();
    Settings();
    Records();
    Runs();
    Events();
    HandOvers();
    Unattended(m_ws);
    std::sort(m_ws.folders.begin(), m_ws.folders.end(),
              [](const std::wstring& a, const std::wstring& b) { return a.size() < b.size(); });
    return m_ws;
}

void CGenerator::Mapping()
{
    CNames names(m_random, {});
    const std::vector<std::string> platforms = { "Q100", "Q200", "q300", "平台甲", "P" + names.TrailByteCharacter(),
                                                 "..\\x", "C:\\x", ".", "nul", "Q4/5", "QQQQQQQQQQQQQQQQ", "Backup" };
    const std::vector<std::string> clients = { "C001", "C002", "c003", "客户", "C" + names.TrailByteCharacter(), "C_1",
                                               "CCCCCCCCCCCCCCCCCCCCCCCC", "C 4" };
    const size_t pairs = m_random.Between(0, 5);
    int number = 0;
    for (size_t i = 0; i < pairs; ++i) {
        // Mostly sound pairs; now and then a code that cannot be used.
        const std::string client = m_random.Percent(80) ? clients[m_random.Below(4)] : m_random.Pick(clients);
        const std::string platform = m_random.Percent(80) ? platforms[m_random.Below(5)] : m_random.Pick(platforms);
        if (m_random.Percent(5))
            ++number; // a gap: reading stops there
        m_ws.mapping.push_back({ MappingKey("ClientID", number), client });
        m_ws.mapping.push_back({ MappingKey("QRVID", number), m_random.Percent(4) ? std::string() : platform });
        if (m_random.Percent(5))
            m_ws.mapping.push_back({ MappingKey("ClientID", number), m_random.Pick(clients) }); // a repeated key: the first one counts
        m_clientCodes.push_back(client);
        m_platformCodes.push_back(platform);
        ++number;
    }
    m_ws.lfLineEnds = m_random.Percent(20);
}

void CGenerator::UserOrgID()
{
    CNames names(m_random, {});
    m_ws.userOrgID = Weighted<std::string>(m_random, { { 70, "U9" },
                                                       { 5, m_platformCodes.empty() ? "U9" : m_random.Pick(m_platformCodes) },
                                                       { 6, "" },
                                                       { 4, "UUUUUUUUUUUUUUUUU" },
                                                       { 2, "用户机构代码九个字啊" },
                                                       { 2, "..\\send" },
                                                       { 2, "." },
                                                       { 2, "a\\b" },
                                                       { 3, "用户" + names.TrailByteCharacter() },
                                                       { 2, "Backup" } });
    m_ws.userOrgIDSet = !m_random.Percent(3);
    if (!m_ws.userOrgIDSet)
        m_ws.userOrgID.clear();
}

void CGenerator::Folders()
{
    const CModel model(m_ws);
    m_ws.data.real = Weighted<std::wstring>(m_random, { { 80, L"data" }, { 8, L"数据" }, { 6, L"send\\data" }, { 6, L"recv\\data" } });
    // An unusable user organisation ID names no folder; the folders are laid out as for another one.
    const std::wstring delivery = model.IsUserOrgIDUsable() ? model.Delivery() : JoinPath(m_ws.data.real, L"U9");
    std::vector<std::string> usable = { "Q100" };
    for (const std::string& code : m_platformCodes) {
        if (CModel::IsFolderName(code))
            usable.push_back(code);
    }
    const std::wstring platformFolder = JoinPath(m_ws.data.real, FromGbk(m_random.Pick(usable)));
    m_ws.send.real = Weighted<std::wstring>(m_random, { { 75, L"send" },
                                                        { 5, platformFolder },
                                                        { 4, delivery },
                                                        { 2, JoinPath(delivery, L"Backup") },
                                                        { 4, m_ws.data.real },
                                                        { 3, JoinPath(m_ws.data.real, L"other") },
                                                        { 3, JoinPath(platformFolder, L"sub") },
                                                        { 4, L"recv" } });
    // A data-file location inside the send directory needs that one to be "send".
    if (m_ws.data.real == L"send\\data" && !IsSameOrBelow(m_ws.send.real, m_ws.data.real))
        m_ws.send.real = L"send";
    m_ws.recv.real = Weighted<std::wstring>(m_random, { { 75, L"recv" },
                                                        { 4, delivery },
                                                        { 4, JoinPath(delivery, L"Backup") },
                                                        { 4, platformFolder },
                                                        { 3, m_ws.send.real },
                                                        { 3, m_ws.data.real },
                                                        { 3, L"send\\in" },
                                                        { 4, JoinPath(m_ws.data.real, L"in") } });
    m_ws.work = m_random.Percent(10) ? m_ws.send.real : L"work";
    for (const std::wstring& folder : { m_ws.work, m_ws.data.real, m_ws.send.real, m_ws.recv.real })
        AddFolder(folder);
    for (const std::string& code : m_platformCodes) {
        if (CModel::IsFolderName(code) && m_random.Percent(50))
            AddFolder(JoinPath(m_ws.data.real, FromGbk(code)));
    }
    if (model.IsUserOrgIDUsable() && !m_random.Percent(10))
        AddFolder(delivery);
    if (model.IsUserOrgIDUsable() && IsFolder(delivery) && m_random.Percent(45))
        AddFolder(model.Backup());
}

void CGenerator::Spellings()
{
    for (FolderSetting* setting : { &m_ws.send, &m_ws.data, &m_ws.recv })
        Spell(*setting);
}

void CGenerator::Spell(FolderSetting& setting)
{
    setting.unset = m_random.Percent(2);
    setting.spelling = Weighted<Spelling>(m_random, { { 55, Spelling::kPlain },
                                                      { 5, Spelling::kTrailingSeparator },
                                                      { 6, Spelling::kOtherCase },
                                                      { 7, Spelling::kLongPrefix },
                                                      { 6, Spelling::kDevicePrefix },
                                                      { 8, Spelling::kDriveLetter },
                                                      { 8, Spelling::kJunction },
                                                      { 5, Spelling::kDotted } });
    // A second name stands for the folder itself or one above it.
    std::vector<std::wstring> above = { L"", setting.real };
    for (std::wstring parent = ParentOf(setting.real); !parent.empty(); parent = ParentOf(parent))
        above.push_back(parent);
    if (setting.spelling == Spelling::kDriveLetter) {
        if (!m_ws.hasDrive)
            m_ws.driveTarget = m_random.Pick(above);
        m_ws.hasDrive = true;
        if (!IsSameOrBelow(setting.real, m_ws.driveTarget))
            setting.spelling = Spelling::kPlain;
        AddFolder(m_ws.driveTarget);
    } else if (setting.spelling == Spelling::kJunction) {
        const std::wstring target = m_random.Pick(above);
        m_ws.links.push_back({ L"alias" + std::to_wstring(m_ws.links.size()), target });
        AddFolder(target);
    }
}

void CGenerator::Presences()
{
    for (FolderSetting* setting : { &m_ws.data, &m_ws.send, &m_ws.recv }) {
        if (setting->real.empty() || setting->real == m_ws.work || IsNeeded(setting->real))
            continue;
        setting->presence = Weighted<Presence>(m_random, { { 88, Presence::kFolder }, { 7, Presence::kMissing }, { 5, Presence::kFile } });
        if (setting->presence == Presence::kFolder)
            continue;
        m_ws.folders.erase(std::remove_if(m_ws.folders.begin(), m_ws.folders.end(),
                                          [&](const std::wstring& f) { return SameName(f, setting->real); }),
                           m_ws.folders.end());
        if (setting->presence == Presence::kFile)
            AddFile(setting->real, Bytes());
    }
}

bool CGenerator::IsNeeded(const std::wstring& folder) const
{
    for (const std::wstring& other : m_ws.folders) {
        if (!SameName(other, folder) && IsSameOrBelow(other, folder))
            return true;
    }
    for (const FileSpec& file : m_ws.files) {
        if (IsSameOrBelow(file.path, folder))
            return true;
    }
    for (const Alias& link : m_ws.links) {
        if (IsSameOrBelow(link.target, folder))
            return true;
    }
    return m_ws.hasDrive && IsSameOrBelow(m_ws.driveTarget, folder);
}

std::string CGenerator::Bytes()
{
    const size_t size = Weighted<size_t>(m_random, { { 8, 0 },
                                                     { 35, m_random.Between(1, 16) },
                                                     { 35, m_random.Between(17, 4096) },
                                                     { 17, m_random.Between(4097, 256 * 1024) },
                                                     { 5, m_random.Between(256 * 1024, 3 * 1024 * 1024) } });
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; i += 8) {
        const uint64_t word = m_random.Next();
        for (size_t j = 0; j < 8 && i + j < size; ++j)
            bytes[i + j] = static_cast<char>(word >> (8 * j));
    }
    // Bytes of their own: the laws tell files apart by what they hold.
    const std::string tag = "#" + std::to_string(m_ws.seed) + "." + std::to_string(++m_nFiles) + "#";
    if (size >= tag.size())
        bytes.replace(0, tag.size(), tag);
    return bytes;
}

void CGenerator::AddFolder(const std::wstring& path)
{
    for (std::wstring folder = path; !folder.empty(); folder = ParentOf(folder)) {
        if (!IsFolder(folder))
            m_ws.folders.push_back(folder);
    }
}

bool CGenerator::IsFolder(const std::wstring& path) const
{
    if (path.empty())
        return true;
    for (const std::wstring& folder : m_ws.folders) {
        if (SameName(folder, path))
            return true;
    }
    return false;
}

FileSpec* CGenerator::FileAt(const std::wstring& path)
{
    for (FileSpec& file : m_ws.files) {
        if (SameName(file.path, path))
            return &file;
    }
    return nullptr;
}

void CGenerator::AddFile(const std::wstring& path, const std::string& bytes, bool plain)
{
    if (!IsFolder(ParentOf(path)) || IsFolder(path) || (FileAt(path) != nullptr && FileAt(path)->path == path))
        return;
    FileSpec file;
    file.path = path;
    file.bytes = bytes;
    file.attributes = Weighted<DWORD>(m_random, { { 85, 0 },
                                                  { 8, FILE_ATTRIBUTE_READONLY },
                                                  { 4, FILE_ATTRIBUTE_HIDDEN },
                                                  { 3, FILE_ATTRIBUTE_SYSTEM } });
    if (plain)
        file.attributes = 0;
    m_ws.files.push_back(file);
}

void CGenerator::AddBlocker(const std::wstring& path)
{
    if (IsFolder(ParentOf(path)) && FileAt(path) == nullptr && !IsFolder(path))
        m_ws.folders.push_back(path);
}

std::vector<std::wstring> CGenerator::FilesIn(const std::wstring& folder) const
{
    std::vector<std::wstring> paths;
    for (const FileSpec& file : m_ws.files) {
        if (SameName(ParentOf(file.path), folder))
            paths.push_back(file.path);
    }
    return paths;
}

size_t CGenerator::SpelledLength(const FolderSetting& setting, const std::wstring& below) const
{
    return FromGbk(CModel(m_ws).Spell(setting)).size() + (below.empty() ? 0 : below.size() + 1);
}

void CGenerator::Files()
{
    const CModel model(m_ws);
    CNames names(m_random, m_clientCodes);
    const std::wstring delivery = model.Delivery();
    const size_t sendFiles = IsFolder(m_ws.send.real) ? Weighted<size_t>(m_random, { { 10, 0 }, { 70, m_random.Between(1, 5) }, { 20, m_random.Between(6, 10) } }) : 0;
    const std::wstring platform = m_platformCodes.empty() || !CModel::IsFolderName(m_platformCodes[0]) ? L"Q100" : FromGbk(m_platformCodes[0]);
    for (size_t i = 0; i < sendFiles; ++i)
        AddFile(JoinPath(m_ws.send.real, names.Make(SpelledLength(m_ws.data, platform))), Bytes());
    const size_t deliveries = IsFolder(delivery) ? Weighted<size_t>(m_random, { { 15, 0 }, { 70, m_random.Between(1, 5) }, { 15, m_random.Between(6, 10) } }) : 0;
    for (size_t i = 0; i < deliveries; ++i)
        AddFile(JoinPath(delivery, names.Make(SpelledLength(m_ws.recv, L""))), Bytes());
    // Names already taken where files go: the target, Backup and its numbered copies.
    for (const std::wstring& path : FilesIn(m_ws.send.real)) {
        std::string name, code;
        if (!CModel::IsTransferable(NameOf(path), &name) || !CModel::ClientCodeOf(name, &code) || model.Lookup(code).empty())
            continue;
        const std::wstring target = JoinPath(JoinPath(m_ws.data.real, FromGbk(model.Lookup(code))), NameOf(path));
        if (m_random.Percent(15))
            AddFile(target, Bytes());
        else if (m_random.Percent(3))
            AddBlocker(target);
    }
    for (const std::wstring& path : FilesIn(delivery)) {
        const std::wstring name = NameOf(path);
        if (m_random.Percent(15))
            AddFile(JoinPath(m_ws.recv.real, name), m_random.Percent(30) ? FileAt(path)->bytes : Bytes());
        if (m_random.Percent(3))
            AddBlocker(JoinPath(m_ws.recv.real, name));
        if (m_random.Percent(15))
            AddFile(JoinPath(model.Backup(), name), Bytes());
        if (m_random.Percent(10))
            AddFile(JoinPath(model.Backup(), name + L"." + std::to_wstring(m_random.Between(1, 3))), Bytes());
        if (m_random.Percent(3))
            AddBlocker(JoinPath(model.Backup(), name));
    }
    // A folder named like a file where a run lists, a file named Backup, temporary copies.
    if (m_random.Percent(5))
        AddBlocker(JoinPath(m_ws.send.real, names.WithCode(m_clientCodes.empty() ? "C001" : m_clientCodes[0])));
    if (!IsFolder(model.Backup()) && m_random.Percent(12))
        AddFile(model.Backup(), Bytes());
    for (const std::wstring& folder : { m_ws.send.real, m_ws.recv.real, JoinPath(m_ws.data.real, platform), delivery }) {
        if (m_random.Percent(5))
            AddFile(JoinPath(folder, CNames::Temporary(m_random.Percent(50))), Bytes());
    }
}

void CGenerator::Settings()
{
    m_ws.isDeleted = Weighted<DwordSetting>(m_random, { { 45, { Stored::kDword, 1 } },
                                                        { 35, { Stored::kDword, 0 } },
                                                        { 10, { Stored::kAbsent, 0 } },
                                                        { 10, { Stored::kString, 1 } } });
    m_ws.recordTransfers = Weighted<DwordSetting>(m_random, { { 60, { Stored::kAbsent, 0 } },
                                                              { 20, { Stored::kDword, 1 } },
                                                              { 15, { Stored::kDword, 0 } },
                                                              { 5, { Stored::kString, 0 } } });
}

// Records from earlier runs: a short one, or one big enough to be rotated with its older files beside it.
void CGenerator::Records()
{
    const std::string header = "时间,运行编号,运行,源文件,目标文件,大小（字节）,结果,说明,系统错误,提示框\r\n";
    const std::string line = "2026-12-01 08:00:00,7,导出（自动）,D:\\Dist\\Send\\ORD_C001_1.txt,D:\\QRVHUB\\Data\\Q100\\ORD_C001_1.txt,12,已传送,已复制，已删除源文件,,\r\n";
    const size_t kind = m_random.Below(100);
    if (kind < 15) {
        AddFile(RecordPath(m_ws), header + line + line, true);
    } else if (kind < 17) {
        std::string big = header;
        while (big.size() < (4u << 20))
            big += line;
        AddFile(RecordPath(m_ws), big, true);
        for (int n = 1; n <= 3; ++n) {
            if (n < 3 || m_random.Percent(50))
                AddFile(OlderPath(m_ws, n), header + std::to_string(n) + line, true);
        }
    }
}

void CGenerator::Runs()
{
    m_ws.runs = Weighted<std::vector<Run>>(m_random, { { 70, { Run::kExport, Run::kImport } },
                                                       { 5, { Run::kImport, Run::kExport } },
                                                       { 13, { Run::kExport, Run::kImport, Run::kImport } },
                                                       { 5, { Run::kExport, Run::kExport, Run::kImport } },
                                                       { 4, { Run::kImport } },
                                                       { 3, { Run::kExport } } });
}

void CGenerator::Events()
{
    const CModel model(m_ws);
    // The receiving side works on what an import gave it before the next import.
    bool imported = false;
    for (size_t run = 0; run < m_ws.runs.size(); ++run) {
        const bool import = m_ws.runs[run] == Run::kImport;
        if (import && imported && m_random.Percent(70)) {
            for (const std::wstring& path : FilesIn(model.Delivery())) {
                Event event;
                event.kind = Event::kWrite;
                event.run = run;
                event.path = JoinPath(m_ws.recv.real, NameOf(path));
                event.bytes = Bytes();
                m_ws.events.push_back(event);
                break;
            }
        }
        imported = imported || import;
    }
    if (!m_random.Percent(35))
        return;
    Event event;
    event.run = m_random.Below(m_ws.runs.size());
    std::vector<std::wstring> candidates = FilesIn(model.Walked(m_ws.runs[event.run]));
    // A run makes a few file calls for each file it lists.
    event.call = static_cast<unsigned>(m_random.Between(1, 5 * candidates.size() + 5));
    event.kind = Weighted<Event::Kind>(m_random, { { 30, Event::kWrite }, { 20, Event::kRename }, { 20, Event::kDelete }, { 30, Event::kHold } });
    if (event.kind == Event::kHold && m_random.Percent(25)) {
        // Someone opened the record (as Excel does), before the run and for all of it.
        candidates = { RecordPath(m_ws) };
        event.call = 0;
    }
    if (candidates.empty())
        return;
    event.path = m_random.Pick(candidates);
    event.to = JoinPath(ParentOf(event.path), CNames(m_random, m_clientCodes).Make(0));
    event.bytes = Bytes();
    event.holdCalls = event.call == 0 ? 0 : static_cast<unsigned>(m_random.Between(0, 20));
    m_ws.events.push_back(event);
}

// What bears on a hand-over: a second importer at once, a receiving side that consumes, unchanged
// re-deliveries, a receive directory given as a link to Backup before any run made it.
void CGenerator::HandOvers()
{
    std::vector<size_t> imports;
    for (size_t run = 0; run < m_ws.runs.size(); ++run) {
        if (m_ws.runs[run] == Run::kImport)
            imports.push_back(run);
    }
    if (!imports.empty() && m_random.Percent(15))
        m_ws.alongside = m_random.Pick(imports);
    // Only a receive directory of its own is emptied.
    const bool apart = m_ws.recv.real == L"recv" && m_ws.send.real != L"recv" && m_ws.work != L"recv";
    for (size_t i = 1; i < imports.size(); ++i) {
        if (apart && m_random.Percent(40))
            m_ws.between.push_back({ Between::kConsume, imports[i] });
        if (m_random.Percent(40))
            m_ws.between.push_back({ Between::kRedeliver, imports[i] });
    }
    const CModel model(m_ws);
    if (m_ws.recv.real == L"recv" && model.IsUserOrgIDUsable() && IsFolder(model.Delivery()) && !IsFolder(model.Backup())
        && FileAt(model.Backup()) == nullptr && !m_ws.recv.unset && m_random.Percent(4)) {
        m_ws.recv.real = model.Backup();
        m_ws.recv.spelling = Spelling::kJunction;
        // First, so that the setting is spelled through it.
        m_ws.links.insert(m_ws.links.begin(), { L"alias" + std::to_wstring(m_ws.links.size()), model.Backup(), true });
    }
}

} // namespace

Workspace Generate(uint64_t seed, const std::wstring& root, wchar_t driveLetter)
{
    return CGenerator(seed, root, driveLetter).Make();
}

} // namespace hostile

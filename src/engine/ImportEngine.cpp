#include "engine/ImportEngine.h"

#include "framework/Handle.h"
#include "settings/Settings.h"

#include <algorithm>
#include <vector>

namespace {

// Moves source to target, never replacing a file. True when target's name is taken, so another name
// must be tried; false when the file was moved or cannot be moved at all.
bool MoveMeetsTakenName(const std::string& source, const std::string& target)
{
    if (::MoveFileA(source.c_str(), target.c_str()))
        return false;
    const DWORD error = ::GetLastError();
    return error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS;
}

// n when entry is name + "." + n (n decimal without a leading zero), names compared without regard to
// case as the file system compares them; 0 for any other entry.
unsigned long long CopySuffix(const std::string& entry, const std::string& name)
{
    if (entry.size() < name.size() + 2 || entry.size() > name.size() + 19 || entry[name.size()] != '.')
        return 0;
    if (entry[name.size() + 1] == '0' || ::lstrcmpiA(entry.substr(0, name.size()).c_str(), name.c_str()) != 0)
        return 0;
    unsigned long long number = 0;
    for (size_t i = name.size() + 1; i < entry.size(); ++i) {
        if (entry[i] < '0' || entry[i] > '9')
            return 0;
        number = number * 10 + (entry[i] - '0');
    }
    return number;
}

// The numbers that copies of name already carry beside path (which names name in its folder),
// ascending, from one listing.
std::vector<unsigned long long> UsedSuffixes(const std::string& path, const std::string& name)
{
    std::vector<unsigned long long> used;
    WIN32_FIND_DATAA data;
    CFindHandle find(::FindFirstFileA((path + ".*").c_str(), &data));
    if (!find.IsValid())
        return used;
    do {
        if (const unsigned long long suffix = CopySuffix(data.cFileName, name))
            used.push_back(suffix);
    } while (::FindNextFileA(find, &data));
    std::sort(used.begin(), used.end());
    return used;
}

} // namespace

const char CImportEngine::kBackupFolder[] = "Backup";

ImportInput ReadImportInput(const std::string& userOrgID)
{
    ImportInput input;
    input.strDestPath = settings::GetString(settings::kDestPath);
    input.strExportLocation = settings::GetString(settings::kExportLocation);
    input.strUserOrgID = userOrgID;
    return input;
}

CImportEngine::CImportEngine(IRunView* pOwner, const ImportInput& input, DWORD dwRetryPauseMs)
    : CTransferEngine(pOwner, dwRetryPauseMs), m_input(input)
{
}

int CImportEngine::Run()
{
    if (!IsSet(m_input.strDestPath, "还没有设置源数据文件接收路径，请在“接口参数设置”中设置")
        || !IsSet(m_input.strExportLocation, "还没有设置数据文件存放路径，请在“接口参数设置”中设置"))
        return 0;
    m_strDeliveryFolder = Join(m_input.strExportLocation, m_input.strUserOrgID);
    m_strBackupFolder = Join(m_strDeliveryFolder, kBackupFolder);
    ::CreateDirectoryA(m_strBackupFolder.c_str(), nullptr);
    RemoveTemporaryFiles(m_input.strDestPath);
    WalkFolder(m_strDeliveryFolder);
    return 1;
}

void CImportEngine::OnFile(const WIN32_FIND_DATAA& data)
{
    const std::string name = data.cFileName;
    const std::string source = Join(m_strDeliveryFolder, name);
    m_pOwner->SetStatus(("正在转移文件：" + name).c_str());
    // A file that changed since it was listed stays for the next run, which copies it again.
    if (CopyWithRetry(source, m_input.strDestPath, name) == kCopied && IsUnchanged(source, StampOf(data)))
        MoveToBackup(source, name);
    m_pOwner->SetPos(5);
}

std::string CImportEngine::BackupName(const std::string& name, unsigned long long suffix)
{
    return suffix == 0 ? name : name + "." + std::to_string(suffix);
}

void CImportEngine::MoveToBackup(const std::string& source, const std::string& name)
{
    const std::string backup = Join(m_strBackupFolder, name);
    if (!MoveMeetsTakenName(source, backup))
        return;
    // The first number that the listing finds free; a name taken since (by another run) sends the file
    // on to the next free number.
    const std::vector<unsigned long long> used = UsedSuffixes(backup, name);
    auto next = used.begin();
    for (unsigned long long suffix = 1;; ++suffix) {
        while (next != used.end() && *next < suffix)
            ++next;
        if (next != used.end() && *next == suffix)
            continue;
        if (!MoveMeetsTakenName(source, Join(m_strBackupFolder, BackupName(name, suffix))))
            return;
    }
}

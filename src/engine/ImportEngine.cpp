#include "engine/ImportEngine.h"

#include "settings/Settings.h"

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

std::string CImportEngine::BackupName(const std::string& name, int suffix)
{
    return suffix == 0 ? name : name + "." + std::to_string(suffix);
}

void CImportEngine::MoveToBackup(const std::string& source, const std::string& name)
{
    for (int suffix = 0; suffix <= kMaxBackupSuffix; ++suffix) {
        const std::string target = Join(m_strBackupFolder, BackupName(name, suffix));
        if (::MoveFileA(source.c_str(), target.c_str()))
            return;
        const DWORD error = ::GetLastError();
        if (error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS)
            return;
    }
}

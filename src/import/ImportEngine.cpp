#include "import/ImportEngine.h"

#include "framework/ChildName.h"
#include "plugin/InterfaceApp.h"
#include "settings/Settings.h"

#include <cstring>

const char CImportEngine::kBackupFolder[] = "Backup";

CImportEngine::CImportEngine(IRunView* pOwner, bool bAuto, const CDateTime& startTime, const CDateTime& endTime,
                             DWORD dwRetryPauseMs)
    : CTransferEngine(pOwner, bAuto, dwRetryPauseMs), m_bUserOrgIDTooLong(GetInterfaceApp()->m_bUserOrgIDTooLong),
      m_startTime(startTime), m_endTime(endTime)
{
    static_assert(sizeof(m_szUserOrgID) == sizeof(GetInterfaceApp()->m_szUserOrgID), "same field as the application's");
    std::memcpy(m_szUserOrgID, GetInterfaceApp()->m_szUserOrgID, sizeof(m_szUserOrgID));
}

int CImportEngine::Run()
{
    if (m_bUserOrgIDTooLong) {
        m_pOwner->ShowError("用户机构代码（UserOrgID）超过16个字符的长度限制，不能导入数据。请检查“UserOrgID”的设置");
        return 0;
    }
    // An empty ID makes the data-file location itself the delivery folder; any other ID must name a
    // folder directly below it, or the run would drain and archive some other folder.
    if (m_szUserOrgID[0] != '\0' && !IsChildName(m_szUserOrgID)) {
        m_pOwner->ShowError("用户机构代码（UserOrgID）不是数据文件存放路径下的一个文件夹名，不能导入数据。请检查“UserOrgID”的设置");
        return 0;
    }
    std::string exportLocation;
    if (!ReadRequiredSetting(settings::kDestPath, "还没有设置源数据文件接收路径，请在“接口参数设置”中设置",
                             m_strDestPath)
        || !ReadRequiredSetting(settings::kExportLocation, "还没有设置数据文件存放路径，请在“接口参数设置”中设置",
                                exportLocation))
        return 0;
    m_strDeliveryFolder = Join(exportLocation, m_szUserOrgID);
    m_strBackupFolder = Join(m_strDeliveryFolder, kBackupFolder);
    ::CreateDirectoryA(m_strBackupFolder.c_str(), nullptr);
    RemoveTemporaryFiles(m_strDestPath);
    WalkFolder(m_strDeliveryFolder);
    return 1;
}

void CImportEngine::OnFile(const WIN32_FIND_DATAA& data)
{
    const std::string name = data.cFileName;
    const std::string source = Join(m_strDeliveryFolder, name);
    m_pOwner->SetStatus(("正在转移文件：" + name).c_str());
    // A file that changed since it was listed stays for the next run, which copies it again.
    if (CopyWithRetry(source, m_strDestPath, name) == kCopied && IsUnchanged(source, StampOf(data)))
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

#include "engine/ExportEngine.h"

#include "engine/ClientCode.h"
#include "engine/OrgCodeTable.h"

ExportInput ReadExportInput()
{
    ExportInput input;
    input.strSourcePath = settings::GetString(settings::kSourcePath);
    input.strExportLocation = settings::GetString(settings::kExportLocation);
    input.bDeleteAfterCopy = settings::GetInt(settings::kIsDeleted, 0) != 0;
    input.mappings = settings::ReadOrgMappings();
    return input;
}

CExportEngine::CExportEngine(IRunView* pOwner, const ExportInput& input, DWORD dwPauseMs, DWORD dwRetryPauseMs)
    : CTransferEngine(pOwner, dwRetryPauseMs), m_input(input), m_dwPauseMs(dwPauseMs), m_nProgress(0),
      m_pCodes(nullptr)
{
}

int CExportEngine::Run()
{
    m_pOwner->SetPos(0);
    if (!Transfer())
        return 0;
    m_pOwner->SetPos(100);
    m_pOwner->SetStatus("文件导出完成！");
    return 1;
}

bool CExportEngine::Transfer()
{
    if (!IsSet(m_input.strSourcePath, "还没有设置源数据文件发送路径，请在“接口参数设置”中设置")
        || !IsSet(m_input.strExportLocation, "还没有设置数据文件存放路径，请在“接口参数设置”中设置"))
        return false;
    m_nProgress = 0;
    m_cleanedFolders.clear();
    const COrgCodeTable codes(m_input.mappings);
    m_pCodes = &codes;
    WalkFolder(m_input.strSourcePath);
    m_pCodes = nullptr;
    return true;
}

void CExportEngine::OnFile(const WIN32_FIND_DATAA& data)
{
    const std::string name = data.cFileName;
    m_pOwner->SetStatus(("正在导出文件" + name).c_str());
    std::string clientCode;
    const char* platformCode = ClientCodeOf(name.c_str(), clientCode) ? m_pCodes->Lookup(clientCode.c_str()) : nullptr;
    if (platformCode == nullptr) {
        Step();
        return;
    }
    const std::string folder = Join(m_input.strExportLocation, platformCode);
    const std::string source = Join(m_input.strSourcePath, name);
    ::CreateDirectoryA(folder.c_str(), nullptr);
    if (m_cleanedFolders.insert(folder).second)
        RemoveTemporaryFiles(folder);
    switch (CopyWithRetry(source, folder, name)) {
    case kCopyFailed:
        m_pOwner->ShowError(("文件拷贝出错：" + source + " ==> " + Join(folder, name)).c_str());
        return;
    case kCopied:
        // A file that changed since it was listed may hold data the copy missed: it stays for the next run.
        if (m_input.bDeleteAfterCopy && IsUnchanged(source, StampOf(data)))
            ::DeleteFileA(source.c_str());
        break;
    case kSourceGone:
        break;
    }
    Step();
}

void CExportEngine::OnDirectory()
{
    Step();
}

void CExportEngine::Step()
{
    m_pOwner->SetPos(m_nProgress < 100 ? m_nProgress : 100);
    m_nProgress += 10;
    if (m_dwPauseMs != 0)
        ::Sleep(m_dwPauseMs);
}

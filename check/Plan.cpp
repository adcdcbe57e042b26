#include "Plan.h"

#include "Folder.h"
#include "engine/ClientCode.h"
#include "engine/ImportEngine.h"
#include "engine/OrgCodeTable.h"

#include <windows.h>
#include <algorithm>

namespace check {

namespace {

const char kUnmapped[] = "文件名含有GBK以外的字符（显示为“?”），插件无法按这个名字打开它";

void Stay(CReport& report, const std::string& name, const std::string& why)
{
    report.Add(Level::kProblem, "留下", name + "：" + why);
}

// Folders and temporary copies are passed over by a run; true for those. The folder named quiet, if
// any, is passed over without a word.
bool Skips(CReport& report, const WIN32_FIND_DATAA& entry, const char* quiet = nullptr)
{
    const std::string name = entry.cFileName;
    if (IsFolder(entry)) {
        if (quiet == nullptr || ::lstrcmpiA(name.c_str(), quiet) != 0)
            report.Add(Level::kInfo, "跳过", name + "：是文件夹，插件不进入文件夹");
        return true;
    }
    if (CTransferEngine::IsTemporaryName(name.c_str())) {
        report.Add(Level::kInfo, "跳过", name + "：是中断的复制留下的临时文件，插件不处理");
        return true;
    }
    return false;
}

// False, with a line saying so, when a run finds no entry in folder to work on.
bool CanWalk(CReport& report, const std::string& folder, const char* what, const char* run)
{
    const std::string problem = FolderProblem(folder);
    if (!problem.empty())
        report.Info(std::string(what) + problem + "，" + run + "找不到任何文件");
    else if (ListEntries(folder).empty())
        report.Info(std::string(what) + "是空的，没有要" + run + "的文件");
    return problem.empty();
}

// The temporary files a run removes from folder before it copies into it.
void Cleans(CReport& report, const std::string& folder, const char* run)
{
    for (const std::string& name : TemporaryFiles(folder))
        report.Add(Level::kInfo, "清理", CTransferEngine::Join(folder, name) + "：中断的复制留下的临时文件，" + run + "时删除");
}

// Why copying name over target would fail, or "": the copy is renamed over the target at the end, and
// Windows renames over a file, never over a folder or a read-only file (Wine does the latter).
std::string CopyProblem(const std::string& name, const std::string& target)
{
    if (HasUnmappedCharacters(name))
        return kUnmapped;
    bool readOnly = false;
    const Entry entry = EntryAt(target, &readOnly);
    if (entry == Entry::kFolder)
        return "目标位置是一个文件夹：" + target;
    if (readOnly)
        return "目标文件是只读的：" + target;
    return "";
}

std::string WhyNotMapped(const std::string& code, const std::vector<MappingEntry>& mappings)
{
    for (const MappingEntry& entry : mappings) {
        if (entry.clientCode == code && !entry.skipReason.empty())
            return "客户代码" + Quote(code) + "的对应" + entry.key + "被跳过：" + entry.skipReason;
    }
    return "客户代码" + Quote(code) + "在代码对应中没有";
}

// The first archive name that is free on disk and not taken earlier in this plan.
std::string FreeBackupName(const std::string& backupFolder, const std::string& name, std::vector<std::string>& taken)
{
    for (unsigned long long suffix = 0;; ++suffix) {
        const std::string candidate = CImportEngine::BackupName(name, suffix);
        bool used = EntryAt(CTransferEngine::Join(backupFolder, candidate)) != Entry::kNothing;
        for (const std::string& earlier : taken)
            used = used || ::lstrcmpiA(earlier.c_str(), candidate.c_str()) == 0;
        if (!used) {
            taken.push_back(candidate);
            return candidate;
        }
    }
}

} // namespace

void PlanExport(const RunSettings& run, const std::vector<MappingEntry>& mappings, CReport& report)
{
    if (run.exportRefused) {
        report.Info("导出预演：导出会停止（见上面的错误），发送目录里的文件都会留下");
        return;
    }
    report.Info("导出预演：发送目录：" + run.sourcePath);
    if (!CanWalk(report, run.sourcePath, "发送目录", "导出"))
        return;
    const bool locationUsable = FolderProblem(run.exportLocation).empty();
    const COrgCodeTable codes(settings::ReadOrgMappings());
    std::vector<std::string> cleaned;
    for (const WIN32_FIND_DATAA& entry : ListEntries(run.sourcePath)) {
        const std::string name = entry.cFileName;
        if (Skips(report, entry))
            continue;
        std::string clientCode;
        if (!ClientCodeOf(name.c_str(), clientCode)) {
            Stay(report, name, "文件名不是“前缀_客户代码_其余”的形式，没有客户代码");
            continue;
        }
        const char* platformCode = codes.Lookup(clientCode.c_str());
        if (platformCode == nullptr) {
            Stay(report, name, WhyNotMapped(clientCode, mappings));
            continue;
        }
        const std::string folder = CTransferEngine::Join(run.exportLocation, platformCode);
        const std::string target = CTransferEngine::Join(folder, name);
        if (std::find(cleaned.begin(), cleaned.end(), folder) == cleaned.end()) {
            cleaned.push_back(folder);
            Cleans(report, folder, "导出");
        }
        const Entry folderEntry = EntryAt(folder);
        std::string problem;
        if (!locationUsable)
            problem = "数据文件存放路径不可用：" + run.exportLocation;
        else if (folderEntry == Entry::kFile)
            problem = "网商代码的文件夹位置是一个文件：" + folder;
        else
            problem = CopyProblem(name, target);
        if (!problem.empty()) {
            Stay(report, name, "复制会失败，导出时显示“文件拷贝出错”：" + problem);
            continue;
        }
        report.Add(Level::kInfo, "导出", name + " → " + target
                                            + (folderEntry == Entry::kNothing ? "（先建立文件夹" + std::string(platformCode) + "）" : "")
                                            + (EntryAt(target) == Entry::kNothing ? "" : "（替换已有的文件）")
                                            + (run.deleteAfterCopy ? "，然后删除源文件" : ""));
    }
}

void PlanImport(const RunSettings& run, CReport& report)
{
    if (run.importRefused) {
        report.Info("导入预演：导入会停止（见上面的错误），交付文件夹里的文件都会留下");
        return;
    }
    const std::string delivery = CTransferEngine::Join(run.exportLocation, run.userOrgID);
    const std::string backup = CTransferEngine::Join(delivery, CImportEngine::kBackupFolder);
    report.Info("导入预演：交付文件夹：" + delivery);
    if (!CanWalk(report, delivery, "交付文件夹", "导入"))
        return;
    const bool backupBlocked = EntryAt(backup) == Entry::kFile;
    if (backupBlocked)
        report.Problem("交付文件夹里的" + std::string(CImportEngine::kBackupFolder)
                       + "是文件，不是文件夹：导入的文件无法存档，会留在交付文件夹，每次导入都再复制一遍");
    const std::string destProblem = FolderProblem(run.destPath);
    Cleans(report, run.destPath, "导入");
    std::vector<std::string> taken;
    for (const WIN32_FIND_DATAA& entry : ListEntries(delivery)) {
        const std::string name = entry.cFileName;
        if (Skips(report, entry, CImportEngine::kBackupFolder))
            continue;
        const std::string target = CTransferEngine::Join(run.destPath, name);
        const std::string problem = destProblem.empty() ? CopyProblem(name, target) : "源数据接收目录" + destProblem;
        if (!problem.empty()) {
            Stay(report, name, "复制会失败：" + problem + "。文件留在交付文件夹，下次导入再试");
            continue;
        }
        const std::string archive = backupBlocked ? "" : FreeBackupName(backup, name, taken);
        if (archive.empty()) {
            Stay(report, name, "会复制到" + target + "，但无法存档到" + backup + "，文件留在交付文件夹，下次导入再复制一遍");
            continue;
        }
        report.Add(Level::kInfo, "导入", name + " → " + target + (EntryAt(target) == Entry::kNothing ? "" : "（替换已有的文件）")
                                            + "，存档为 " + CTransferEngine::Join(backup, archive));
    }
}

} // namespace check

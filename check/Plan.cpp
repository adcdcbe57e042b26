#include "Plan.h"

#include "Folder.h"
#include "engine/ExportEngine.h"
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

// A folder or a temporary copy, which a run passes over. The folder named quiet, if any, is passed over
// without a word.
void PassOver(CReport& report, const EntryDecision& decision, const char* quiet = nullptr)
{
    if (decision.reason == EntryReason::kTemporary)
        report.Add(Level::kInfo, "跳过", decision.name + "：是复制用的临时文件（复制正在进行，或者被中断），插件不处理");
    else if (quiet == nullptr || ::lstrcmpiA(decision.name.c_str(), quiet) != 0)
        report.Add(Level::kInfo, "跳过", decision.name + "：是文件夹，插件不进入文件夹");
}

std::string TooLong(const std::string& what, const std::string& path)
{
    return what + "超过Windows的路径长度限制（259个字符）：" + path;
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
    for (const std::string& name : StaleTemporaryFiles(folder))
        report.Add(Level::kInfo, "清理",
                   CTransferEngine::Join(folder, name) + "：中断的复制留下的临时文件（一天以前的），" + run + "时删除");
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

// Why an export leaves a file in the send directory.
std::string WhyExportLeaves(const EntryDecision& decision, const std::vector<MappingEntry>& mappings)
{
    switch (decision.reason) {
    case EntryReason::kNoClientCode:
        return "文件名不是“前缀_客户代码_其余”的形式，没有客户代码";
    case EntryReason::kTargetTooLong:
        return "复制会失败，导出时显示“文件拷贝出错”：" + TooLong("目标路径", decision.target);
    default:
        return WhyNotMapped(decision.clientCode, mappings);
    }
}

} // namespace

void PlanExport(const RunSettings& run, const RunInput& input, const std::vector<MappingEntry>& mappings,
                CReport& report)
{
    if (run.exportRefused) {
        report.Info("导出预演：导出会停止（见上面的错误），发送目录里的文件都会留下");
        return;
    }
    report.Info("导出预演：发送目录：" + run.sourcePath);
    if (!CanWalk(report, run.sourcePath, "发送目录", "导出"))
        return;
    const bool locationUsable = FolderProblem(run.exportLocation).empty();
    const COrgCodeTable codes(input.mappings);
    std::vector<std::string> cleaned;
    for (const WIN32_FIND_DATAA& entry : ListEntries(run.sourcePath)) {
        const EntryDecision decision = CExportEngine::Decide(input, codes, entry);
        if (decision.action == EntryAction::kPassOver) {
            PassOver(report, decision);
            continue;
        }
        if (decision.action == EntryAction::kStay) {
            Stay(report, decision.name, WhyExportLeaves(decision, mappings));
            continue;
        }
        const std::string& folder = decision.targetFolder;
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
            problem = CopyProblem(decision.name, decision.target);
        if (!problem.empty()) {
            Stay(report, decision.name, "复制会失败，导出时显示“文件拷贝出错”：" + problem);
            continue;
        }
        report.Add(Level::kInfo, "导出",
                   decision.name + " → " + decision.target
                       + (folderEntry == Entry::kNothing ? "（先建立文件夹" + decision.platformCode + "）" : "")
                       + (EntryAt(decision.target) == Entry::kNothing ? "" : "（替换已有的文件）")
                       + (run.deleteAfterCopy ? "，然后删除源文件" : ""));
    }
}

void PlanImport(const RunSettings& run, const RunInput& input, CReport& report)
{
    if (run.importRefused) {
        report.Info("导入预演：导入会停止（见上面的错误），交付文件夹里的文件都会留下");
        return;
    }
    const std::string delivery = DeliveryFolder(input);
    const std::string backup = CTransferEngine::Join(delivery, kBackupFolder);
    report.Info("导入预演：交付文件夹：" + delivery);
    if (!CanWalk(report, delivery, "交付文件夹", "导入"))
        return;
    const bool backupBlocked = EntryAt(backup) == Entry::kFile;
    if (backupBlocked)
        report.Problem("交付文件夹里的" + std::string(kBackupFolder)
                       + "是文件，不是文件夹：导入的文件无法存档，会留在交付文件夹，每次导入都再复制一遍");
    const std::string destProblem = FolderProblem(run.destPath);
    Cleans(report, run.destPath, "导入");
    std::vector<std::string> taken;
    for (const WIN32_FIND_DATAA& entry : ListEntries(delivery)) {
        const EntryDecision decision = CImportEngine::Decide(input, entry);
        if (decision.action == EntryAction::kPassOver) {
            PassOver(report, decision, kBackupFolder);
            continue;
        }
        if (decision.reason == EntryReason::kArchiveTooLong) {
            Stay(report, decision.name,
                 TooLong("存档路径", CTransferEngine::Join(backup, decision.name))
                     + "，文件无法存档，导入不复制它，它留在交付文件夹");
            continue;
        }
        std::string problem;
        if (decision.reason == EntryReason::kTargetTooLong)
            problem = TooLong("目标路径", decision.target);
        else
            problem = destProblem.empty() ? CopyProblem(decision.name, decision.target) : "源数据接收目录" + destProblem;
        if (!problem.empty()) {
            Stay(report, decision.name, "复制会失败：" + problem + "。文件留在交付文件夹，下次导入再试");
            continue;
        }
        if (backupBlocked) {
            Stay(report, decision.name, "会复制到" + decision.target + "，但无法存档到" + backup
                                            + "，文件留在交付文件夹，下次导入再复制一遍");
            continue;
        }
        const std::string archive = CImportEngine::FreeBackupName(backup, decision.name, taken);
        taken.push_back(archive);
        report.Add(Level::kInfo, "导入",
                   decision.name + " → " + decision.target
                       + (EntryAt(decision.target) == Entry::kNothing ? "" : "（替换已有的文件）") + "，存档为 "
                       + CTransferEngine::Join(backup, archive));
    }
}

} // namespace check

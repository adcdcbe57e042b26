#include "Plan.h"

#include "Folder.h"
#include "engine/Claim.h"
#include "engine/ExportEngine.h"
#include "engine/ImportEngine.h"
#include "engine/OrgCodeTable.h"
#include "framework/Handle.h"
#include "framework/Path.h"
#include "framework/SameName.h"
#include "framework/SystemError.h"

#include <windows.h>
#include <algorithm>

namespace check {

namespace {

// Why a copy would fail, and what the plan saw of it; kNone when it would not.
struct CopyProblem {
    PlanObstacle obstacle = PlanObstacle::kNone;
    std::string seen;
};

// The verdict of an entry as far as the engine's decision goes; the plan adds what it sees.
PlannedEntry Planned(RunKind run, const EntryDecision& decision)
{
    PlannedEntry planned;
    planned.run = run;
    planned.decision = decision;
    planned.action = decision.action;
    return planned;
}

// The entry's line, as its verdict gives it, and its verdict for the table.
void Tell(CReport& report, std::vector<PlannedEntry>& entries, const PlannedEntry& planned)
{
    entries.push_back(planned);
    if (planned.text.empty())
        return;
    switch (planned.action) {
    case EntryAction::kPassOver:
        report.Add(Level::kInfo, "跳过", planned.text);
        break;
    case EntryAction::kStay:
        report.Add(Level::kProblem, "未传送", planned.text);
        break;
    default:
        if (planned.obstacle != PlanObstacle::kNone)
            report.Problem(planned.text);
        else
            report.Add(Level::kInfo, planned.run == RunKind::kExport ? "导出" : "导入", planned.text);
        break;
    }
}

// A run that would be refused: one row, no entries.
void TellRefused(std::vector<PlannedEntry>& entries, RunKind run, const RunInput& input)
{
    PlannedEntry planned;
    planned.run = run;
    planned.refused = true;
    planned.refusal = RefusalOf(input, run).value;
    entries.push_back(planned);
}

// What a run says of a folder or a temporary copy, which it passes over; "" for the folder named
// quiet, if any, which it passes over without a word.
std::string PassOverText(const EntryDecision& decision, const char* run, const char* quiet = nullptr)
{
    if (decision.reason == EntryReason::kTemporary)
        return decision.name + "：" + ReasonText(decision);
    if (quiet == nullptr || !IsSameName(decision.name, quiet))
        return decision.name + "：" + ReasonText(decision) + "，里面的文件不会被" + run;
    return "";
}

// The words of a problem and what then happens, with what to do about it.
std::string ProblemText(const CopyProblem& problem, const std::string& then)
{
    return ObstacleText(problem.obstacle, problem.seen) + then + RowOf(kObstacles, problem.obstacle).remedy;
}

// Why a file stays in folder, with what then happens and what to do about it, as the reason's row
// gives them.
std::string Leaves(const EntryDecision& decision, const std::string& then)
{
    return ReasonText(decision) + then + FillCodes(RowOf(kReasons, decision.reason).remedy, decision);
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
                   JoinPath(folder, name) + "：中断的复制留下的临时文件（一天以前的），" + run + "时删除");
}

// Why the run could not read source: it opens the file for reading (in the long form where its path
// passes the platform's limit) and lets others read it, never write it, so a program that writes the
// file (or holds it without sharing) fails the copy. The file is closed again at once.
CopyProblem SourceProblem(const std::string& source)
{
    CFileHandle file(::CreateFileW(WidePath(source).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.IsValid())
        return {};
    const DWORD error = ::GetLastError();
    if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION)
        return { PlanObstacle::kSourceInUse };
    if (error == ERROR_FILE_NOT_FOUND)
        return {};
    return { PlanObstacle::kSourceUnreadable, SystemErrorText(error) };
}

// Why copying source over target would fail: the copy is renamed over the target at the end, and
// Windows renames over a file, never over a folder or a read-only file (Wine does the latter).
CopyProblem CopyProblemOf(const EntryDecision& decision)
{
    const CopyProblem source = SourceProblem(decision.source);
    if (source.obstacle != PlanObstacle::kNone)
        return source;
    bool readOnly = false;
    EntryAt(decision.target, &readOnly);
    if (readOnly)
        return { PlanObstacle::kTargetReadOnly, decision.target };
    return {};
}

// A problem when the disk of folder has less room than the files a run would copy there.
void CheckSpace(CReport& report, const std::string& folder, ULONGLONG needed, const std::string& what,
                const char* run, const char* consequence)
{
    ULARGE_INTEGER available = {}, total = {}, free = {};
    if (needed == 0 || !::GetDiskFreeSpaceExA(folder.c_str(), &available, &total, &free)
        || available.QuadPart >= needed)
        return;
    report.Problem(what + "所在的磁盘只有" + SizeText(available.QuadPart) + "可用空间，" + run + "要复制的文件共"
                   + SizeText(needed) + "，空间不够时复制会失败，" + consequence + "。请腾出磁盘空间");
}

// Why a client code has no usable pair, as far as what the plan read of OrgMap.ini tells more than the
// engine's reason.
std::string WhyNotMapped(const EntryDecision& decision, const RunSettings& run, const std::vector<MappingEntry>& mappings)
{
    const std::string& code = decision.clientCode;
    if (run.orgMapMisread)
        return "客户代码" + Quote(code) + "在读到的代码对应中没有，文件留在发送目录。OrgMap.ini不是GBK文本，其中的代码读错了："
               "请先按上面OrgMap.ini那一行改正它的编码";
    for (const MappingEntry& entry : mappings) {
        if (entry.clientCode == code && !entry.skipReason.empty())
            return "客户代码" + Quote(code) + "的对应" + entry.key + "被跳过，文件留在发送目录。"
                   + RowOf(kReasons, EntryReason::kCodeRefused).remedy;
    }
    return Leaves(decision, "，文件留在发送目录。");
}

// Why an export leaves a file in the send directory without trying it.
std::string WhyExportLeaves(const EntryDecision& decision, const RunSettings& run,
                            const std::vector<MappingEntry>& mappings)
{
    switch (decision.reason) {
    case EntryReason::kCodeNotMapped:
    case EntryReason::kCodeRefused:
        return WhyNotMapped(decision, run, mappings);
    case EntryReason::kTargetTooLong:
    case EntryReason::kTargetIsFolder:
        return Leaves(decision, "，导出时提示“文件拷贝出错”，文件留在发送目录。");
    default:
        return Leaves(decision, "，文件留在发送目录。");
    }
}

// Where in Backup the delivery of planned goes, none of the names in taken, which it joins.
void Archives(PlannedEntry& planned, const std::string& backup, std::vector<std::string>& taken)
{
    const std::string archive = CImportEngine::FreeBackupName(backup, planned.decision.name, taken);
    taken.push_back(archive);
    planned.archive = JoinPath(backup, archive);
    planned.source = SourceFate::kArchived;
}

// The claims an earlier import left unfinished in the claim folder of the receive directory, which the
// next import finishes before it looks at the deliveries.
void PlanClaims(const RunInput& input, const std::string& backup, CReport& report, std::vector<PlannedEntry>& entries,
                std::vector<std::string>& taken)
{
    const ClaimFolder claims = { ClaimFolderOf(backup, input.strDestPath), ClaimCopyMark(backup) };
    if (claims.path.empty() || claims.mark.empty())
        return;
    for (const FolderEntry& entry : ListEntries(claims.path)) {
        PlannedEntry planned = Planned(RunKind::kImport, CImportEngine::DecideClaim(input, claims, entry));
        if (planned.action == EntryAction::kPassOver)
            continue;
        Archives(planned, backup, taken);
        planned.text = "上次导入没有做完：" + planned.decision.name + "已经从交付文件夹取走，"
                       + (planned.action == EntryAction::kCopy ? "复制好了但还没有放到接收目录；下次导入会完成：放到"
                                                                     + planned.decision.target + "，"
                                                               : "已经放到接收目录；下次导入会完成：")
                       + "备份为 " + planned.archive;
        Tell(report, entries, planned);
    }
    for (const ClaimElsewhere& claim : ClaimsOfOtherReceiveDirectories(backup, claims.path)) {
        PlannedEntry planned = Planned(RunKind::kImport, CImportEngine::DecideClaimElsewhere(claim));
        planned.text = planned.decision.source + "：" + ReasonText(planned.decision);
        Tell(report, entries, planned);
    }
}

// A value's code in the table.
template <class T>
struct Code {
    T value;
    const char* code;
};

const Code<EntryAction> kActionCodes[] = {
    { EntryAction::kPassOver, "pass" },
    { EntryAction::kStay, "stay" },
    { EntryAction::kCopy, "copy" },
    { EntryAction::kArchive, "archive" },
};

const Code<SourceFate> kSourceCodes[] = {
    { SourceFate::kStays, "stays" },
    { SourceFate::kDeleted, "deleted" },
    { SourceFate::kArchived, "archived" },
};

// The code of value in codes; "" for a value without one (none).
template <class T, size_t N>
const char* CodeOf(const Code<T> (&codes)[N], T value)
{
    for (const Code<T>& code : codes) {
        if (code.value == value)
            return code.code;
    }
    return "";
}

} // namespace

std::string ObstacleText(PlanObstacle obstacle, const std::string& seen)
{
    return FillIn(RowOf(kObstacles, obstacle).words, "s", &seen);
}

const char kPlanTableHeader[] = "run\tentry\taction\treason\ttarget\tarchive\tsource";

const char* PlanReasonCode(const PlannedEntry& entry)
{
    if (entry.refusal != Refusal::kNone)
        return RowOf(kRefusals, entry.refusal).code;
    return entry.obstacle != PlanObstacle::kNone ? RowOf(kObstacles, entry.obstacle).code
                                                 : RowOf(kReasons, entry.decision.reason).code;
}

std::string PlanTableRow(const PlannedEntry& entry)
{
    const bool copies = entry.action == EntryAction::kCopy || entry.action == EntryAction::kArchive;
    return std::string(entry.run == RunKind::kExport ? "export" : "import") + "\t" + entry.decision.name + "\t"
           + (entry.refused ? "refused" : CodeOf(kActionCodes, entry.action)) + "\t" + PlanReasonCode(entry) + "\t"
           + (copies ? entry.decision.target : "") + "\t" + entry.archive + "\t" + CodeOf(kSourceCodes, entry.source);
}

void PlanExport(const RunSettings& run, const RunInput& input, const std::vector<MappingEntry>& mappings,
                CReport& report, std::vector<PlannedEntry>& entries)
{
    if (run.exportRefused) {
        report.Info("导出预演：导出会停止（见上面的[错误]行），发送目录里的文件都不会被传送");
        TellRefused(entries, RunKind::kExport, input);
        return;
    }
    report.Info("导出预演，发送目录为" + run.sourcePath);
    if (!CanWalk(report, run.sourcePath, "发送目录", "导出"))
        return;
    const bool locationUsable = FolderProblem(run.exportLocation).empty();
    const COrgCodeTable codes(input.mappings);
    std::vector<std::string> cleaned;
    ULONGLONG toCopy = 0;
    for (const FolderEntry& entry : ListEntries(run.sourcePath)) {
        PlannedEntry planned = Planned(RunKind::kExport, CExportEngine::Decide(input, codes, entry));
        const EntryDecision& decision = planned.decision;
        if (decision.action == EntryAction::kPassOver) {
            planned.text = PassOverText(decision, "导出");
            Tell(report, entries, planned);
            continue;
        }
        if (decision.action == EntryAction::kStay) {
            planned.text = decision.name + "：" + WhyExportLeaves(decision, run, mappings);
            Tell(report, entries, planned);
            continue;
        }
        const std::string& folder = decision.targetFolder;
        if (std::find(cleaned.begin(), cleaned.end(), folder) == cleaned.end()) {
            cleaned.push_back(folder);
            Cleans(report, folder, "导出");
        }
        const Entry folderEntry = EntryAt(folder);
        CopyProblem problem;
        if (!locationUsable)
            problem = { PlanObstacle::kLocationUnusable, run.exportLocation };
        else if (folderEntry == Entry::kFile)
            problem = { PlanObstacle::kPlatformFolderIsFile, folder };
        else
            problem = CopyProblemOf(decision);
        if (problem.obstacle != PlanObstacle::kNone) {
            planned.action = EntryAction::kStay;
            planned.obstacle = problem.obstacle;
            planned.text = decision.name + "：" + ProblemText(problem, "，导出时提示“文件拷贝出错”，文件留在发送目录。");
            Tell(report, entries, planned);
            continue;
        }
        toCopy += entry.size;
        const std::string copy = decision.name + " → " + decision.target
                                 + (folderEntry == Entry::kNothing ? "（先建立文件夹" + decision.platformCode + "）" : "")
                                 + (EntryAt(decision.target) == Entry::kNothing ? "" : "（替换已有的文件）");
        // Windows deletes no read-only file: such a source stays and goes again with every export.
        if (run.deleteAfterCopy && (entry.attributes & FILE_ATTRIBUTE_READONLY) != 0) {
            planned.obstacle = PlanObstacle::kSourceReadOnly;
            planned.text = copy + "，" + ProblemText({ planned.obstacle }, "。");
        } else {
            planned.source = run.deleteAfterCopy ? SourceFate::kDeleted : SourceFate::kStays;
            planned.text = copy + (run.deleteAfterCopy ? "，然后删除源文件" : "");
        }
        Tell(report, entries, planned);
    }
    if (locationUsable)
        CheckSpace(report, run.exportLocation, toCopy, "数据文件存放路径" + run.exportLocation, "导出",
                   "提示“文件拷贝出错”");
}

void PlanImport(const RunSettings& run, const RunInput& input, CReport& report, std::vector<PlannedEntry>& entries)
{
    if (run.importRefused) {
        report.Info("导入预演：导入会停止（见上面的[错误]行），交付文件夹里的文件都不会被传送");
        TellRefused(entries, RunKind::kImport, input);
        return;
    }
    const std::string delivery = DeliveryFolder(input);
    const std::string backup = JoinPath(delivery, kBackupFolder);
    report.Info("导入预演，交付文件夹为" + delivery);
    if (!CanWalk(report, delivery, "交付文件夹", "导入"))
        return;
    const bool backupBlocked = EntryAt(backup) == Entry::kFile;
    if (backupBlocked)
        report.Problem("交付文件夹里的" + std::string(kBackupFolder)
                       + "是一个文件，不是文件夹，送来的文件都无法备份，导入一个也不复制，它们都留在交付文件夹。请把这个文件改名或移走");
    const std::string destProblem = FolderProblem(run.destPath);
    Cleans(report, run.destPath, "导入");
    std::vector<std::string> taken;
    PlanClaims(input, backup, report, entries, taken);
    ULONGLONG toCopy = 0;
    for (const FolderEntry& entry : ListEntries(delivery)) {
        PlannedEntry planned = Planned(RunKind::kImport, CImportEngine::Decide(input, entry));
        const EntryDecision& decision = planned.decision;
        if (decision.action == EntryAction::kPassOver) {
            planned.text = PassOverText(decision, "导入", kBackupFolder);
            Tell(report, entries, planned);
            continue;
        }
        switch (decision.reason) {
        case EntryReason::kBackupName:
            // The line above says what to do.
            Tell(report, entries, planned);
            continue;
        case EntryReason::kNameNotGbk:
        case EntryReason::kNameTrailingDotOrBlank:
        case EntryReason::kNameDevice:
        case EntryReason::kNameCaseTwin:
        case EntryReason::kArchiveTooLong:
            planned.text = decision.name + "：" + Leaves(decision, "，文件留在交付文件夹。");
            Tell(report, entries, planned);
            continue;
        default:
            break;
        }
        // An import copies only what it can claim, moving it into Backup.
        const DWORD claimError =
            backupBlocked || decision.action == EntryAction::kStay ? 0 : CImportEngine::ClaimBlocker(decision, true);
        if (claimError == ERROR_SHARING_VIOLATION || claimError == ERROR_LOCK_VIOLATION) {
            planned.action = EntryAction::kStay;
            planned.obstacle = PlanObstacle::kSourceBeingWritten;
            planned.text = decision.name + "：" + ObstacleText(planned.obstacle);
            Tell(report, entries, planned);
            continue;
        }
        if (decision.action != EntryAction::kStay && (backupBlocked || claimError != 0)) {
            planned.action = EntryAction::kStay;
            planned.obstacle = backupBlocked ? PlanObstacle::kBackupIsFile : PlanObstacle::kArchiveBlocked;
            planned.text = decision.name + "："
                           + ProblemText({ planned.obstacle, backup },
                                         backupBlocked ? "。" : "（" + SystemErrorText(claimError) + "）。");
            Tell(report, entries, planned);
            continue;
        }
        CopyProblem problem;
        const char then[] = "，复制会失败，文件留在交付文件夹，下次导入再试（不提示）。";
        if (decision.reason == EntryReason::kTargetTooLong || decision.reason == EntryReason::kTargetIsFolder) {
            planned.text = decision.name + "：" + Leaves(decision, then);
            Tell(report, entries, planned);
            continue;
        }
        if (!destProblem.empty())
            problem = { PlanObstacle::kDestUnusable, destProblem };
        else if (decision.action == EntryAction::kCopy)
            problem = CopyProblemOf(decision);
        if (problem.obstacle != PlanObstacle::kNone) {
            planned.action = EntryAction::kStay;
            planned.obstacle = problem.obstacle;
            planned.text = decision.name + "：" + ProblemText(problem, then);
            Tell(report, entries, planned);
            continue;
        }
        Archives(planned, backup, taken);
        toCopy += entry.size;
        planned.text = decision.name + " → " + decision.target
                       + (EntryAt(decision.target) == Entry::kNothing ? "" : "（替换已有的文件）") + "，备份为 " + planned.archive;
        Tell(report, entries, planned);
    }
    if (destProblem.empty())
        CheckSpace(report, run.destPath, toCopy, "源数据接收目录" + run.destPath, "导入", "文件留在交付文件夹");
}

} // namespace check

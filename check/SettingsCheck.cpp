#include "SettingsCheck.h"

#include "Folder.h"
#include "engine/TransferEngine.h"
#include "framework/Path.h"
#include "settings/Settings.h"

namespace check {

namespace {

const char kOnThePage[] = "请在“接口参数设置”的“数据文件路径”页选择，按“确定”";
const char kByTheHost[] = "它由宿主程序设定：请在宿主程序里改正，然后重新启动宿主程序";
const char kFolderOnThePage[] = "请建立这个文件夹或者连接它所在的驱动器，或者在“数据文件路径”页重新选择";
const char kFolderByTheHost[] = "请建立这个文件夹或者连接它所在的驱动器，或者在宿主程序里改正它";

using settings::StoredValue;

struct StringSetting {
    const char* name;
    const char* unsetRemedy; // what to do about a value never set
    const char* remedy;      // and about a wrong one
    // Folders only: what a run does when the folder named cannot be used, and what to do about it.
    const char* whenMissing;
    const char* folderRemedy;
    std::string RunSettings::*member;
};

const StringSetting kStringSettings[] = {
    { settings::kSourcePath, kOnThePage, kOnThePage, "导出找不到任何文件", kFolderOnThePage, &RunSettings::sourcePath },
    { settings::kExportLocation, "它由宿主程序设定：请在宿主程序里设定数据文件存放路径，然后重新启动宿主程序", kByTheHost,
      "导出时每个要传送的文件都会提示“文件拷贝出错”，导入找不到交付文件夹", kFolderByTheHost, &RunSettings::exportLocation },
    { settings::kDestPath, kOnThePage, kOnThePage, "导入的文件都会留在交付文件夹", kFolderOnThePage, &RunSettings::destPath },
    { settings::kUserOrgID, "它由宿主程序设定：请在宿主程序里设定用户机构代码，然后重新启动宿主程序", kByTheHost, nullptr, nullptr,
      &RunSettings::userOrgID },
};

// "IsDeleted（文件传送完毕后删除）".
std::string Label(const char* name)
{
    return std::string(name) + "（" + settings::Row(name).label + "）";
}

// The value a run reads, or "" with the reason reported.
std::string CheckString(const settings::CStoredSection& profile, const StringSetting& setting, CReport& report)
{
    const StoredValue stored = profile.Get(setting.name);
    const std::string whenEmpty = settings::Row(setting.name).withoutIt;
    std::string value;
    const std::string remedy = std::string("。") + setting.remedy;
    const std::string unset = whenEmpty + "。" + setting.unsetRemedy;
    if (!stored.present) {
        report.Problem(Label(setting.name) + "没有设置，" + unset);
        return value;
    }
    if (!settings::ReadsAsString(stored, &value)) {
        report.Problem(Label(setting.name) + "是" + TypeName(stored.type) + "类型的" + Quote(Show(stored))
                       + "，插件只读取REG_SZ类型，当作没有设置，" + unset);
        return value;
    }
    if (value.empty()) {
        report.Problem(Label(setting.name) + "是空的，" + unset);
        return value;
    }
    if (HasOuterBlanks(value)) {
        const std::string elsewhere = setting.folderRemedy != nullptr
                                          ? std::string("路径的一部分，指的是另一个文件夹（通常不存在，") + setting.whenMissing + "）"
                                          : std::string("代码的一部分，找的是另一个交付文件夹");
        report.Problem(Label(setting.name) + Quote(value) + "首尾有空格，插件会把这个空格当作" + elsewhere + remedy);
        return value;
    }
    if (setting.folderRemedy == nullptr) {
        const std::string problem = UserOrgIDProblem(value);
        if (!problem.empty())
            report.Problem(Label(setting.name) + Quote(value) + problem + remedy);
        else
            report.Ok(Label(setting.name) + "：" + value + "。插件只在宿主程序加载它时读取这个值，宿主程序改了用户机构代码以后"
                      "要重新启动，导入才会用新的交付文件夹；运行实际用的代码见传送记录里“开始”行的说明");
        return value;
    }
    if (!IsFullPath(value)) {
        report.Problem(Label(setting.name) + Quote(value) + "不是完整的路径（X:\\…或者\\\\服务器\\共享\\…），运行时按宿主程序当时的"
                       "工作目录解释，现在是" + ResolveFolderPath(value) + "，宿主程序换了工作目录，文件就会去别的文件夹"
                       + remedy);
        return value;
    }
    const std::string problem = FolderProblem(value);
    if (!problem.empty())
        report.Problem(Label(setting.name) + Quote(value) + problem + "，" + setting.whenMissing + "。" + setting.folderRemedy);
    else
        report.Ok(Label(setting.name) + "：" + value);
    return value;
}

void CheckIsDeleted(const settings::CStoredSection& profile, RunSettings& run, CReport& report)
{
    const StoredValue stored = profile.Get(settings::kIsDeleted);
    const settings::ValueRow& row = settings::Row(settings::kIsDeleted);
    const std::string label = Label(settings::kIsDeleted);
    const std::string kept = std::string(row.withoutIt)
                              + "，每次导出都会再传送一次。要删除源文件，请在“数据文件路径”页勾选“文件传送完毕后删除”，按“确定”";
    int value = row.number;
    if (!stored.present) {
        report.Note(label + "没有设置" + (row.shownWhenMissing != 0 ? "（设置页在保存前显示为勾选）" : "") + "，" + kept);
    } else if (!settings::ReadsAsInt(stored, &value)) {
        report.Note(label + "是" + TypeName(stored.type) + "类型的" + Quote(Show(stored)) + "，插件只读取REG_DWORD类型，"
                    + kept);
    } else {
        report.Ok(label + "：" + std::to_string(value) + (value != 0 ? "，导出后删除源文件" : "，导出后源文件留在发送目录"));
    }
    run.deleteAfterCopy = value != 0;
}

void CheckRecordSwitch(const settings::CStoredSection& profile, CReport& report)
{
    const StoredValue stored = profile.Get(settings::kRecordTransfers);
    const settings::ValueRow& row = settings::Row(settings::kRecordTransfers);
    int value = row.number;
    const std::string label = Label(settings::kRecordTransfers);
    if (stored.present && !settings::ReadsAsInt(stored, &value))
        report.Note(label + "是" + TypeName(stored.type) + "类型的" + Quote(Show(stored)) + "，插件只读取REG_DWORD，"
                    + row.withoutIt + "。要关闭记录，请把它改为DWORD值0");
    else if (value == 0)
        report.Note(label + "为0，运行不写" + settings::kRecordFile + "。要恢复记录，请删除这个值或把它设为1");
    else
        report.Ok(label + "：每次运行写在工作目录的" + settings::kRecordFile + "里");
}

// How long the error box of an automatic run waits for someone.
void CheckErrorBoxWait(const settings::CStoredSection& profile, CReport& report)
{
    const StoredValue stored = profile.Get(settings::kAutoErrorBoxSeconds);
    int value = settings::Row(settings::kAutoErrorBoxSeconds).number;
    const std::string label = Label(settings::kAutoErrorBoxSeconds);
    const bool read = !stored.present || settings::ReadsAsInt(stored, &value);
    const int seconds = settings::AutoErrorBoxSeconds(value);
    if (!read)
        report.Note(label + "是" + TypeName(stored.type) + "类型的" + Quote(Show(stored))
                    + "，插件只读取REG_DWORD，按0处理：提示框一直等人点“确定”。要让它自行关闭，请把它改为DWORD值，例如300（秒）");
    else if (seconds == 0)
        report.Info(label + "：一直等人点“确定”，在这之前这次自动运行不结束，下一次自动导出或导入也不开始。"
                            "没有人看着的计算机可以把它设为例如300（秒）");
    else
        report.Ok(label + "：" + std::to_string(seconds) + "秒内没有人点“确定”就自行关闭，自动运行接着做；传送记录里记下这件事");
}

// True when a run of that kind is refused for a setting, which that setting's line tells; folders that
// overlap are told apart (CheckFolderOverlaps).
bool RefusedForASetting(const RunSettings& run, RunKind kind)
{
    const RunInput input = InputOf(run);
    const Refusal refusal = RefusalOf(input, kind).value;
    return refusal != Refusal::kNone && refusal != FolderOverlap(input, kind).value;
}

void CheckDeliveryFolder(const RunSettings& run, CReport& report)
{
    if (run.importRefused)
        return;
    const std::string delivery = JoinPath(run.exportLocation, run.userOrgID);
    const Entry entry = EntryAt(delivery);
    if (entry == Entry::kNothing)
        report.Note("交付文件夹" + delivery + "还不存在，导入没有文件可取。平台第一次交付文件时会建立它；"
                    "如果平台已经交付过，请检查用户机构代码和数据文件存放路径");
    else if (entry == Entry::kFile)
        report.Problem("交付文件夹" + delivery + "是一个文件，不是文件夹，导入取不到文件。请把这个文件改名或移走");
    else
        report.Ok("交付文件夹：" + delivery);
}

} // namespace

std::string UserOrgIDProblem(const std::string& userOrgID)
{
    switch (UserOrgIDRefusal(UserOrgIDOf(userOrgID))) {
    case Refusal::kUserOrgIDTooLong:
        return "有" + std::to_string(userOrgID.size()) + "个字节，超过" + std::to_string(settings::kUserOrgIDMax) + "个字节（"
               + std::to_string(settings::kUserOrgIDMax / 2) + "个汉字）的限制，导入会被拒绝";
    case Refusal::kUserOrgIDNotAFolder:
        return std::string(kNotAFolderName) + "，导入会被拒绝";
    default:
        return "";
    }
}

RunInput InputOf(const RunSettings& run)
{
    RunInput input;
    input.strSourcePath = ResolveFolderPath(run.sourcePath);
    input.strExportLocation = ResolveFolderPath(run.exportLocation);
    input.strDestPath = ResolveFolderPath(run.destPath);
    input.bDeleteAfterCopy = run.deleteAfterCopy;
    input.mappings = settings::ReadOrgMappings();
    input.userOrgID = UserOrgIDOf(run.userOrgID);
    input.deliveryPairCodes = DeliveryPairCodes(input);
    return input;
}

void CheckFolderOverlaps(const RunInput& input, RunSettings& run, CReport& report)
{
    const struct {
        RunKind kind;
        bool RunSettings::*refused;
    } runs[] = { { RunKind::kExport, &RunSettings::exportRefused }, { RunKind::kImport, &RunSettings::importRefused } };
    for (const auto& r : runs) {
        const RunRefusal overlap = run.*r.refused ? RunRefusal() : FolderOverlap(input, r.kind);
        if (overlap.value != Refusal::kNone) {
            report.Problem(RefusalText(overlap));
            run.*r.refused = true;
        }
    }
    for (const std::string& code : input.deliveryPairCodes)
        report.Problem("代码对应里网商代码“" + code + "”的文件夹是用户机构代码（UserOrgID）的交付文件夹或者它的Backup，"
                       "导出会跳过这个代码对应的文件，让它们留在发送目录。请在“代码对应”页改正这个网商代码");
}

RunSettings CheckSettings(const std::string& plugin, CReport& report)
{
    const settings::CStoredSection profile(plugin);
    const std::string keyPath = "HKEY_CURRENT_USER\\" + settings::SectionKeyPath(plugin);
    RunSettings run;
    if (!profile.Exists()) {
        // One line for the whole key in place of one for each value it lacks.
        report.Problem("注册表项" + keyPath + "不存在：这个Windows用户还没有插件的设置，导出和导入都会停止。"
                       "刚安装、宿主程序还没有加载过插件时，这是正常的：请启动宿主程序，在插件的“接口参数设置”里填写并按“确定”，"
                       "然后再检查。宿主程序已经在用插件时，请用运行宿主程序的那个Windows用户运行qrvcheck.exe");
        run.exportRefused = run.importRefused = true;
        return run;
    }
    report.Info("注册表项：" + keyPath);
    for (const StringSetting& setting : kStringSettings)
        run.*setting.member = CheckString(profile, setting, report);
    CheckIsDeleted(profile, run, report);
    CheckRecordSwitch(profile, report);
    CheckErrorBoxWait(profile, report);
    run.exportRefused = RefusedForASetting(run, RunKind::kExport);
    run.importRefused = RefusedForASetting(run, RunKind::kImport);
    CheckDeliveryFolder(run, report);
    return run;
}

} // namespace check

#include "SettingsCheck.h"

#include "Folder.h"
#include "engine/TransferEngine.h"
#include "framework/ChildName.h"
#include "plugin/InterfaceApp.h"
#include "settings/Settings.h"

namespace check {

namespace {

// The longest code the application object keeps at load; a longer one refuses imports.
const size_t kUserOrgIDMax = sizeof(CInterfaceApp::m_szUserOrgID) - 1;

struct StringSetting {
    const char* name;
    const char* label;
    const char* whenEmpty; // what a run does when it reads ""
    std::string RunSettings::*member;
    bool folder;
};

const StringSetting kStringSettings[] = {
    { settings::kSourcePath, "源数据发送目录", "导出会停止", &RunSettings::sourcePath, true },
    { settings::kExportLocation, "数据文件存放路径", "导出和导入都会停止", &RunSettings::exportLocation, true },
    { settings::kDestPath, "源数据接收目录", "导入会停止", &RunSettings::destPath, true },
    { settings::kUserOrgID, "用户机构代码", "导入会把数据文件存放路径本身当作交付文件夹，取走那里的文件",
      &RunSettings::userOrgID, false },
};

std::string Label(const StringSetting& setting)
{
    return std::string(setting.name) + "（" + setting.label + "）";
}

// The value a run reads, or "" with the reason reported.
std::string CheckString(const CStoredProfile& profile, const StringSetting& setting, CReport& report)
{
    const StoredValue stored = profile.Get(setting.name);
    std::string value;
    if (!stored.present) {
        report.Problem(Label(setting) + "没有设置，" + setting.whenEmpty);
        return value;
    }
    if (!ReadsAsString(stored, &value)) {
        report.Problem(Label(setting) + "的类型是" + TypeName(stored.type) + "，插件只读取REG_SZ，当作没有设置，"
                       + setting.whenEmpty + "：" + Quote(Show(stored)));
        return value;
    }
    if (value.empty()) {
        report.Problem(Label(setting) + "是空的，" + setting.whenEmpty);
        return value;
    }
    if (HasOuterBlanks(value)) {
        report.Problem(Label(setting) + "首尾有空白，插件照原样使用：" + Quote(value));
        return value;
    }
    const std::string problem = setting.folder ? FolderProblem(value) : UserOrgIDProblem(value);
    if (!problem.empty()) {
        report.Problem(Label(setting) + problem + "：" + Quote(value));
        return value;
    }
    report.Ok(Label(setting) + "：" + value);
    return value;
}

void CheckIsDeleted(const CStoredProfile& profile, RunSettings& run, CReport& report)
{
    const StoredValue stored = profile.Get(settings::kIsDeleted);
    const std::string label = std::string(settings::kIsDeleted) + "（文件传送完毕后删除）";
    int value = 0;
    if (!stored.present) {
        report.Note(label + "没有设置，当作0：导出后源文件留在发送目录（设置页在保存前显示为勾选）");
    } else if (!ReadsAsInt(stored, &value)) {
        report.Note(label + "的类型是" + TypeName(stored.type) + "，插件只读取REG_DWORD，当作0：导出后源文件留在发送目录："
                    + Quote(Show(stored)));
    } else {
        report.Ok(label + "：" + std::to_string(value) + (value != 0 ? "，导出后删除源文件" : "，导出后源文件留在发送目录"));
    }
    run.deleteAfterCopy = value != 0;
}

void CheckRecordSwitch(const CStoredProfile& profile, CReport& report)
{
    const StoredValue stored = profile.Get(settings::kRecordTransfers);
    int value = 1;
    const std::string label = std::string(settings::kRecordTransfers) + "（传送记录）";
    if (stored.present && !ReadsAsInt(stored, &value))
        report.Note(label + "的类型是" + TypeName(stored.type) + "，插件只读取REG_DWORD，当作1：记录照常写："
                    + Quote(Show(stored)));
    else if (value == 0)
        report.Note(label + "：0，运行不写传送记录" + settings::kRecordFile);
    else
        report.Ok(label + "：每次运行写在工作目录的" + settings::kRecordFile + "里");
}

void CheckDeliveryFolder(const RunSettings& run, CReport& report)
{
    if (run.importRefused)
        return;
    const std::string delivery = CTransferEngine::Join(run.exportLocation, run.userOrgID);
    const Entry entry = EntryAt(delivery);
    if (entry == Entry::kNothing)
        report.Note("交付文件夹还不存在：" + delivery + "。平台送来文件之前，导入没有文件可取");
    else if (entry == Entry::kFile)
        report.Problem("交付文件夹是文件，不是文件夹，导入取不到文件：" + delivery);
    else
        report.Ok("交付文件夹：" + delivery);
}

} // namespace

std::string UserOrgIDProblem(const std::string& userOrgID)
{
    if (userOrgID.empty())
        return "";
    if (userOrgID.size() > kUserOrgIDMax)
        return "有" + std::to_string(userOrgID.size()) + "个字节，超过" + std::to_string(kUserOrgIDMax)
               + "个字节的限制，导入会被拒绝";
    if (!IsChildName(userOrgID))
        return std::string(kNotAFolderName) + "，导入会被拒绝";
    return "";
}

RunInput InputOf(const RunSettings& run)
{
    RunInput input;
    input.strSourcePath = run.sourcePath;
    input.strExportLocation = run.exportLocation;
    input.strDestPath = run.destPath;
    input.bDeleteAfterCopy = run.deleteAfterCopy;
    input.mappings = settings::ReadOrgMappings();
    input.userOrgID.bTooLong = run.userOrgID.size() > kUserOrgIDMax;
    if (!input.userOrgID.bTooLong)
        input.userOrgID.strValue = run.userOrgID;
    return input;
}

void CheckFolderOverlaps(const RunInput& input, RunSettings& run, CReport& report)
{
    const struct {
        RunKind kind;
        bool RunSettings::*refused;
    } runs[] = { { RunKind::kExport, &RunSettings::exportRefused }, { RunKind::kImport, &RunSettings::importRefused } };
    for (const auto& r : runs) {
        const std::string overlap = run.*r.refused ? "" : FolderOverlap(input, r.kind);
        if (!overlap.empty()) {
            report.Problem(overlap);
            run.*r.refused = true;
        }
    }
}

RunSettings CheckSettings(const CStoredProfile& profile, CReport& report)
{
    RunSettings run;
    if (profile.Exists())
        report.Info("注册表项：" + profile.KeyPath());
    else
        report.Problem("注册表项不存在：" + profile.KeyPath() + "。插件的设置从来没有保存过");
    for (const StringSetting& setting : kStringSettings)
        run.*setting.member = CheckString(profile, setting, report);
    CheckIsDeleted(profile, run, report);
    CheckRecordSwitch(profile, report);
    run.exportRefused = run.sourcePath.empty() || run.exportLocation.empty();
    run.importRefused = run.destPath.empty() || run.exportLocation.empty() || !UserOrgIDProblem(run.userOrgID).empty();
    CheckDeliveryFolder(run, report);
    return run;
}

} // namespace check

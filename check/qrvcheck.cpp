// qrvcheck.exe: checks the settings that QRVLNK's runs read and, with --plan, tells what an export and
// an import would do with each file, changing nothing (--plan-table: the same as a table for programs);
// with --history, what the last runs did.
#include "Console.h"
#include "History.h"
#include "IniFiles.h"
#include "Mappings.h"
#include "Plan.h"
#include "PluginVersion.h"
#include "Report.h"
#include "SettingsCheck.h"
#include "StoredValue.h"
#include "Version.h"
#include "framework/ChildName.h"
#include "framework/Path.h"
#include "framework/SystemError.h"
#include "settings/Settings.h"

#include <windows.h>
#include <cstdlib>
#include <string>

namespace {

const char kDefaultPlugin[] = "QRVLNK";

const char kUsage[] =
    "qrvcheck.exe " QRVLNK_VERSION_TEXT "：QRVLNK插件的设置检查和预演，什么也不修改。\r\n"
    "用法：qrvcheck.exe [--plan] [工作目录 [插件名]]\r\n"
    "      qrvcheck.exe --plan-table [工作目录 [插件名]]\r\n"
    "      qrvcheck.exe --history [N] [--within 小时数] [工作目录 [插件名]]\r\n"
    "      qrvcheck.exe --help\r\n"
    "  工作目录  宿主程序的工作目录，OrgMap.ini和TaskDefine.ini所在的文件夹；默认为当前目录\r\n"
    "  插件名    插件DLL的名字（不带.dll），决定读取哪个注册表项；默认为QRVLNK\r\n"
    "  --plan    同时预演导出和导入：每个文件会复制到哪里，或者为什么不会被传送\r\n"
    "  --plan-table 预演的结果只作为供程序读取的表格输出（制表符分隔，每个文件一行）\r\n"
    "  --history 不检查设置，只看传送记录里最近N次运行（N从1到9999，默认5）：每次运行传送、未传送和失败的\r\n"
    "            个数，以及失败的文件和原因；最近一次导出和最近一次导入总在其中\r\n"
    "  --within  和--history一起用：最近一次导出或最近一次导入早于这么多小时（1到8760），或者没有，退出码为5\r\n"
    "  --help    显示这段说明\r\n"
    "退出码：0 没有发现问题；1 有问题，会使运行中止，或使文件传送不出去（--history：最近一次导出或导入有失败、\r\n"
    "        被拒绝或者没有做完）；2 参数错误；3 没有可查的传送记录（--history）；4 传送记录不是插件写的格式（--history）；\r\n"
    "        5 最近一次导出或导入太久以前（--within）";

const int kDefaultHistory = 5;
const int kMostHistory = 9999;
const int kMostWithinHours = 24 * 365;

// The exit codes.
enum ExitCode {
    kExitNothingFound = 0,
    kExitProblems = 1,
    kExitArguments = 2,
    kExitNoRecord = 3,      // --history: no record to read
    kExitForeignRecord = 4, // --history: the record holds lines that the plug-in did not write so
    kExitStale = 5,         // --within: the last export or import is older than asked, or missing
};

const check::IniFileRole kOrgMapRole = {
    settings::kOrgMapFile, check::Level::kProblem, "导出时没有代码对应，所有文件都会留在发送目录",
    "请把OrgMap.ini放到宿主程序的工作目录，或者在“代码对应”页增加对应（会建立这个文件）。"
    "如果宿主程序的工作目录不是这里，请在命令里给出它"
};
const check::IniFileRole kTaskDefineRole = {
    settings::kTaskDefineFile, check::Level::kNote, "导出窗口和设置页上没有任务，但哪些文件被传送与任务无关",
    "需要任务列表时，请把分销系统方面准备的TaskDefine.ini放到宿主程序的工作目录"
};

struct Arguments {
    bool plan = false;
    bool table = false; // the plan as a table, without the findings
    bool history = false;
    int runs = kDefaultHistory;
    int withinHours = 0; // 0: not asked
    bool help = false;
    std::string workDir;
    std::string plugin = kDefaultPlugin;
};

// A number, perhaps with a sign: meant as the number of runs.
bool IsNumber(const std::string& text)
{
    const size_t digits = text.find_first_not_of("+-") == 1 ? 1 : 0;
    return text.size() > digits && text.find_first_not_of("0123456789", digits) == std::string::npos;
}

// False, with the reason, for arguments that make no sense.
bool Parse(int argc, char** argv, Arguments& args, std::string& error)
{
    int positional = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--plan") {
            args.plan = true;
        } else if (arg == "--plan-table") {
            args.plan = true;
            args.table = true;
        } else if (arg == "--history") {
            args.history = true;
            if (i + 1 < argc && IsNumber(argv[i + 1])) {
                const std::string count = argv[++i];
                args.runs = count.size() <= 4 ? std::atoi(count.c_str()) : 0;
                if (args.runs < 1 || args.runs > kMostHistory) {
                    error = "运行次数“" + count + "”不对：--history后面要给出1到" + std::to_string(kMostHistory)
                            + "之间的数";
                    return false;
                }
            }
        } else if (arg == "--within") {
            const std::string hours = i + 1 < argc ? argv[++i] : "";
            args.withinHours = IsNumber(hours) && hours.size() <= 4 ? std::atoi(hours.c_str()) : 0;
            if (args.withinHours < 1 || args.withinHours > kMostWithinHours) {
                error = "小时数“" + hours + "”不对：--within后面要给出1到" + std::to_string(kMostWithinHours) + "之间的数";
                return false;
            }
        } else if (arg == "--help" || arg == "-h" || arg == "/?") {
            args.help = true;
        } else if (arg.size() > 1 && arg[0] == '-') {
            error = "无法识别的选项：" + arg;
            return false;
        } else if (positional == 0) {
            args.workDir = arg;
            ++positional;
        } else if (positional == 1) {
            args.plugin = arg;
            ++positional;
        } else {
            error = "多余的参数：" + arg;
            return false;
        }
    }
    if (!IsChildName(args.plugin) || args.plugin.find_first_of("*?\"<>|") != std::string::npos) {
        error = "插件名不能用作DLL的名字：" + args.plugin;
        return false;
    }
    if (args.withinHours != 0 && !args.history) {
        error = "--within只能和--history一起用";
        return false;
    }
    if (args.plan && args.history) {
        error = std::string(args.table ? "--plan-table" : "--plan") + "和--history不能一起用";
        return false;
    }
    return true;
}

int WrongArguments(const std::string& error)
{
    check::WriteLine(error);
    check::WriteLine(kUsage);
    return kExitArguments;
}

void Print(const check::CReport& report)
{
    for (const check::Finding& finding : report.Findings())
        check::WriteLine("[" + finding.tag + "] " + finding.text);
}

void PrintTable(const std::vector<check::PlannedEntry>& entries)
{
    check::WriteLine(check::kPlanTableHeader);
    for (const check::PlannedEntry& entry : entries)
        check::WriteLine(check::PlanTableRow(entry));
}

// The last runs from the transfer record.
int History(const Arguments& args, check::CReport& report)
{
    int value = settings::Row(settings::kRecordTransfers).number;
    if (settings::ReadsAsInt(settings::CStoredSection(args.plugin).Get(settings::kRecordTransfers), &value) && value == 0)
        report.Note(std::string(settings::kRecordTransfers) + "（传送记录）为0，现在的运行不写" + settings::kRecordFile
                    + "，下面只有关闭记录以前的运行。要恢复记录，请删除这个值或把它设为1");
    const std::string plan = check::Argument(check::OwnPath()) + " --plan " + check::Argument(GetCurrentDir())
                             + (args.plugin == kDefaultPlugin ? "" : " " + check::Argument(args.plugin));
    const check::HistoryResult result =
        check::ReportHistory(settings::IniPath(settings::kRecordFile), args.runs, args.withinHours, plan, report);
    Print(report);
    if (result.foreign)
        return kExitForeignRecord;
    if (result.verdict == check::HistoryVerdict::kNoRecord)
        return kExitNoRecord;
    if (result.verdict == check::HistoryVerdict::kFailed)
        return kExitProblems;
    return result.stale ? kExitStale : kExitNothingFound;
}

} // namespace

int main(int argc, char** argv)
{
    Arguments args;
    std::string error;
    if (!Parse(argc, argv, args, error))
        return WrongArguments(error);
    if (args.help) {
        check::WriteLine(kUsage);
        return kExitNothingFound;
    }
    if (!args.workDir.empty() && !::SetCurrentDirectoryA(args.workDir.c_str()))
        return WrongArguments("无法进入工作目录：" + args.workDir + "（" + SystemErrorText(::GetLastError()) + "）");

    check::CReport report;
    check::CheckPluginVersion(args.plugin, report);
    report.Info("工作目录：" + GetCurrentDir());
    if (args.history)
        return History(args, report);
    check::RunSettings run = check::CheckSettings(args.plugin, report);
    std::vector<check::MappingEntry> mappings;
    const check::IniState orgMap = check::CheckIniFile(kOrgMapRole, report);
    // Pairs read from a file in another encoding are wrong: only its encoding is to be put right.
    run.orgMapMisread = orgMap == check::IniState::kMisread;
    if (orgMap == check::IniState::kReadable) {
        mappings = check::ReadMappingEntries();
        check::CheckMappings(mappings, report);
    }
    check::CheckIniFile(kTaskDefineRole, report);
    const RunInput input = check::InputOf(run);
    check::CheckFolderOverlaps(input, run, report);
    std::vector<check::PlannedEntry> entries;
    if (args.plan) {
        check::PlanExport(run, input, mappings, report, entries);
        check::PlanImport(run, input, report, entries);
    }
    const int problems = report.ProblemCount();
    report.Add(check::Level::kInfo, "结论",
               problems == 0 ? "没有发现问题。没有写入权限等问题只有在运行时才会出现，检查不出来"
                             : "发现" + std::to_string(problems) + "个问题，会使运行中止，或使文件传送不出去。请按上面各行的说明处理");
    if (args.table)
        PrintTable(entries);
    else
        Print(report);
    return problems == 0 ? kExitNothingFound : kExitProblems;
}

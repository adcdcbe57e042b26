#include "Commands.h"

#include <cstdlib>

const char kUsage[] =
    "用法：qrvhub.exe [步骤 ...] [--every 分钟数]\n"
    "像交换系统的宿主程序那样调用qrvhub.exe所在文件夹里的QRVLNK.dll。它使用这个Windows用户\n"
    "保存的插件设置（和宿主程序的一样），导出和导入会真的传送文件。\n"
    "不带步骤时打开主窗口，菜单里有插件的每个功能。\n"
    "\n"
    "步骤，按给出的顺序执行：\n"
    "  info                  显示接口信息（GetInterfaceInfo、QueryFunctions）\n"
    "  export | import       打开“数据导出”或“数据导入”窗口（Export、Import）\n"
    "  autoexport            自动导出，不等人操作（AutoExport）\n"
    "  autoimport            自动导入，不等人操作（AutoImport）\n"
    "  setup                 打开“接口参数设置”（Setup）\n"
    "  set-data-path 路径    设定数据文件存放路径（SetDataFilePath）\n"
    "  set-user-org 代码     设定用户机构代码（SetUserOrgID）\n"
    "\n"
    "选项：\n"
    "  --every 分钟数        每隔这么多分钟重复这些步骤，直到关闭主窗口\n"
    "  --help                显示这段说明\n"
    "\n"
    "退出码：0 完成；1 参数错误；2 QRVLNK.dll不存在或者不完整；\n"
    "        3 设置调用报告失败；4 无法建立主窗口。\n";

CommandLine ParseCommandLine(const std::vector<std::string>& args)
{
    CommandLine cmd;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h" || a == "/?" || a == "help") {
            cmd.help = true;
        } else if (a == "--every") {
            if (i + 1 >= args.size()) {
                cmd.error = "--every后面要跟分钟数";
                return cmd;
            }
            char* end = nullptr;
            long minutes = std::strtol(args[++i].c_str(), &end, 10);
            if (end == args[i].c_str() || *end != '\0' || minutes <= 0 || minutes > 24 * 60) {
                cmd.error = "--every的分钟数必须是1到1440之间的整数，不能是“" + args[i] + "”";
                return cmd;
            }
            cmd.everyMinutes = static_cast<int>(minutes);
        } else if (a == "info" || a == "export" || a == "autoexport" || a == "import" || a == "autoimport" || a == "setup") {
            cmd.steps.push_back({ a, "" });
        } else if (a == "set-data-path" || a == "set-user-org") {
            if (i + 1 >= args.size()) {
                cmd.error = a + "后面要跟一个值";
                return cmd;
            }
            cmd.steps.push_back({ a, args[++i] });
        } else {
            cmd.error = "无法识别的步骤“" + a + "”";
            return cmd;
        }
    }
    if (cmd.everyMinutes > 0 && cmd.steps.empty())
        cmd.error = "--every要有至少一个重复执行的步骤";
    return cmd;
}

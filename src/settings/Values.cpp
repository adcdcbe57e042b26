#include "settings/Settings.h"

#include <cstring>

namespace settings {

// One row per registry value. A new value is a name in Keys.cpp and a row here, before the values
// that runs write themselves.
const ValueRow kValues[] = {
    { kUserOrgID, ValueType::kString, 0, 0, kUserOrgIDMax, "用户机构代码",
      "导入会停止" },
    { kExportLocation, ValueType::kString, 0, 0, 0, "数据文件存放路径", "导出和导入都会停止" },
    { kSourcePath, ValueType::kString, 0, 0, 0, "源数据发送目录", "导出会停止" },
    { kDestPath, ValueType::kString, 0, 0, 0, "源数据接收目录", "导入会停止" },
    { kIsDeleted, ValueType::kNumber, 0, 1, 0, "文件传送完毕后删除", "当作0：导出后源文件留在发送目录" },
    { kOrgID, ValueType::kString, 0, 0, 0, "数据源名", nullptr },
    { kUsername, ValueType::kString, 0, 0, 0, "用户名", nullptr },
    { kPassword, ValueType::kString, 0, 0, 0, "密码", nullptr },
    { kRecordTransfers, ValueType::kNumber, 1, 1, 0, "传送记录", "按1处理，照常写传送记录" },
    { kAutoErrorBoxSeconds, ValueType::kNumber, 0, 0, 0, "自动运行的错误提示框", "按0处理：提示框一直等人点“确定”" },
    // Written by the runs.
    { kLastRunNumber, ValueType::kNumber, 0, 0, 0, "上次运行编号", "当作0：从1开始编号" },
};
const size_t kValueCount = sizeof(kValues) / sizeof(kValues[0]);

const ValueRow& Row(const char* name)
{
    static const ValueRow kUnknown = { "", ValueType::kString, 0, 0, 0, "", nullptr };
    for (const ValueRow& row : kValues) {
        if (std::strcmp(row.name, name) == 0)
            return row;
    }
    return kUnknown;
}

} // namespace settings

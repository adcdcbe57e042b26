#include "engine/EntryDecision.h"

std::string ReasonText(const EntryDecision& decision)
{
    switch (decision.reason) {
    case EntryReason::kNameNotGbk:
        return "文件名含有GBK以外的字符（显示为“?”），插件无法按这个名字打开它";
    case EntryReason::kNameTrailingDotOrBlank:
        return "文件名以点或空格结尾，Windows按这个名字会打开另一个文件或者找不到它";
    case EntryReason::kNameDevice:
        return "文件名是CON、NUL、COM1这样的设备名，Windows按这个名字打开的是设备，不是这个文件";
    case EntryReason::kNameCaseTwin:
        return "同一个文件夹里还有一个只差大小写的同名文件，Windows按这两个名字打开的是同一个文件";
    case EntryReason::kNoClientCode:
        return "文件名不是“前缀_客户代码_其余”的形式，没有客户代码";
    case EntryReason::kCodeNotMapped:
        return "客户代码“" + decision.clientCode + "”在代码对应中没有";
    case EntryReason::kCodeRefused:
        return "客户代码“" + decision.clientCode + "”的代码对应被跳过：网商代码太长，或者不是一个文件夹名";
    case EntryReason::kPairToDelivery:
        return "客户代码“" + decision.clientCode + "”对应的网商代码“" + decision.platformCode
               + "”的文件夹是本机构的交付文件夹或者它的Backup，导出到那里的文件会被导入取回，所以不导出";
    case EntryReason::kTargetTooLong:
        return "目标路径超过Windows的路径长度限制（259个字符）";
    case EntryReason::kArchiveTooLong:
        return "备份路径超过Windows的路径长度限制（259个字符），文件无法备份，导入不取它";
    case EntryReason::kBackupName:
        return "名为Backup的文件占着备份文件夹的位置，它不是送来的文件，送来的文件也都无法备份";
    case EntryReason::kUnfinishedClaim:
        return "上次导入没有做完：文件已经从交付文件夹取走，在Backup里等着，下次导入会完成";
    case EntryReason::kClaimOfOtherReceiveDirectory:
        return "以前导入到另一个接收目录时没有做完：文件已经从交付文件夹取走，在Backup里等着导入到那个接收目录时完成，"
               "导入到现在的接收目录不会处理它。请把接收目录改回当时的那个，导入一次";
    default:
        return "";
    }
}

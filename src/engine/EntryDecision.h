// What a run does with one entry of the folder it walks, and why: the one answer that the run acts on
// and that the settings check's dry run shows.
#pragma once
#include "framework/Catalogue.h"

#include <string>

enum class EntryAction {
    kPassOver, // not a file to transfer: a folder or a temporary copy
    kStay,     // a file the run leaves where it is
    kCopy,     // a file the run copies to target (and then deletes or archives)
    kArchive,  // import: an earlier run's claim that was handed over already: the run only archives it
};

enum class EntryReason {
    kNone,
    kFolder,        // folders are never entered
    kTemporary,     // a copy in progress or left by an interrupted one
    kNameNotGbk,    // the name holds characters that GBK cannot give back exactly: no file can be opened
                    // by the name the run has of it
    kNameTrailingDotOrBlank, // the name ends in a dot or a blank, which the platform drops when the
                             // file is opened by it
    kNameDevice,    // the name is a device's (CON.txt): the platform opens the device by it
    kNameCaseTwin,  // another file of the folder has this name but for letter case: the platform opens
                    // one of the two by either name
    kNoClientCode,  // the name is not prefix_code_rest
    kCodeNotMapped, // the mapping has no pair for the client code
    kCodeRefused,   // the mapping's pair for the client code is left out (over-long or escaping code)
    kPairToDelivery, // the pair's platform folder is the user's own delivery folder or its Backup: the
                     // next import would take the file back as a delivery, or it would lie among the archive
    kTargetTooLong, // the target path would not fit the platform's path limit
    kTargetIsFolder, // a folder stands where the copy goes: the platform renames nothing over it
    kArchiveTooLong, // import: the file's path in Backup would not fit it, so the file could not be
                     // archived and would be delivered again by every run
    kBackupName,     // import: a file named Backup, where the archive folder belongs; no delivery
    kUnfinishedClaim, // import: a delivery that an earlier run claimed and did not finish handing over;
                      // the next run finishes it
    kClaimOfOtherReceiveDirectory, // import: a delivery that an import into another receive directory
                                   // (one set before) claimed and did not finish; only an import into
                                   // that one finishes it
};

struct EntryDecision {
    EntryAction action = EntryAction::kPassOver;
    EntryReason reason = EntryReason::kNone;
    std::string name;
    std::string source;
    // Export: the client code of the name, and its platform code when mapped.
    std::string clientCode;
    std::string platformCode;
    // Where a copy goes: folder, and folder\name.
    std::string targetFolder;
    std::string target;
    // Import: the Backup folder that the copied file is moved into.
    std::string backupFolder;
};

// The catalogue of reasons: for each, its code in the plan's table, its words in the record and in the
// plan (%c stands for the client code, %p for the platform code) and what the settings check tells to
// do about it ("" where there is nothing to do: the run passes the entry over or finishes it itself).
struct ReasonRow {
    EntryReason value;
    const char* code;
    const char* words;
    const char* remedy;
};

inline constexpr ReasonRow kReasons[] = {
    { EntryReason::kNone, "", "", "" },
    { EntryReason::kFolder, "folder", "是文件夹，插件不进入文件夹", "" },
    { EntryReason::kTemporary, "temporary", "是复制用的临时文件（复制正在进行，或者被中断），插件不处理", "" },
    { EntryReason::kNameNotGbk, "name-not-gbk", "文件名含有GBK以外的字符（显示为“?”），插件无法按这个名字打开它",
      "请只用GBK字符给它改名" },
    { EntryReason::kNameTrailingDotOrBlank, "name-trailing-dot-or-blank",
      "文件名以点或空格结尾，Windows按这个名字会打开另一个文件或者找不到它", "请给它改一个不以点或空格结尾的名字" },
    { EntryReason::kNameDevice, "name-device",
      "文件名是CON、NUL、COM1这样的设备名，Windows按这个名字打开的是设备，不是这个文件", "请给它改一个不是设备名的名字" },
    { EntryReason::kNameCaseTwin, "name-case-twin",
      "同一个文件夹里还有一个只差大小写的同名文件，Windows按这两个名字打开的是同一个文件", "请把两个文件中的一个改名或移走" },
    { EntryReason::kNoClientCode, "no-client-code", "文件名不是“前缀_客户代码_其余”的形式，没有客户代码",
      "要导出它，请按这个形式给它命名" },
    { EntryReason::kCodeNotMapped, "code-not-mapped", "客户代码“%c”在代码对应中没有",
      "要导出它，请在“代码对应”页增加%c的对应" },
    { EntryReason::kCodeRefused, "code-refused", "客户代码“%c”的代码对应被跳过：网商代码太长，或者不是一个文件夹名",
      "请按上面这个对应的[错误]行改正它" },
    { EntryReason::kPairToDelivery, "pair-to-delivery",
      "客户代码“%c”对应的网商代码“%p”的文件夹是本机构的交付文件夹或者它的Backup，导出到那里的文件会被导入取回，所以不导出",
      "请按上面这个网商代码的[错误]行改正它" },
    { EntryReason::kTargetTooLong, "target-too-long", "目标路径超过Windows的路径长度限制（259个字符）",
      "请缩短文件名，或者缩短目标文件夹（数据文件存放路径或源数据接收目录）的路径" },
    { EntryReason::kTargetIsFolder, "target-is-folder", "目标位置是一个文件夹", "请把这个文件夹改名或移走" },
    { EntryReason::kArchiveTooLong, "archive-too-long",
      "备份路径超过Windows的路径长度限制（259个字符），文件无法备份，导入不取它", "请把交付文件夹里的这个文件改成短一些的名字" },
    { EntryReason::kBackupName, "backup-name",
      "名为Backup的文件占着备份文件夹的位置，它不是送来的文件，送来的文件也都无法备份", "请把这个文件改名或移走" },
    { EntryReason::kUnfinishedClaim, "unfinished-claim",
      "上次导入没有做完：文件已经从交付文件夹取走，在Backup里等着，下次导入会完成", "" },
    // What to do is part of the words, so that the record says it too.
    { EntryReason::kClaimOfOtherReceiveDirectory, "claim-of-other-receive-directory",
      "以前导入到另一个接收目录时没有做完：文件已经从交付文件夹取走，在Backup里等着导入到那个接收目录时完成，"
      "导入到现在的接收目录不会处理它。请把接收目录改回当时的那个，导入一次",
      "" },
};
static_assert(HasOneRowPerValue(kReasons, EntryReason::kClaimOfOtherReceiveDirectory),
              "one row for each reason, in order");

// The words of the decision's reason, its codes filled in; "" for no reason.
std::string ReasonText(const EntryDecision& decision);
// The words of pattern, %c and %p filled in with the decision's client and platform code.
std::string FillCodes(const char* pattern, const EntryDecision& decision);

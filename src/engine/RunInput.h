// What a run works on, read once where the run starts, and whether it may start at all: settings
// missing, a user organisation ID it cannot use, or folders that overlap in a way that would overwrite,
// loop or deliver files twice.
#pragma once
#include "framework/Catalogue.h"
#include "settings/Settings.h"

#include <string>
#include <vector>

enum class RunKind { kExport, kImport };

// The user organisation ID as the application read it at load. A stored ID longer than 16 bytes is
// never cut (a cut ID could name another organisation's folder): strValue stays empty and bTooLong is
// set.
struct UserOrgID {
    std::string strValue;
    bool bTooLong = false;
};
// The user organisation ID of the value stored.
UserOrgID UserOrgIDOf(const std::string& stored);

struct RunInput {
    std::string strSourcePath;
    std::string strExportLocation;
    std::string strDestPath;
    bool bDeleteAfterCopy = false;
    std::vector<settings::OrgMapping> mappings;
    UserOrgID userOrgID;
    // The platform codes of the usable pairs whose folder is the delivery folder or its Backup
    // (DeliveryPairCodes): an export leaves their files where they are.
    std::vector<std::string> deliveryPairCodes;
};

// The input as the settings hold it now ("SourcePath", "ExportLocation", "DestPath", "IsDeleted" and
// OrgMap.ini), for that user organisation ID.
RunInput ReadRunInput(const UserOrgID& userOrgID);

// The folder the platform delivers the user's files to: ExportLocation\UserOrgID, or the data-file
// location itself for an empty ID. Its Backup subfolder holds what imports took.
std::string DeliveryFolder(const RunInput& input);
extern const char kBackupFolder[];
// The platform codes of the usable pairs whose folder, below the data-file location, is the delivery
// folder or its Backup, as the file system names folders; none without a data-file location or with a
// user organisation ID that imports refuse.
std::vector<std::string> DeliveryPairCodes(const RunInput& input);

// Why a run must not start.
enum class Refusal {
    kNone,
    kNoSourcePath,
    kNoExportLocation,
    kNoDestPath,
    kUserOrgIDTooLong,
    kUserOrgIDNotAFolder,
    kNoUserOrgID,
    kSendReceiveOverlap,
    kSourceInPlatformFolder,
    kSourceInDelivery,
    kDestInDelivery,
    kDestInPlatformFolder,
    kImportFromSource,
    kDeliveryInSource,
    kDeliveryIsWorkFolder,
};

// The catalogue of refusals: for each, its code, the words of its message box and its record line (%p
// stands for the platform code of the folder it names) and what to do about it, which the box and the
// line say after them.
struct RefusalRow {
    Refusal value;
    const char* code;
    const char* words;
    const char* remedy;
};

inline constexpr char kSetItOnTheSheet[] = "请在“接口参数设置”中设置";
inline constexpr RefusalRow kRefusals[] = {
    { Refusal::kNone, "", "", "" },
    { Refusal::kNoSourcePath, "no-source-path", "还没有设置源数据文件发送路径，", kSetItOnTheSheet },
    { Refusal::kNoExportLocation, "no-export-location", "还没有设置数据文件存放路径，", kSetItOnTheSheet },
    { Refusal::kNoDestPath, "no-dest-path", "还没有设置源数据文件接收路径，", kSetItOnTheSheet },
    { Refusal::kUserOrgIDTooLong, "user-org-id-too-long",
      "用户机构代码（UserOrgID）超过16个字节（8个汉字）的长度限制，不能导入数据。", "请检查“UserOrgID”的设置" },
    { Refusal::kUserOrgIDNotAFolder, "user-org-id-not-a-folder",
      "用户机构代码（UserOrgID）不是数据文件存放路径下的一个文件夹名，不能导入数据。", "请检查“UserOrgID”的设置" },
    { Refusal::kNoUserOrgID, "no-user-org-id", "宿主程序还没有设定用户机构代码（UserOrgID），不能导入数据。",
      "请在宿主程序里设定用户机构代码，然后重新启动宿主程序（插件只在宿主程序加载它时读取这个代码）" },
    { Refusal::kSendReceiveOverlap, "send-receive-overlap",
      "源数据接收目录（DestPath）和源数据发送目录（SourcePath）是同一个文件夹，或者一个在另一个里面，导入的文件会被下一次"
      "导出传送给别的机构并删除，不能导出或导入数据。",
      "请检查“DestPath”和“SourcePath”的设置" },
    { Refusal::kSourceInPlatformFolder, "source-in-platform-folder",
      "源数据发送目录（SourcePath）是数据文件存放路径（ExportLocation）下网商代码“%p”的文件夹，或者在这个文件夹里面，"
      "导出的文件会覆盖源文件或者被再次传送，不能导出数据。",
      "请检查“SourcePath”和“ExportLocation”的设置" },
    { Refusal::kSourceInDelivery, "source-in-delivery",
      "源数据发送目录（SourcePath）是用户机构代码（UserOrgID）的交付文件夹，或者在这个文件夹里面，导出会把平台送来的文件再传送出去，"
      "不能导出数据。",
      "请检查“SourcePath”和“UserOrgID”的设置" },
    { Refusal::kDestInDelivery, "dest-in-delivery",
      "源数据接收目录（DestPath）是用户机构代码（UserOrgID）的交付文件夹，或者在这个文件夹里面（例如Backup），导入会覆盖送来的"
      "或备份的文件，不能导入数据。",
      "请检查“DestPath”和“UserOrgID”的设置" },
    { Refusal::kDestInPlatformFolder, "dest-in-platform-folder",
      "源数据接收目录（DestPath）是数据文件存放路径（ExportLocation）下网商代码“%p”的文件夹，或者在这个文件夹里面，"
      "导入的文件会被传送给这个机构，不能导入数据。",
      "请检查“DestPath”和“ExportLocation”的设置" },
    { Refusal::kImportFromSource, "import-from-source",
      "源数据发送目录（SourcePath）是用户机构代码（UserOrgID）的交付文件夹，或者在这个文件夹里面，导入会把等待导出的文件取走，"
      "不能导入数据。",
      "请检查“SourcePath”和“UserOrgID”的设置" },
    { Refusal::kDeliveryInSource, "delivery-in-source",
      "用户机构代码（UserOrgID）的交付文件夹在源数据发送目录（SourcePath）里面，导入会把等待导出的文件取走，不能导入数据。",
      "请检查“SourcePath”和“UserOrgID”的设置" },
    { Refusal::kDeliveryIsWorkFolder, "delivery-is-work-folder",
      "用户机构代码（UserOrgID）的交付文件夹是宿主程序的工作目录（OrgMap.ini和传送记录所在的文件夹），导入会把这些文件当作"
      "送来的文件取走，不能导入数据。",
      "请检查“UserOrgID”和“ExportLocation”的设置" },
};
static_assert(HasOneRowPerValue(kRefusals, Refusal::kDeliveryIsWorkFolder), "one row for each refusal, in order");

// A run's refusal, with the platform code of the folder it names, if any.
struct RunRefusal {
    Refusal value = Refusal::kNone;
    std::string platformCode;
};
// The words of the refusal's box and record line, its remedy included.
std::string RefusalText(const RunRefusal& refusal);

// Why a run of that kind must not start; kNone when it may. Nothing has been touched when a run is
// refused.
RunRefusal RefusalOf(const RunInput& input, RunKind kind);
// The part of that about folders that overlap (the send or receive directory being, or lying inside,
// a folder that the host exchanges with the platform, or the delivery folder being the current
// directory, which holds the INI files and the transfer record); kNone when they are apart.
RunRefusal FolderOverlap(const RunInput& input, RunKind kind);
// The import's refusal of a user organisation ID (too long, or not a folder name); kNone for one it
// takes, the empty one included.
Refusal UserOrgIDRefusal(const UserOrgID& id);

#include "engine/RunInput.h"

#include "engine/OrgCodeTable.h"
#include "engine/TransferEngine.h"
#include "framework/ChildName.h"
#include "framework/FolderPlace.h"
#include "framework/Path.h"
#include "framework/SameName.h"

namespace {

const char kNoSourcePath[] = "还没有设置源数据文件发送路径，请在“接口参数设置”中设置";
const char kNoExportLocation[] = "还没有设置数据文件存放路径，请在“接口参数设置”中设置";
const char kNoDestPath[] = "还没有设置源数据文件接收路径，请在“接口参数设置”中设置";
const char kUserOrgIDTooLong[] =
    "用户机构代码（UserOrgID）超过16个字节（8个汉字）的长度限制，不能导入数据。请检查“UserOrgID”的设置";
const char kNoUserOrgID[] =
    "宿主程序还没有设定用户机构代码（UserOrgID），不能导入数据。请在宿主程序里设定用户机构代码，然后重新启动宿主程序"
    "（插件只在宿主程序加载它时读取这个代码）";
const char kSendReceiveOverlap[] =
    "源数据接收目录（DestPath）和源数据发送目录（SourcePath）是同一个文件夹，或者一个在另一个里面，导入的文件会被下一次"
    "导出传送给别的机构并删除，不能导出或导入数据。请检查“DestPath”和“SourcePath”的设置";
const char kUserOrgIDNotAFolder[] =
    "用户机构代码（UserOrgID）不是数据文件存放路径下的一个文件夹名，不能导入数据。请检查“UserOrgID”的设置";

// An empty ID makes the data-file location itself the delivery folder; any other ID must name a
// folder directly below it, or a run would drain and archive some other folder.
bool IsUsable(const UserOrgID& id)
{
    return !id.bTooLong && (id.strValue.empty() || IsChildName(id.strValue));
}

// The platform code of the usable pair whose folder below the data-file location is folder or holds
// it, or "".
std::string PlatformFolderHolding(const CFolderPlace& folder, const RunInput& input)
{
    const CFolderPlace location(input.strExportLocation);
    if (!folder.IsSameOrInside(location))
        return "";
    for (const settings::OrgMapping& mapping : input.mappings) {
        if (COrgCodeTable::IsUsable(mapping) && folder.IsSameOrInside(CFolderPlace(location, mapping.platformCode)))
            return mapping.platformCode;
    }
    return "";
}

// Files imported into the send directory, or into a folder that holds it or lies in it, are sent on by the
// next export.
std::string SendReceiveOverlap(const RunInput& input)
{
    if (input.strSourcePath.empty() || input.strDestPath.empty())
        return "";
    const CFolderPlace source(input.strSourcePath), dest(input.strDestPath);
    return dest.IsSameOrInside(source) || source.IsSameOrInside(dest) ? kSendReceiveOverlap : "";
}

CFolderPlace DeliveryPlace(const RunInput& input)
{
    return CFolderPlace(DeliveryFolder(input));
}

std::string ExportOverlap(const RunInput& input)
{
    const CFolderPlace source(input.strSourcePath);
    const std::string code = PlatformFolderHolding(source, input);
    if (!code.empty())
        return "源数据发送目录（SourcePath）是数据文件存放路径（ExportLocation）下网商代码“" + code
               + "”的文件夹，或者在这个文件夹里面，导出的文件会覆盖源文件或者被再次传送，不能导出数据。请检查“SourcePath”和“ExportLocation”的设置";
    // Without a user organisation ID of its own a plug-in that only exports knows no delivery folder.
    if (!input.userOrgID.strValue.empty() && IsUsable(input.userOrgID) && source.IsSameOrInside(DeliveryPlace(input)))
        return "源数据发送目录（SourcePath）是用户机构代码（UserOrgID）的交付文件夹，或者在这个文件夹里面，导出会把平台送来的文件再传送出去，不能导出数据。请检查“SourcePath”和“UserOrgID”的设置";
    return SendReceiveOverlap(input);
}

std::string ImportOverlap(const RunInput& input)
{
    const CFolderPlace dest(input.strDestPath);
    const CFolderPlace delivery = DeliveryPlace(input);
    if (dest.IsSameOrInside(delivery))
        return "源数据接收目录（DestPath）是用户机构代码（UserOrgID）的交付文件夹，或者在这个文件夹里面（例如Backup），导入会覆盖送来的或备份的文件，不能导入数据。请检查“DestPath”和“UserOrgID”的设置";
    const std::string code = PlatformFolderHolding(dest, input);
    if (!code.empty())
        return "源数据接收目录（DestPath）是数据文件存放路径（ExportLocation）下网商代码“" + code
               + "”的文件夹，或者在这个文件夹里面，导入的文件会被传送给这个机构，不能导入数据。请检查“DestPath”和“ExportLocation”的设置";
    const std::string sendReceive = SendReceiveOverlap(input);
    if (!sendReceive.empty())
        return sendReceive;
    // An import from the send directory, from a folder inside it or from one that holds it would take
    // the files that wait to be exported.
    if (!input.strSourcePath.empty()) {
        const CFolderPlace source(input.strSourcePath);
        if (source.IsSameOrInside(delivery))
            return "源数据发送目录（SourcePath）是用户机构代码（UserOrgID）的交付文件夹，或者在这个文件夹里面，导入会把等待导出的文件取走，不能导入数据。请检查“SourcePath”和“UserOrgID”的设置";
        if (delivery.IsSameOrInside(source))
            return "用户机构代码（UserOrgID）的交付文件夹在源数据发送目录（SourcePath）里面，导入会把等待导出的文件取走，不能导入数据。请检查“SourcePath”和“UserOrgID”的设置";
    }
    // The host's working directory holds the INI files and the transfer record, which an import from it
    // would take as deliveries.
    const CFolderPlace work(GetCurrentDir());
    if (delivery.IsSameOrInside(work) && work.IsSameOrInside(delivery))
        return "用户机构代码（UserOrgID）的交付文件夹是宿主程序的工作目录（OrgMap.ini和传送记录所在的文件夹），导入会把这些文件当作送来的文件取走，不能导入数据。请检查“UserOrgID”和“ExportLocation”的设置";
    return "";
}

} // namespace

const char kBackupFolder[] = "Backup";

RunInput ReadRunInput(const UserOrgID& userOrgID)
{
    RunInput input;
    // Each folder is resolved once, here: a relative value would otherwise lead elsewhere as soon as the
    // host changes its current directory during the run.
    input.strSourcePath = ResolveFolderPath(settings::GetString(settings::kSourcePath));
    input.strExportLocation = ResolveFolderPath(settings::GetString(settings::kExportLocation));
    input.strDestPath = ResolveFolderPath(settings::GetString(settings::kDestPath));
    input.bDeleteAfterCopy = settings::GetInt(settings::kIsDeleted) != 0;
    input.mappings = settings::ReadOrgMappings();
    input.userOrgID = userOrgID;
    input.deliveryPairCodes = DeliveryPairCodes(input);
    return input;
}

std::vector<std::string> DeliveryPairCodes(const RunInput& input)
{
    std::vector<std::string> codes;
    if (input.strExportLocation.empty() || !IsUsable(input.userOrgID))
        return codes;
    const CFolderPlace location(input.strExportLocation);
    const CFolderPlace delivery = DeliveryPlace(input);
    const CFolderPlace backup(delivery, kBackupFolder);
    // The folder below the data-file location that is one of them, spelled in full; another code can name
    // it only as a short (8.3) name. Only these are asked of the file system.
    const char* const own = input.userOrgID.strValue.empty() ? kBackupFolder : input.userOrgID.strValue.c_str();
    for (const settings::OrgMapping& mapping : input.mappings) {
        if (!COrgCodeTable::IsUsable(mapping)
            || (!IsSameName(mapping.platformCode, own) && mapping.platformCode.find('~') == std::string::npos))
            continue;
        const CFolderPlace folder(location, mapping.platformCode);
        if ((folder.IsSameOrInside(delivery) && delivery.IsSameOrInside(folder))
            || (folder.IsSameOrInside(backup) && backup.IsSameOrInside(folder)))
            codes.push_back(mapping.platformCode);
    }
    return codes;
}

std::string DeliveryFolder(const RunInput& input)
{
    return input.userOrgID.strValue.empty() ? input.strExportLocation
                                            : JoinPath(input.strExportLocation, input.userOrgID.strValue);
}

std::string FolderOverlap(const RunInput& input, RunKind kind)
{
    if (input.strExportLocation.empty())
        return "";
    if (kind == RunKind::kExport)
        return input.strSourcePath.empty() ? "" : ExportOverlap(input);
    return input.strDestPath.empty() || !IsUsable(input.userOrgID) ? "" : ImportOverlap(input);
}

std::string RefusalOf(const RunInput& input, RunKind kind)
{
    if (kind == RunKind::kExport) {
        if (input.strSourcePath.empty())
            return kNoSourcePath;
    } else {
        if (input.userOrgID.bTooLong)
            return kUserOrgIDTooLong;
        if (!IsUsable(input.userOrgID))
            return kUserOrgIDNotAFolder;
        // Without the code an import would take the files at the root of the data-file location.
        if (input.userOrgID.strValue.empty())
            return kNoUserOrgID;
        if (input.strDestPath.empty())
            return kNoDestPath;
    }
    if (input.strExportLocation.empty())
        return kNoExportLocation;
    return FolderOverlap(input, kind);
}

#include "engine/RunInput.h"

#include "engine/OrgCodeTable.h"
#include "engine/TransferEngine.h"
#include "framework/ChildName.h"
#include "framework/FolderPlace.h"
#include "framework/Path.h"
#include "framework/SameName.h"

namespace {

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
RunRefusal SendReceiveOverlap(const RunInput& input)
{
    if (input.strSourcePath.empty() || input.strDestPath.empty())
        return {};
    const CFolderPlace source(input.strSourcePath), dest(input.strDestPath);
    return { dest.IsSameOrInside(source) || source.IsSameOrInside(dest) ? Refusal::kSendReceiveOverlap : Refusal::kNone };
}

CFolderPlace DeliveryPlace(const RunInput& input)
{
    return CFolderPlace(DeliveryFolder(input));
}

RunRefusal ExportOverlap(const RunInput& input)
{
    const CFolderPlace source(input.strSourcePath);
    const std::string code = PlatformFolderHolding(source, input);
    if (!code.empty())
        return { Refusal::kSourceInPlatformFolder, code };
    // Without a user organisation ID of its own a plug-in that only exports knows no delivery folder.
    if (!input.userOrgID.strValue.empty() && IsUsable(input.userOrgID) && source.IsSameOrInside(DeliveryPlace(input)))
        return { Refusal::kSourceInDelivery };
    return SendReceiveOverlap(input);
}

RunRefusal ImportOverlap(const RunInput& input)
{
    const CFolderPlace dest(input.strDestPath);
    const CFolderPlace delivery = DeliveryPlace(input);
    if (dest.IsSameOrInside(delivery))
        return { Refusal::kDestInDelivery };
    const std::string code = PlatformFolderHolding(dest, input);
    if (!code.empty())
        return { Refusal::kDestInPlatformFolder, code };
    const RunRefusal sendReceive = SendReceiveOverlap(input);
    if (sendReceive.value != Refusal::kNone)
        return sendReceive;
    // An import from the send directory, from a folder inside it or from one that holds it would take
    // the files that wait to be exported.
    if (!input.strSourcePath.empty()) {
        const CFolderPlace source(input.strSourcePath);
        if (source.IsSameOrInside(delivery))
            return { Refusal::kImportFromSource };
        if (delivery.IsSameOrInside(source))
            return { Refusal::kDeliveryInSource };
    }
    // The host's working directory holds the INI files and the transfer record, which an import from it
    // would take as deliveries.
    const CFolderPlace work(GetCurrentDir());
    if (delivery.IsSameOrInside(work) && work.IsSameOrInside(delivery))
        return { Refusal::kDeliveryIsWorkFolder };
    return {};
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

RunRefusal FolderOverlap(const RunInput& input, RunKind kind)
{
    if (input.strExportLocation.empty())
        return {};
    if (kind == RunKind::kExport)
        return input.strSourcePath.empty() ? RunRefusal() : ExportOverlap(input);
    return input.strDestPath.empty() || !IsUsable(input.userOrgID) ? RunRefusal() : ImportOverlap(input);
}

UserOrgID UserOrgIDOf(const std::string& stored)
{
    UserOrgID id;
    id.bTooLong = stored.size() > settings::kUserOrgIDMax;
    if (!id.bTooLong)
        id.strValue = stored;
    return id;
}

Refusal UserOrgIDRefusal(const UserOrgID& id)
{
    return id.bTooLong ? Refusal::kUserOrgIDTooLong : IsUsable(id) ? Refusal::kNone : Refusal::kUserOrgIDNotAFolder;
}

RunRefusal RefusalOf(const RunInput& input, RunKind kind)
{
    if (kind == RunKind::kExport) {
        if (input.strSourcePath.empty())
            return { Refusal::kNoSourcePath };
    } else {
        if (UserOrgIDRefusal(input.userOrgID) != Refusal::kNone)
            return { UserOrgIDRefusal(input.userOrgID) };
        // Without the code an import would take the files at the root of the data-file location.
        if (input.userOrgID.strValue.empty())
            return { Refusal::kNoUserOrgID };
        if (input.strDestPath.empty())
            return { Refusal::kNoDestPath };
    }
    if (input.strExportLocation.empty())
        return { Refusal::kNoExportLocation };
    return FolderOverlap(input, kind);
}

std::string RefusalText(const RunRefusal& refusal)
{
    const RefusalRow& row = RowOf(kRefusals, refusal.value);
    return FillIn(row.words, "p", &refusal.platformCode) + row.remedy;
}

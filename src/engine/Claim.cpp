#include "engine/Claim.h"

#include "engine/TransferEngine.h"
#include "framework/Path.h"
#include "framework/SameName.h"

#include <cstring>

namespace {

const char kClaimFolderPrefix[] = ".~qrvlnk-claims-";
const char kClaimCopyPrefix[] = ".~qrvlnk-claim-";
const char kLockSuffix[] = ".lock";

// "<volume>-<file index>" of the folder at path; "" when it cannot be opened as a folder.
std::string FolderIdentity(const std::string& path)
{
    CFileHandle dir(::CreateFileW(WidePath(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info;
    if (!dir.IsValid() || !::GetFileInformationByHandle(dir, &info))
        return "";
    if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        ::SetLastError(ERROR_DIRECTORY);
        return "";
    }
    char identity[32];
    ::wsprintfA(identity, "%08lx-%08lx%08lx", info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow);
    return identity;
}

} // namespace

std::string ClaimFolderOf(const std::string& backupFolder, const std::string& destPath)
{
    const std::string identity = FolderIdentity(destPath);
    return identity.empty() ? "" : JoinPath(backupFolder, kClaimFolderPrefix + identity);
}

std::string ClaimCopyMark(const std::string& backupFolder)
{
    return FolderIdentity(backupFolder);
}

std::string ClaimCopyName(const std::string& mark, const std::string& name)
{
    // FNV-1a (64 bits) of the mark and the name in capitals, as the file system compares names.
    const WideText wide = NameKey(ToWide(mark + "\\" + name));
    unsigned long long hash = 14695981039346656037ULL;
    for (const wchar_t c : wide) {
        for (int shift = 0; shift < 16; shift += 8)
            hash = (hash ^ ((static_cast<unsigned>(c) >> shift) & 0xff)) * 1099511628211ULL;
    }
    char text[96];
    ::wsprintfA(text, "%s%s-%08lx%08lx.part", kClaimCopyPrefix, mark.c_str(), static_cast<unsigned long>(hash >> 32),
                static_cast<unsigned long>(hash & 0xffffffff));
    return text;
}

bool IsClaimCopyName(const char* name)
{
    return std::strncmp(name, kClaimCopyPrefix, sizeof(kClaimCopyPrefix) - 1) == 0
           && CTransferEngine::IsTemporaryName(name);
}

void RemoveOrphanedClaimCopies(const ClaimFolder& claims, const std::string& destPath)
{
    const std::string noFileIndex = "-0000000000000000";
    if (claims.mark.size() <= noFileIndex.size()
        || claims.mark.compare(claims.mark.size() - noFileIndex.size(), noFileIndex.size(), noFileIndex) == 0)
        return;
    std::vector<std::string> owned;
    CFolderList list(claims.path);
    FolderEntry entry;
    while (list.Next(&entry)) {
        if (entry.fault != NameFault::kNone)
            return;
        owned.push_back(ClaimCopyName(claims.mark, entry.name));
    }
    if (list.Error() != 0)
        return;
    const std::string prefix = kClaimCopyPrefix + claims.mark + "-";
    CFolderList copies(destPath, prefix + "*");
    while (copies.Next(&entry)) {
        if (entry.IsFolder() || entry.name.compare(0, prefix.size(), prefix) != 0 || !IsClaimCopyName(entry.name.c_str()))
            continue;
        bool isOwned = false;
        for (const std::string& name : owned)
            isOwned = isOwned || IsSameName(name, entry.name);
        if (!isOwned)
            ::DeleteFileW(WidePath(JoinPath(destPath, entry.name)).c_str());
    }
}

std::vector<ClaimElsewhere> ClaimsOfOtherReceiveDirectories(const std::string& backupFolder,
                                                            const std::string& ownClaimFolder)
{
    std::vector<ClaimElsewhere> claims;
    // Its name is ASCII: the last backslash is the one before it.
    const std::string own = ownClaimFolder.substr(ownClaimFolder.rfind('\\') + 1);
    CFolderList folders(backupFolder, std::string(kClaimFolderPrefix) + "*");
    FolderEntry folder;
    while (folders.Next(&folder)) {
        if (!folder.IsFolder() || folder.fault != NameFault::kNone || IsSameName(folder.name, own)
            || folder.name.compare(0, sizeof(kClaimFolderPrefix) - 1, kClaimFolderPrefix) != 0)
            continue;
        const std::string path = JoinPath(backupFolder, folder.name);
        CClaimLock lock;
        if (lock.Take(path, 0) != 0)
            continue;
        for (const FolderEntry& entry : ListFolder(path)) {
            if (!entry.IsFolder())
                claims.push_back({ path, entry });
        }
    }
    return claims;
}

DWORD CClaimLock::Take(const std::string& claimFolder, DWORD dwRetryPauseMs)
{
    // Beside the claim folder, so that the folder can go once it is empty.
    const WideText path = WidePath(claimFolder + kLockSuffix);
    for (int attempt = 1;; ++attempt) {
        m_file.Attach(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
        if (m_file.IsValid())
            return 0;
        // A lock file held, or going with its holder.
        const DWORD error = ::GetLastError();
        if ((error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED) || attempt >= CTransferEngine::kCopyAttempts)
            return error == ERROR_ACCESS_DENIED ? ERROR_SHARING_VIOLATION : error;
        ::Sleep(dwRetryPauseMs);
    }
}

// How an import hands a delivery over exactly once, however many runs work on one delivery folder and
// wherever a run is cut off. The receive directory's copy of a delivery is written first, under a name
// of its own beside the target (ClaimCopyName), and flushed; then the delivery is claimed: renamed into
// the claim folder of that receive directory inside Backup, with the delivery still held open against
// writers. Only one run can win that rename, and it happens only once the copy is whole. Then the copy
// is renamed over the target, and the claimed delivery moves on into Backup as its archive.
//
// The copy's name carries the identity of Backup (the mark) and a hash of the delivery's name, so that
// imports from two delivery folders into one receive directory never write the same copy, and each
// import knows its own copies: a copy of its mark that no claim of its claim folder owns was left by a
// run that lost the claim to another run or was ended before its claim, and is removed by the next
// import that holds the lock (RemoveOrphanedClaimCopies). A copy of another mark is never touched.
//
// What a run left behind is finished by the next import into the same receive directory, decided from
// these marks alone: a claimed delivery whose copy is still beside the target has the copy renamed over
// it and is archived; one whose copy is gone was handed over already and is only archived. The claim
// folder is named by the receive directory's identity (volume and file index), so every spelling of
// that directory finds it, and one import at a time works with it (CClaimLock). Claims in the claim
// folder of another receive directory (one set before) wait for an import into that one; an import
// names them (ClaimsOfOtherReceiveDirectories) and leaves them.
#pragma once
#include "framework/FolderList.h"
#include "framework/Handle.h"

#include <string>
#include <vector>

// Where the imports from one delivery folder into one receive directory keep their claims.
struct ClaimFolder {
    std::string path; // the claim folder inside Backup
    std::string mark; // what names the copies of these claims apart from other delivery folders' ones
};
// The claim folder inside backupFolder of the receive directory destPath; "" when destPath cannot be
// opened as a folder (its error is left in GetLastError).
std::string ClaimFolderOf(const std::string& backupFolder, const std::string& destPath);
// The mark of the copies of claims kept in backupFolder; "" when it cannot be opened as a folder (its
// error is left in GetLastError).
std::string ClaimCopyMark(const std::string& backupFolder);
// The name that the copy of the claimed delivery name is written under in the receive directory: one
// for each name (letter case aside) and mark, a temporary copy's name that listings pass over.
std::string ClaimCopyName(const std::string& mark, const std::string& name);
// True for the name of such a copy.
bool IsClaimCopyName(const char* name);
// Removes from destPath the copies of claims.mark for which claims.path holds no claim. Only for the
// holder of the claim folder's lock, before it writes a copy: no other run writes a copy of this mark
// into destPath meanwhile, and an earlier one either claimed its copy's delivery or never will. Removes
// nothing when the claim folder cannot be listed whole or holds a name whose copy's name is not known
// exactly, or when the mark has no file index (a network file system that gives none could give
// another Backup the same mark).
void RemoveOrphanedClaimCopies(const ClaimFolder& claims, const std::string& destPath);

// A claim waiting in the claim folder of another receive directory.
struct ClaimElsewhere {
    std::string folder; // its claim folder
    FolderEntry entry;
};
// The claims in the claim folders in backupFolder other than ownClaimFolder whose import is not under
// way (their lock is free): deliveries that wait for an import into a receive directory that is not
// the one set now.
std::vector<ClaimElsewhere> ClaimsOfOtherReceiveDirectories(const std::string& backupFolder,
                                                            const std::string& ownClaimFolder);

// While held, no other import works with the claim folder. It goes with the process that holds it,
// however that ends; what is left on disk of it is taken over by the next holder.
class CClaimLock {
public:
    // Takes the lock of claimFolder, waiting a while for another holder to let it go; the error when it
    // cannot (ERROR_SHARING_VIOLATION: another import holds it), 0 when it is held.
    DWORD Take(const std::string& claimFolder, DWORD dwRetryPauseMs);
    bool IsHeld() const { return m_file.IsValid(); }

private:
    CFileHandle m_file;
};

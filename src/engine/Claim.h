// How an import hands a delivery over exactly once, however many runs work on one delivery folder and
// wherever a run is cut off. The receive directory's copy of a delivery is written first, under a name
// of its own beside the target (ClaimCopyName), and flushed; then the delivery is claimed: renamed into
// the claim folder of that receive directory inside Backup, with the delivery still held open against
// writers. Only one run can win that rename, and it happens only once the copy is whole. Then the copy
// is renamed over the target, and the claimed delivery moves on into Backup as its archive.
//
// The copy's name is made from the delivery's name and the identity of Backup, so that imports from two
// delivery folders into one receive directory never write the same copy.
//
// What a run left behind is finished by the next import into the same receive directory, decided from
// these marks alone: a claimed delivery whose copy is still beside the target has the copy renamed over
// it and is archived; one whose copy is gone was handed over already and is only archived. The claim
// folder is named by the receive directory's identity (volume and file index), so every spelling of
// that directory finds it, and one import at a time works with it (CClaimLock).
#pragma once
#include "framework/Handle.h"

#include <string>

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

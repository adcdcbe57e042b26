// What a run does with one entry of the folder it walks, and why: the one answer that the run acts on
// and that the settings check's dry run shows.
#pragma once
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

// Why a file stays where it is, in words, as the decision's reason gives it; "" for no reason.
std::string ReasonText(const EntryDecision& decision);

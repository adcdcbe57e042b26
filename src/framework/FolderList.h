// The entries of a folder, listed with the wide file functions and named in GBK. A name given here opens
// some other file, or none, when: GBK cannot hold it (the narrow functions hand back a best-fit spelling,
// â as a, ¹ as 1, which may be another file's name); it ends in a dot or a blank (the platform drops
// them from any name it is given); it is a device name (CON.txt opens the console); or the folder holds
// another file whose name differs from it only in case (a share from a server that tells them apart:
// Windows opens one of the two for either name). Such entries are listed with what is wrong with their
// name, and nobody may open them by the name given here.
#pragma once
#include "framework/Handle.h"

#include <windows.h>

#include <string>
#include <vector>

enum class NameFault {
    kNone,
    kNotGbk,              // holds a character that GBK cannot give back exactly
    kTrailingDotOrBlank,  // ends in a dot or a blank
    kDeviceName,          // names a device
    kCaseTwin,            // another file of the folder has this name but for letter case
};

struct FolderEntry {
    // The name in GBK; with a fault, a spelling for people to read ("?" for what GBK lacks).
    std::string name;
    NameFault fault = NameFault::kNone;
    DWORD attributes = 0;
    ULONGLONG size = 0;
    FILETIME lastWrite = {};

    bool IsFolder() const { return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
    bool IsDots() const { return name == "." || name == ".."; }
};

// Every entry of folder, as CFolderList lists them, case twins marked; empty when it cannot be listed.
std::vector<FolderEntry> ListFolder(const std::string& folder);

class CFolderList {
public:
    // The entries of folder whose names match pattern ("*" for all, "." and ".." included), in the file
    // system's order.
    explicit CFolderList(const std::string& folder, const std::string& pattern = "*");
    CFolderList(const CFolderList&) = delete;
    CFolderList& operator=(const CFolderList&) = delete;

    // False when the folder could not be listed (Error() says why) or has no entry of the pattern.
    bool IsValid() const { return m_find.IsValid(); }
    // Why the folder could not be listed, or its listing ended before the last entry; 0 for neither.
    DWORD Error() const { return m_dwError; }
    // The next entry; false after the last one.
    bool Next(FolderEntry* pEntry);

private:
    CFindHandle m_find;
    DWORD m_dwError;
    bool m_bPending;
    WIN32_FIND_DATAW m_data;
};

// The entries of a folder, listed with the wide file functions and named in GBK. The narrow functions
// hand back a best-fit spelling of a name that GBK cannot hold (â as a, ¹ as 1), which may be another
// file's name; and the platform drops a trailing dot or blank from any name it is given, so a name that
// ends in one opens another file or none. Such entries are listed with what is wrong with their name,
// and nobody may open them by the name given here.
#pragma once
#include "framework/Handle.h"

#include <windows.h>

#include <string>

enum class NameFault {
    kNone,
    kNotGbk,              // holds a character that GBK cannot give back exactly
    kTrailingDotOrBlank,  // ends in a dot or a blank
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

class CFolderList {
public:
    // The entries of folder whose names match pattern ("*" for all, "." and ".." included), in the file
    // system's order.
    explicit CFolderList(const std::string& folder, const std::string& pattern = "*");
    CFolderList(const CFolderList&) = delete;
    CFolderList& operator=(const CFolderList&) = delete;

    // False when the folder could not be listed (Error() says why) or has no entry of the pattern.
    bool IsValid() const { return m_find.IsValid(); }
    DWORD Error() const { return m_dwError; }
    // The next entry; false after the last one.
    bool Next(FolderEntry* pEntry);

private:
    CFindHandle m_find;
    DWORD m_dwError;
    bool m_bPending;
    WIN32_FIND_DATAW m_data;
};

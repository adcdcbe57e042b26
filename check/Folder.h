// Folders, entries and names as a run meets them.
#pragma once
#include "framework/FolderList.h"

#include <windows.h>
#include <string>
#include <vector>

namespace check {

// Why a run could not use dir (walk it with dir\*.*, copy into it), or "" when it can.
std::string FolderProblem(const std::string& dir);
// The entries of dir in the order a run meets them, as a run lists them, without "." and "..".
std::vector<FolderEntry> ListEntries(const std::string& dir);
enum class Entry { kNothing, kFile, kFolder };
// What is at path; readOnly tells a read-only file.
Entry EntryAt(const std::string& path, bool* readOnly = nullptr);

// The whole content of a file, read with every sharing allowed; false with the error when it cannot be
// opened.
bool ReadAll(const std::string& path, std::string* bytes, DWORD* error);

// Starts or ends with a blank (space, tab, or the full-width blank).
bool HasOuterBlanks(const std::string& text);

// Why a code is refused as the name of a folder below a directory.
extern const char kNotAFolderName[];

// The temporary files that interrupted copies left in dir long enough ago for a run to remove them
// before it copies into it.
std::vector<std::string> StaleTemporaryFiles(const std::string& dir);

} // namespace check

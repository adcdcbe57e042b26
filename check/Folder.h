// Folders, entries and names as a run meets them.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

namespace check {

// Why a run could not use dir (walk it with dir\*.*, copy into it), or "" when it can.
std::string FolderProblem(const std::string& dir);
// The entries of dir in the order a run meets them (the run's own search pattern), without "." and "..".
std::vector<WIN32_FIND_DATAA> ListEntries(const std::string& dir);
bool IsFolder(const WIN32_FIND_DATAA& entry);
enum class Entry { kNothing, kFile, kFolder };
// What is at path; readOnly tells a read-only file.
Entry EntryAt(const std::string& path, bool* readOnly = nullptr);

// The whole content of a file, read with every sharing allowed; false with the error when it cannot be
// opened.
bool ReadAll(const std::string& path, std::string* bytes, DWORD* error);

// Starts or ends with a blank (space, tab, or the full-width blank).
bool HasOuterBlanks(const std::string& text);
// The platform gives characters outside GBK as '?', which no real file name holds: a run cannot open
// such a file by that name.
bool HasUnmappedCharacters(const std::string& name);

// Why a code is refused as the name of a folder below a directory.
extern const char kNotAFolderName[];

// The temporary files that interrupted copies left in dir long enough ago for a run to remove them
// before it copies into it.
std::vector<std::string> StaleTemporaryFiles(const std::string& dir);

} // namespace check

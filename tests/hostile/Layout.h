// A generated workspace made real on disk under its root, and taken away again.
#pragma once
#include "Workspace.h"

#include <string>

namespace hostile {

// Makes the folders, files, links and the drive letter of ws (the root must not exist); false, with why,
// when some part could not be made.
bool Lay(const Workspace& ws, std::string* error);
// Removes the root with everything below it, and the drive letter.
void Clear(const Workspace& ws);
// Paths below the root for the wide file functions, whatever their length or last character.
std::wstring LongPath(const Workspace& ws, const std::wstring& path);
// Writes a new file of these bytes; false when it could not be made.
bool MakeFile(const std::wstring& longPath, const std::string& bytes, DWORD attributes = 0);
// The whole file's bytes, read with every sharing allowed; false when it cannot be read.
bool ReadBytes(const std::wstring& longPath, std::string* bytes);
// True when path is one of the links of ws.
bool IsLink(const Workspace& ws, const std::wstring& path);

} // namespace hostile

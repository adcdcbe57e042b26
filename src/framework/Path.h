// Paths as narrow GBK text, and the forms the platform resolves them to.
#pragma once
#include "framework/WideText.h"

#include <string>

// The process's current directory, whole. The ANSI call refuses a directory of MAX_PATH characters
// or more, so the wide one is asked and its answer converted; "" only when both fail.
std::string GetCurrentDir();

// path for the wide file functions. When its full form is MAX_PATH characters or longer it is given as
// "\\?\C:\..." or "\\?\UNC\server\share\...", which the platform takes whole.
WideText WidePath(const std::string& path);
WideText WidePath(const WideText& path);

// True when the plain (ANSI) file functions take path: it and its full form stay below MAX_PATH
// characters.
bool FitsMaxPath(const std::string& path);

// dir and name with one backslash between them, also when dir ends in one: a "\\?\" path is taken as
// it stands, and two backslashes in it name nothing.
std::string JoinPath(const std::string& dir, const std::string& name);

// True for a path that names one folder wherever the process stands: "X:\..." or "\\server\share...".
bool IsFullPath(const std::string& path);
// A folder path as it resolves now: a relative or drive-relative path (or one rooted on the current
// drive) taken against the current directory of its drive; a full or empty path as it is, and so is one
// whose full form GBK cannot give.
std::string ResolveFolderPath(const std::string& path);

// True when the wide text begins with prefix.
bool StartsWith(const WideText& text, const wchar_t* prefix);
// The full form of a wide path: "." and ".." resolved, "/" read as "\", relative to the current
// directory; the path itself when the platform cannot resolve it.
WideText FullPath(const WideText& path);

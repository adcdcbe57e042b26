// Paths as narrow GBK text, and the forms the platform resolves them to.
#pragma once
#include <string>
#include <vector>

// The process's current directory, whole. The ANSI call refuses a directory of MAX_PATH characters
// or more, so the wide one is asked and its answer converted; "" only when both fail.
std::string GetCurrentDir();

// A path in UTF-16, zero-terminated, for the wide file functions. (A vector, not a wide string: the
// DLL does not carry the library's wide-string code for this one use.)
class CWidePath {
public:
    explicit CWidePath(const std::vector<wchar_t>& text) : m_text(text) { m_text.push_back(L'\0'); }
    const wchar_t* c_str() const { return m_text.data(); }

private:
    std::vector<wchar_t> m_text;
};

// path for the wide file functions. When its full form is MAX_PATH characters or longer it is given as
// "\\?\C:\..." or "\\?\UNC\server\share\...", which the platform takes whole.
CWidePath WidePath(const std::string& path);
CWidePath WidePath(const std::vector<wchar_t>& path);

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
bool StartsWith(const std::vector<wchar_t>& text, const wchar_t* prefix);
// text (GBK) in UTF-16, without a terminator.
std::vector<wchar_t> ToWide(const std::string& text);
// The full form of a wide path: "." and ".." resolved, "/" read as "\", relative to the current
// directory; the path itself when the platform cannot resolve it.
std::vector<wchar_t> FullPath(const std::vector<wchar_t>& path);

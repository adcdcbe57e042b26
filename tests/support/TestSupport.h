// Test fixtures on the real platform: throwaway directories, the current directory, raw file text,
// and the test program's own registry key.
#pragma once
#include <windows.h>
#include <map>
#include <string>
#include <vector>

// In a loop over a table of cases: every failure inside names the case's index in the table.
#define TRACE_CASE(table, c) SCOPED_TRACE(::testing::Message() << "case " << (&(c) - &(table)[0]))

namespace test {

// A fresh directory under %TEMP%, removed with everything in it when the object goes.
class TempDir {
public:
    explicit TempDir(const std::string& tag = "t");
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return m_path; }
    std::string operator/(const std::string& name) const { return m_path + "\\" + name; }

private:
    std::string m_path;
};

// Makes dir the current directory for the object's lifetime.
class CurrentDir {
public:
    explicit CurrentDir(const std::string& dir);
    ~CurrentDir();

private:
    std::string m_previous;
};

// Empties the application's registry key before and after a test.
class CleanProfile {
public:
    CleanProfile();
    ~CleanProfile();
    static void Clear();
    // HKCU path of the section key: Software\Quorvane\<app name>\2.0.
    static std::string SectionPath();
};

// The registry section of the plug-in named app, HKCU\Software\Quorvane\<app>\2.0, removed with the
// application key before and after; values are written as raw data of any type.
class PluginProfile {
public:
    explicit PluginProfile(const std::string& app);
    ~PluginProfile();
    PluginProfile(const PluginProfile&) = delete;
    PluginProfile& operator=(const PluginProfile&) = delete;

    void Clear() const;
    void Set(const char* name, DWORD type, const std::string& bytes) const;
    // Text with its terminator, as REG_SZ or another string type.
    void SetString(const char* name, const std::string& text, DWORD type = REG_SZ) const;
    void SetDword(const char* name, DWORD value) const;
    void Delete(const char* name) const;

private:
    std::string m_app;
};

bool WriteFile(const std::string& path, const std::string& bytes);
std::string ReadFile(const std::string& path);
bool Exists(const std::string& path);
bool IsDirectory(const std::string& path);
bool MakeDir(const std::string& path);
void RemoveTree(const std::string& path);
// Names in a directory (no "." and ".."), sorted.
std::vector<std::string> ListDir(const std::string& dir);
// Every file below dir, by path, with its content; the folder skip and what it holds left out.
std::map<std::string, std::string> FilesBelow(const std::string& dir, const std::string& skip = "");
// A folder below under whose path has exactly length characters (ASCII), made with the folders above it.
std::string MakeDeepDir(const std::string& under, size_t length);
// The fields of one CSV line (no line end) as RFC 4180 reads them, read apart from the record's own
// reader: a field that begins with a quote runs to the quote that is not doubled (what follows it up to
// the comma is kept as it stands); any other field runs to the next comma.
std::vector<std::string> SplitCsvLine(const std::string& line);
// Registry values under HKCU\<SectionPath()>.
bool RegistryValue(const std::string& name, DWORD* type, std::string* data);

} // namespace test

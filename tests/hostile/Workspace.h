// One generated workspace, as data: the folders and how the settings name them, the files with their
// bytes, the settings, the runs the host makes and what a neighbour does meanwhile. Paths are relative to
// the workspace's root and name real folders; the settings may spell them otherwise.
#pragma once
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace hostile {

// How a setting writes its folder.
enum class Spelling {
    kPlain,             // root\folder
    kTrailingSeparator, // root\folder\ (the setup sheet never writes it, a registry editor may)
    kOtherCase,         // ROOT\FOLDER
    kLongPrefix,        // \\?\root\folder
    kDevicePrefix,      // \\.\root\folder
    kDriveLetter,       // X:\... through a second drive letter that stands for a folder (subst)
    kJunction,          // root\alias\... through a link that stands for a folder (a junction)
    kDotted,            // root\elsewhere\..\folder
};

// What stands where a folder setting points.
enum class Presence { kFolder, kMissing, kFile };

struct FolderSetting {
    std::wstring real; // the folder, relative to the root ("" is the root itself)
    Spelling spelling = Spelling::kPlain;
    Presence presence = Presence::kFolder;
    bool unset = false; // no value in the registry
};

// A second name for a folder: a link at path that stands for target.
struct Alias {
    std::wstring path;
    std::wstring target;
    bool madeByRun = false; // the target is a folder no run has made yet (Backup): the link leads nowhere
};

struct FileSpec {
    std::wstring path;
    std::string bytes;
    DWORD attributes = 0; // read-only, hidden, system
};

// One line "key=value" of OrgMap.ini's mapping section, in file order (keys may repeat or be missing).
struct IniLine {
    std::string key;
    std::string value;
};

// A registry value as the generator stores it.
enum class Stored { kAbsent, kDword, kString };

struct DwordSetting {
    Stored stored = Stored::kAbsent;
    DWORD value = 0;
};

enum class Run { kExport, kImport };

// What a neighbour does while the plug-in runs (or, at call 0, just before the run starts).
struct Event {
    enum Kind { kWrite, kRename, kDelete, kHold };
    Kind kind = kWrite;
    size_t run = 0;        // index into Workspace::runs
    unsigned call = 0;     // before the plug-in's call-th file call of that run (0: before the run)
    std::wstring path;     // the file
    std::wstring to;       // kRename: its new path
    std::string bytes;     // kWrite: its new content
    unsigned holdCalls = 0; // kHold: let go after this many more file calls, else when the run ends
};

// Done between two runs, before the later one: the receiving side takes away every file an import gave
// it, or the platform delivers again, unchanged, every delivery an import archived.
struct Between {
    enum Kind { kConsume, kRedeliver };
    Kind kind = kConsume;
    size_t run = 0;
};

struct Workspace {
    uint64_t seed = 0;
    std::wstring root;      // absolute
    std::wstring work;      // the host's current directory: OrgMap.ini, TaskDefine.ini, the record
    FolderSetting send;     // SourcePath
    FolderSetting data;     // ExportLocation
    FolderSetting recv;     // DestPath
    std::vector<std::wstring> folders; // every folder made, parents first
    wchar_t driveLetter = 0;           // a second drive letter (as subst makes one), when hasDrive
    bool hasDrive = false;
    std::wstring driveTarget;          // the folder it stands for
    std::vector<Alias> links;
    bool userOrgIDSet = true;
    std::string userOrgID;  // GBK
    DwordSetting isDeleted;
    DwordSetting recordTransfers;
    bool lfLineEnds = false;
    std::vector<IniLine> mapping;
    std::vector<FileSpec> files;
    std::vector<Run> runs;
    std::vector<Event> events;
    // An unattended host (Unattended.cpp): error boxes answered only after this long, and a timer that
    // calls the run's export again every reentryMs while the call is under way (0: none).
    DWORD boxDelayMs = 0;
    DWORD reentryMs = 0;
    std::vector<Between> between;
    size_t alongside = SIZE_MAX; // an import that a second host runs at the same time
};

const char* RunName(Run run);

} // namespace hostile

// What a test makes on the Linux side of Wine, with Linux programs it starts: other names for one folder,
// as Windows users make them (a second drive letter, what subst makes; a link inside a folder, what a
// junction makes), and a small disk that fills up.
#pragma once
#include <string>

namespace test {

// The Linux path of a Windows path (GBK, or UTF-16 for any name), or "" outside Wine.
std::string UnixPath(const std::string& windowsPath);
std::string UnixPath(const std::wstring& windowsPath);
// The Linux folder of the prefix's drive letters (each a link named "x:").
std::string DosDevices();
// text as one word of the Linux shell, whatever it holds.
std::string ShellQuoted(const std::string& text);
// Runs a command of the Linux shell (UTF-8, as Linux names files) and waits up to 30 s for it to end;
// true when it exits with 0.
bool RunUnix(const std::string& command);

// Waits for the next second, in which Wine reads its drive letters again: until then it opens a path
// through a letter made or re-pointed just now, but gives what it opens the volume serial number and the
// name of the letters as it read them last.
void WaitForWineDriveLetters();

// A free drive letter that names folder, until the object goes; Wine knows it in full once made.
class DriveAlias {
public:
    explicit DriveAlias(const std::string& folder);
    ~DriveAlias();
    DriveAlias(const DriveAlias&) = delete;
    DriveAlias& operator=(const DriveAlias&) = delete;
    // "X:", or "" when no letter could be made.
    const std::string& Drive() const { return m_drive; }
    // Lets the letter stand for another folder; false when it could not.
    bool PointAt(const std::string& folder);

private:
    std::string m_drive;
    std::string m_link;
};

// link, a new name in an existing folder, that leads to the folder target until the object goes.
class FolderLink {
public:
    FolderLink(const std::string& link, const std::string& target);
    ~FolderLink();
    FolderLink(const FolderLink&) = delete;
    FolderLink& operator=(const FolderLink&) = delete;
    bool IsMade() const { return m_bMade; }

private:
    std::string m_unixLink;
    bool m_bMade;
};

// A disk of size bytes (a tmpfs), empty, until the object goes; Folder() is "" where none can be
// mounted (mounting needs root).
class SmallDisk {
public:
    explicit SmallDisk(unsigned long long size);
    ~SmallDisk();
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;
    // The disk's root folder, as a Windows path.
    const std::string& Folder() const { return m_folder; }

private:
    std::string m_unix;
    std::string m_folder;
};

} // namespace test

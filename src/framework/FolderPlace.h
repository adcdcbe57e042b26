// Whether two paths name one folder, or one lies inside the other, decided by what the file system says
// rather than by how the paths are written. One folder has many spellings on Windows: "\\?\" and "\\.\"
// forms, 8.3 names, letter case, a second drive letter (subst), a junction or symbolic link on the
// way. Each level of a path that exists is known by its identity (volume serial number and file index
// of a handle opened on it); the levels below the deepest existing one, which have no identity yet,
// are compared by name as the file system compares names. A link or a drive letter may lead into the
// middle of another tree, whose folders are not on the path's way: the folders that really hold the
// deepest existing level are known too, from the name the file system gives its handle (where links
// and drive letters have been followed).
#pragma once
#include "framework/WideText.h"

#include <windows.h>

#include <string>
#include <vector>

class CFolderPlace {
public:
    // The place path leads to, relative paths taken from the current directory; an empty path leads
    // nowhere.
    explicit CFolderPlace(const std::string& path);
    // The place of the entry name directly below folder (name must be a child name).
    CFolderPlace(const CFolderPlace& folder, const std::string& name);

    bool IsEmpty() const { return m_levels.empty(); }
    // True when this place is folder or lies below it: one of its existing levels (itself or an
    // ancestor, on its path or really holding it) is folder's deepest existing level, and the names
    // below that go on as folder's do.
    bool IsSameOrInside(const CFolderPlace& folder) const;

private:
    struct Identity {
        DWORD volume;
        DWORD indexHigh;
        DWORD indexLow;
        bool operator==(const Identity& other) const
        {
            return volume == other.volume && indexHigh == other.indexHigh && indexLow == other.indexLow;
        }
    };
    struct Level {
        WideText name; // in capitals; the root ("C:\", "\\SERVER\SHARE\") for the first level
        bool bExists;
        Identity id;
    };

    // The identity and attributes of what path names, opened as a folder is; false when nothing opens.
    static bool IdentityOf(const wchar_t* path, Identity* pId, DWORD* pAttributes);
    // The identity of the folder at path, a path of the "\\?\" form; false when no folder opens there.
    static bool FolderIdentityOf(WideText path, Identity* pId);
    void AddLevel(const WideText& name);
    // The folders that hold the deepest existing level as the file system names its handle, from the
    // root down, then the levels below it that do not exist.
    std::vector<Level> RealLevels() const;
    // The index of the deepest level that exists, or -1.
    static int DeepestExisting(const std::vector<Level>& levels);
    // True when levels holds folder: one of its existing levels is folder's deepest existing one, and
    // the names below go on as folder's do.
    static bool Holds(const std::vector<Level>& levels, const CFolderPlace& folder);
    // True when the names of levels from on are folder's names from folderFrom on.
    static bool NamesGoOn(const std::vector<Level>& levels, size_t from, const CFolderPlace& folder, size_t folderFrom);

    // The full path of the deepest level added, and of the deepest one that exists, as the wide file
    // functions take them.
    WideText m_path;
    WideText m_existingPath;
    // From the root down.
    std::vector<Level> m_levels;
    // RealLevels(), found when first needed.
    mutable bool m_bRealKnown = false;
    mutable std::vector<Level> m_realLevels;
};

// Whether two paths name one folder, or one lies inside the other, decided by what the file system says
// rather than by how the paths are written. One folder has many spellings on Windows: "\\?\" and "\\.\"
// forms, 8.3 names, letter case, a second drive letter (subst), a junction or symbolic link on the
// way. Each level of a path that exists is known by its identity (volume serial number and file index
// of a handle opened on it); the levels below the deepest existing one, which have no identity yet,
// are compared by name as the file system compares names.
#pragma once
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
    // ancestor) is folder's deepest existing level, and the names below that go on as folder's do.
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
        std::vector<wchar_t> name; // in capitals; the root ("C:\", "\\SERVER\SHARE\") for the first level
        bool bExists;
        Identity id;
    };

    void AddLevel(const std::vector<wchar_t>& name);
    // The index of the deepest level that exists, or -1.
    int DeepestExisting() const;
    // True when the names of levels from on are folder's names from folderFrom on.
    bool NamesGoOn(size_t from, const CFolderPlace& folder, size_t folderFrom) const;

    // The full path of the deepest level added, as the wide file functions take it.
    std::vector<wchar_t> m_path;
    // From the root down.
    std::vector<Level> m_levels;
};

#include "framework/FolderPlace.h"

#include "framework/Handle.h"
#include "framework/Path.h"
#include "framework/SameName.h"

#include <winternl.h>

namespace {

// path without the "\\?\" or "\\.\" that only tell the platform how to read it; "\\?\UNC\server\..."
// is "\\server\...".
WideText WithoutPrefix(const WideText& path)
{
    if (StartsWith(path, L"\\\\?\\UNC\\"))
        return L"\\" + path.substr(7);
    if (StartsWith(path, L"\\\\?\\") || StartsWith(path, L"\\\\.\\"))
        return path.substr(4);
    return path;
}

// Length of the root of a full path: "C:\" or "\\server\share\" (all of "\\server\share"); 0 for none.
size_t RootLength(const WideText& full)
{
    if (full.size() >= 3 && full[1] == L':' && full[2] == L'\\')
        return 3;
    if (!StartsWith(full, L"\\\\"))
        return 0;
    size_t separators = 0;
    for (size_t i = 2; i < full.size(); ++i) {
        if (full[i] == L'\\' && ++separators == 2)
            return i + 1;
    }
    return separators == 1 ? full.size() : 0;
}

// A name as the file system compares it: without the dots and blanks that the platform drops from its
// end, in capitals.
WideText Comparable(WideText name)
{
    while (!name.empty() && (name.back() == L'.' || name.back() == L' '))
        name.pop_back();
    return NameKey(name);
}

// The path that the wide file functions open for the name the platform gives a handle: "\??\C:\x" (on a
// drive) as "\\?\C:\x", "\Device\HarddiskVolume1\x" as "\\?\GLOBALROOT\Device\HarddiskVolume1\x".
WideText OpenableName(const WideText& objectName)
{
    static const wchar_t kDosDevices[] = L"\\??\\";
    static const wchar_t kGlobalRoot[] = L"\\\\?\\GLOBALROOT";
    const bool onDrive = StartsWith(objectName, kDosDevices);
    return WideText(kGlobalRoot, onDrive ? 4 : 14) + objectName.substr(onDrive ? 4 : 0);
}

} // namespace

CFolderPlace::CFolderPlace(const std::string& path)
{
    if (path.empty())
        return;
    const WideText full = FullPath(WithoutPrefix(ToWide(path)));
    const size_t root = RootLength(full);
    if (root == 0)
        return;
    // A root is named with its separator, whether the path gave one or not.
    WideText rootName = full.substr(0, root);
    if (rootName.back() != L'\\')
        rootName.push_back(L'\\');
    AddLevel(rootName);
    size_t start = root;
    for (size_t i = root; i <= full.size(); ++i) {
        if (i < full.size() && full[i] != L'\\')
            continue;
        const WideText name = full.substr(start, i - start);
        if (!Comparable(name).empty())
            AddLevel(name);
        start = i + 1;
    }
}

CFolderPlace::CFolderPlace(const CFolderPlace& folder, const std::string& name) : CFolderPlace(folder)
{
    m_bRealKnown = false;
    m_realLevels.clear();
    if (!IsEmpty())
        AddLevel(ToWide(name));
}

void CFolderPlace::AddLevel(const WideText& name)
{
    if (!m_path.empty() && m_path.back() != L'\\')
        m_path.push_back(L'\\');
    m_path += name;
    Level level = { Comparable(name), false, {} };
    // Below a level that does not exist nothing does.
    if (m_levels.empty() || m_levels.back().bExists) {
        DWORD attributes = 0;
        level.bExists = IdentityOf(WidePath(m_path).c_str(), &level.id, &attributes);
        if (level.bExists)
            m_existingPath = m_path;
    }
    m_levels.push_back(level);
}

bool CFolderPlace::IdentityOf(const wchar_t* path, Identity* pId, DWORD* pAttributes)
{
    CFileHandle file(::CreateFileW(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                   FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info;
    if (!file.IsValid() || !::GetFileInformationByHandle(file, &info))
        return false;
    *pId = { info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow };
    *pAttributes = info.dwFileAttributes;
    return true;
}

bool CFolderPlace::FolderIdentityOf(WideText path, Identity* pId)
{
    // A volume's root opens as a folder only with its separator ("\\?\C:" is the volume itself).
    DWORD attributes = 0;
    if (IdentityOf(path.c_str(), pId, &attributes) && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return true;
    path.push_back(L'\\');
    return IdentityOf(path.c_str(), pId, &attributes) && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::vector<CFolderPlace::Level> CFolderPlace::RealLevels() const
{
    std::vector<Level> levels;
    const int deepest = DeepestExisting(m_levels);
    if (deepest < 0)
        return levels;
    CFileHandle file(::CreateFileW(WidePath(m_existingPath).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                   nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    // The name a handle has: a UNICODE_STRING, its text following it.
    std::vector<ULONGLONG> buffer((sizeof(OBJECT_NAME_INFORMATION) + 65536) / sizeof(ULONGLONG));
    ULONG length = 0;
    if (!file.IsValid()
        || !NT_SUCCESS(::NtQueryObject(file, ObjectNameInformation, buffer.data(),
                                       static_cast<ULONG>(buffer.size() * sizeof(ULONGLONG)), &length)))
        return levels;
    const UNICODE_STRING& name = reinterpret_cast<const OBJECT_NAME_INFORMATION*>(buffer.data())->Name;
    const WideText real = OpenableName(WideText(name.Buffer, name.Length / sizeof(wchar_t)));
    // Every folder on the real path; the parts before its root (the device) are no folders.
    size_t start = 4;
    for (size_t i = start; i <= real.size(); ++i) {
        if (i < real.size() && real[i] != L'\\')
            continue;
        Level level = { Comparable(real.substr(start, i - start)), false, {} };
        level.bExists = FolderIdentityOf(real.substr(0, i), &level.id);
        levels.push_back(level);
        start = i + 1;
    }
    // A name that leads elsewhere now (renamed since, or a drive letter given from an outdated table,
    // as Wine does for a second) says nothing about this folder.
    if (levels.empty() || !levels.back().bExists || !(levels.back().id == m_levels[deepest].id))
        return std::vector<Level>();
    levels.insert(levels.end(), m_levels.begin() + deepest + 1, m_levels.end());
    return levels;
}

int CFolderPlace::DeepestExisting(const std::vector<Level>& levels)
{
    int deepest = -1;
    for (size_t i = 0; i < levels.size() && levels[i].bExists; ++i)
        deepest = static_cast<int>(i);
    return deepest;
}

bool CFolderPlace::NamesGoOn(const std::vector<Level>& levels, size_t from, const CFolderPlace& folder, size_t folderFrom)
{
    const size_t count = folder.m_levels.size() - folderFrom;
    if (levels.size() < from || levels.size() - from < count)
        return false;
    for (size_t i = 0; i < count; ++i) {
        if (levels[from + i].name != folder.m_levels[folderFrom + i].name)
            return false;
    }
    return true;
}

bool CFolderPlace::Holds(const std::vector<Level>& levels, const CFolderPlace& folder)
{
    const int deepest = DeepestExisting(folder.m_levels);
    if (deepest < 0)
        return NamesGoOn(levels, 0, folder, 0);
    const Identity& id = folder.m_levels[deepest].id;
    for (size_t i = 0; i < levels.size(); ++i) {
        if (levels[i].bExists && levels[i].id == id && NamesGoOn(levels, i + 1, folder, deepest + 1))
            return true;
    }
    return false;
}

bool CFolderPlace::IsSameOrInside(const CFolderPlace& folder) const
{
    if (IsEmpty() || folder.IsEmpty())
        return false;
    if (Holds(m_levels, folder))
        return true;
    if (!m_bRealKnown) {
        m_realLevels = RealLevels();
        m_bRealKnown = true;
    }
    return Holds(m_realLevels, folder);
}

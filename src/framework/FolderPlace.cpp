#include "framework/FolderPlace.h"

#include "framework/Handle.h"
#include "framework/Path.h"

#include <algorithm>

namespace {

typedef std::vector<wchar_t> Wide;

bool HasPrefix(const Wide& text, const wchar_t* prefix, size_t length)
{
    return text.size() >= length && std::equal(prefix, prefix + length, text.begin());
}

// path without the "\\?\" or "\\.\" that only tell the platform how to read it; "\\?\UNC\server\..."
// is "\\server\...".
Wide WithoutPrefix(const Wide& path)
{
    if (HasPrefix(path, L"\\\\?\\UNC\\", 8)) {
        Wide unc(path.begin() + 6, path.end());
        unc[0] = L'\\';
        return unc;
    }
    if (HasPrefix(path, L"\\\\?\\", 4) || HasPrefix(path, L"\\\\.\\", 4))
        return Wide(path.begin() + 4, path.end());
    return path;
}

// Length of the root of a full path: "C:\" or "\\server\share\" (all of "\\server\share"); 0 for none.
size_t RootLength(const Wide& full)
{
    if (full.size() >= 3 && full[1] == L':' && full[2] == L'\\')
        return 3;
    if (!HasPrefix(full, L"\\\\", 2))
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
Wide Comparable(Wide name)
{
    while (!name.empty() && (name.back() == L'.' || name.back() == L' '))
        name.pop_back();
    if (!name.empty())
        ::CharUpperBuffW(name.data(), static_cast<DWORD>(name.size()));
    return name;
}

} // namespace

CFolderPlace::CFolderPlace(const std::string& path)
{
    if (path.empty())
        return;
    const Wide full = FullPath(WithoutPrefix(ToWide(path)));
    const size_t root = RootLength(full);
    if (root == 0)
        return;
    // A root is named with its separator, whether the path gave one or not.
    Wide rootName(full.begin(), full.begin() + root);
    if (rootName.back() != L'\\')
        rootName.push_back(L'\\');
    AddLevel(rootName);
    size_t start = root;
    for (size_t i = root; i <= full.size(); ++i) {
        if (i < full.size() && full[i] != L'\\')
            continue;
        const Wide name(full.begin() + start, full.begin() + i);
        if (!Comparable(name).empty())
            AddLevel(name);
        start = i + 1;
    }
}

CFolderPlace::CFolderPlace(const CFolderPlace& folder, const std::string& name) : CFolderPlace(folder)
{
    if (!IsEmpty())
        AddLevel(ToWide(name));
}

void CFolderPlace::AddLevel(const Wide& name)
{
    if (!m_path.empty() && m_path.back() != L'\\')
        m_path.push_back(L'\\');
    m_path.insert(m_path.end(), name.begin(), name.end());
    Level level = { Comparable(name), false, {} };
    // Below a level that does not exist nothing does.
    if (m_levels.empty() || m_levels.back().bExists) {
        CFileHandle file(::CreateFileW(WidePath(m_path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                       nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        BY_HANDLE_FILE_INFORMATION info;
        if (file.IsValid() && ::GetFileInformationByHandle(file, &info)) {
            level.bExists = true;
            level.id = { info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow };
        }
    }
    m_levels.push_back(level);
}

int CFolderPlace::DeepestExisting() const
{
    int deepest = -1;
    for (size_t i = 0; i < m_levels.size() && m_levels[i].bExists; ++i)
        deepest = static_cast<int>(i);
    return deepest;
}

bool CFolderPlace::NamesGoOn(size_t from, const CFolderPlace& folder, size_t folderFrom) const
{
    const size_t count = folder.m_levels.size() - folderFrom;
    if (m_levels.size() < from || m_levels.size() - from < count)
        return false;
    for (size_t i = 0; i < count; ++i) {
        if (m_levels[from + i].name != folder.m_levels[folderFrom + i].name)
            return false;
    }
    return true;
}

bool CFolderPlace::IsSameOrInside(const CFolderPlace& folder) const
{
    if (IsEmpty() || folder.IsEmpty())
        return false;
    const int deepest = folder.DeepestExisting();
    if (deepest < 0)
        return NamesGoOn(0, folder, 0);
    const Identity& id = folder.m_levels[deepest].id;
    for (size_t i = 0; i < m_levels.size() && m_levels[i].bExists; ++i) {
        if (m_levels[i].id == id && NamesGoOn(i + 1, folder, deepest + 1))
            return true;
    }
    return false;
}

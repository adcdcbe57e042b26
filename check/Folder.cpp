#include "Folder.h"

#include "engine/TransferEngine.h"
#include "framework/Gbk.h"
#include "framework/Handle.h"
#include "framework/SystemError.h"

#include <algorithm>

namespace check {

const char kNotAFolderName[] = "不是一个文件夹名（含有\\、/、:，只有点和空格，或者是NUL、COM1这样的设备名）";

namespace {

const char kFullWidthBlank[] = "　";

bool IsBlankAt(const char* p)
{
    return *p == ' ' || *p == '\t' || (p[0] == kFullWidthBlank[0] && p[1] == kFullWidthBlank[1]);
}

// The drive (D:\) or network share (\\server\share\) a full path lies on; "" for other paths.
std::string RootOf(const std::string& path)
{
    if (path.size() >= 2 && path[1] == ':')
        return path.substr(0, 2) + "\\";
    if (path.compare(0, 2, "\\\\") != 0)
        return "";
    const char* server = gbk::Find(path.c_str() + 2, '\\');
    const char* share = server != nullptr ? gbk::Find(server + 1, '\\') : nullptr;
    return share == nullptr ? path + "\\" : path.substr(0, share - path.c_str() + 1);
}

} // namespace

std::string FolderProblem(const std::string& dir)
{
    const CFolderList list(dir);
    if (list.IsValid())
        return "";
    const DWORD error = list.Error();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_NO_MORE_FILES)
        return "";
    if (EntryAt(dir) == Entry::kFile)
        return "是文件，不是文件夹";
    const std::string root = RootOf(dir);
    if (!root.empty() && EntryAt(root) == Entry::kNothing)
        return "无法访问，驱动器或网络共享" + root + "不可用（" + SystemErrorText(error) + "）";
    if (error == ERROR_PATH_NOT_FOUND || error == ERROR_INVALID_NAME || error == ERROR_DIRECTORY)
        return "不存在";
    return "无法访问（" + SystemErrorText(error) + "）";
}

std::vector<FolderEntry> ListEntries(const std::string& dir)
{
    std::vector<FolderEntry> entries = ListFolder(dir);
    entries.erase(std::remove_if(entries.begin(), entries.end(), [](const FolderEntry& e) { return e.IsDots(); }),
                  entries.end());
    return entries;
}

bool ReadAll(const std::string& path, std::string* bytes, DWORD* error)
{
    CFileHandle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                   nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsValid()) {
        *error = ::GetLastError();
        return false;
    }
    char buffer[65536];
    DWORD n = 0;
    while (::ReadFile(file, buffer, sizeof(buffer), &n, nullptr) && n > 0)
        bytes->append(buffer, n);
    return true;
}

Entry EntryAt(const std::string& path, bool* readOnly)
{
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    if (readOnly != nullptr)
        *readOnly = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return Entry::kNothing;
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? Entry::kFolder : Entry::kFile;
}

std::vector<std::string> StaleTemporaryFiles(const std::string& dir)
{
    FILETIME now;
    ::GetSystemTimeAsFileTime(&now);
    std::vector<std::string> names;
    for (const FolderEntry& entry : ListEntries(dir)) {
        if (!entry.IsFolder() && entry.fault == NameFault::kNone && CTransferEngine::IsTemporaryName(entry.name.c_str())
            && CTransferEngine::IsStaleTemporary(entry, now))
            names.push_back(entry.name);
    }
    return names;
}

bool HasOuterBlanks(const std::string& text)
{
    if (text.empty())
        return false;
    const char* last = nullptr;
    for (const char* p = text.c_str(); *p; p = gbk::Next(p))
        last = p;
    return IsBlankAt(text.c_str()) || IsBlankAt(last);
}

} // namespace check

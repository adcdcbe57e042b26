#include "Layout.h"

#include "Text.h"
#include "framework/Handle.h"
#include "support/LinuxSide.h"

namespace hostile {

namespace {

std::string DriveLink(const Workspace& ws)
{
    return test::DosDevices() + "/" + static_cast<char>(ws.driveLetter | 0x20) + ":";
}

bool IsFolder(const std::wstring& path)
{
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

} // namespace

std::wstring LongPath(const Workspace& ws, const std::wstring& path)
{
    return L"\\\\?\\" + JoinPath(ws.root, path);
}

bool MakeFile(const std::wstring& longPath, const std::string& bytes, DWORD attributes)
{
    CFileHandle file(::CreateFileW(longPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsValid())
        return false;
    DWORD written = 0;
    const bool whole = bytes.empty()
                       || (::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr)
                           && written == bytes.size());
    file.Close();
    return whole && (attributes == 0 || ::SetFileAttributesW(longPath.c_str(), attributes));
}

bool ReadBytes(const std::wstring& longPath, std::string* bytes)
{
    CFileHandle file(::CreateFileW(longPath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                   nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    bytes->clear();
    if (!file.IsValid())
        return false;
    char buffer[1 << 16];
    DWORD read = 0;
    while (::ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read > 0)
        bytes->append(buffer, read);
    return true;
}

bool IsLink(const Workspace& ws, const std::wstring& path)
{
    for (const Alias& link : ws.links) {
        if (SameName(link.path, path))
            return true;
    }
    return false;
}

bool Lay(const Workspace& ws, std::string* error)
{
    if (!::CreateDirectoryW(LongPath(ws, L"").c_str(), nullptr)) {
        *error = "cannot make the root " + Utf8(ws.root);
        return false;
    }
    for (const std::wstring& folder : ws.folders) {
        if (!::CreateDirectoryW(LongPath(ws, folder).c_str(), nullptr)) {
            *error = "cannot make the folder " + Utf8(folder);
            return false;
        }
    }
    // A name that differs from another one only in case is made under a name of its own and renamed on the
    // Linux side, which keeps both (as a share from a Linux server does).
    std::string script = "true";
    for (size_t i = 0; i < ws.files.size(); ++i) {
        const FileSpec& file = ws.files[i];
        if (MakeFile(LongPath(ws, file.path), file.bytes, file.attributes))
            continue;
        const std::wstring twin = JoinPath(ParentOf(file.path), L"twin" + std::to_wstring(i));
        if (::GetLastError() != ERROR_FILE_EXISTS || !MakeFile(LongPath(ws, twin), file.bytes, file.attributes)) {
            *error = "cannot make the file " + Utf8(file.path);
            return false;
        }
        script += " && mv " + test::ShellQuoted(test::UnixPath(LongPath(ws, twin))) + " "
                  + test::ShellQuoted(test::UnixPath(LongPath(ws, ParentOf(file.path))) + "/" + Utf8(NameOf(file.path)));
    }
    for (const Alias& link : ws.links)
        script += " && ln -s " + test::ShellQuoted(test::UnixPath(LongPath(ws, link.target))) + " "
                  + test::ShellQuoted(test::UnixPath(LongPath(ws, L"")) + "/" + Utf8(link.path));
    if (ws.hasDrive)
        script += " && ln -sfn " + test::ShellQuoted(test::UnixPath(LongPath(ws, ws.driveTarget))) + " " + test::ShellQuoted(DriveLink(ws));
    if (script != "true" && !test::RunUnix(script))
        *error = "the shell command failed: " + script;
    for (const Alias& link : ws.links) {
        if (!link.madeByRun && !IsFolder(LongPath(ws, link.path)))
            *error = "cannot make the link " + Utf8(link.path);
    }
    if (ws.hasDrive && !IsFolder(std::wstring(1, ws.driveLetter) + L":\\"))
        *error = "cannot make the drive letter " + Utf8(std::wstring(1, ws.driveLetter));
    // The runs see the drive letter as Windows would from the start: with the folder's volume.
    if (ws.hasDrive)
        test::WaitForWineDriveLetters();
    return error->empty();
}

void Clear(const Workspace& ws)
{
    // Only ever a folder of this program's own.
    const std::string root = test::UnixPath(LongPath(ws, L""));
    if (root.find("qrvlnk-hostile") == std::string::npos)
        return;
    std::string script = "rm -rf " + test::ShellQuoted(root);
    if (ws.driveLetter != 0)
        script += "; rm -f " + test::ShellQuoted(DriveLink(ws));
    test::RunUnix(script);
    // Wine reads its drive letters again only in a new second: until then it may name a folder of the
    // next workspace by a drive letter that stood for one of this (the inode taken again).
    if (ws.hasDrive)
        test::WaitForWineDriveLetters();
}

} // namespace hostile

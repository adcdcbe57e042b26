#include "Layouts.h"

#include "settings/Settings.h"

#include <cstdio>

namespace bench {

namespace {

const char kSamplePattern[] = "f%05d_C1_data.txt";

bool IsUnchanged(const std::string& path, const WIN32_FIND_DATAA& listed)
{
    WIN32_FILE_ATTRIBUTE_DATA now;
    return ::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &now)
           && now.nFileSizeLow == listed.nFileSizeLow && now.nFileSizeHigh == listed.nFileSizeHigh
           && ::CompareFileTime(&now.ftLastWriteTime, &listed.ftLastWriteTime) == 0;
}

int CountFiles(const std::string& dir)
{
    int n = 0;
    ForEachFile(dir, [&n](const WIN32_FIND_DATAA&) { ++n; });
    return n;
}

// The files that the last pass left in from, renamed with their folder to staging; or, when from does
// not hold them all, made anew there.
void Gather(const std::string& from, const std::string& staging, const Fill& fill)
{
    RemoveTree(staging);
    if (CountFiles(from) == fill.count && ::MoveFileA(from.c_str(), staging.c_str()))
        return;
    MakeDir(staging);
    fill.make(staging);
}

void Flush(const std::string& path, DWORD flags)
{
    HANDLE handle = ::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, flags, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return;
    ::FlushFileBuffers(handle);
    ::CloseHandle(handle);
}

} // namespace

bool Copy(const std::string& source, const std::string& folder, const std::string& name, bool bDurable)
{
    const std::string target = Join(folder, name);
    if (!bDurable)
        return ::CopyFileA(source.c_str(), target.c_str(), FALSE) != FALSE;
    const std::string temp = Join(folder, ".~bench-" + name + ".part");
    if (!::CopyFileA(source.c_str(), temp.c_str(), FALSE))
        return false;
    Flush(temp, FILE_ATTRIBUTE_NORMAL);
    if (!::MoveFileExA(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return false;
    Flush(folder, FILE_FLAG_BACKUP_SEMANTICS);
    return true;
}

Fill SmallFiles(int n)
{
    return { n, [n](const std::string& folder) { MakeFiles(folder, kSamplePattern, n, 64); } };
}

Fill LargeFiles(const std::string& master, int n, size_t size)
{
    MakeDir(master);
    MakeFiles(master, kSamplePattern, n, size);
    return { n, [master](const std::string& folder) {
                ForEachFile(master, [&](const WIN32_FIND_DATAA& data) {
                    if (!::CreateHardLinkA(Join(folder, data.cFileName).c_str(), Join(master, data.cFileName).c_str(),
                                           nullptr))
                        std::fprintf(stderr, "no hard link to %s (%lu)\n", data.cFileName, ::GetLastError());
                });
            } };
}

ExportLayout::ExportLayout(const Workspace& ws, Fill fill)
    : m_staging(ws.Path("staging")), m_send(ws.Path("send")), m_store(ws.Path("store")),
      m_target(Join(m_store, "P1")), m_fill(fill)
{
}

void ExportLayout::Prepare() const
{
    Gather(m_target, m_staging, m_fill);
    RemoveTree(m_send);
    RemoveTree(m_store);
    ::MoveFileA(m_staging.c_str(), m_send.c_str());
    MakeDir(m_store);
    WriteOldFile(settings::IniPath(settings::kOrgMapFile), "[OrgMapping]\r\nClientID0000=C1\r\nQRVID0000=P1\r\n");
    settings::SetString(settings::kSourcePath, m_send.c_str());
    settings::SetString(settings::kExportLocation, m_store.c_str());
    settings::SetInt(settings::kIsDeleted, 1);
}

void ExportLayout::PlainLoop(bool bDurable) const
{
    ForEachFile(m_send, [this, bDurable](const WIN32_FIND_DATAA& data) {
        const std::string source = Join(m_send, data.cFileName);
        ::CreateDirectoryA(m_target.c_str(), nullptr);
        if (Copy(source, m_target, data.cFileName, bDurable) && IsUnchanged(source, data))
            ::DeleteFileA(source.c_str());
    });
}

ImportLayout::ImportLayout(const Workspace& ws, Fill fill)
    : m_staging(ws.Path("staging")), m_store(ws.Path("store")), m_delivery(Join(m_store, "ORG1")),
      m_backup(Join(m_delivery, "Backup")), m_receive(ws.Path("recv")), m_fill(fill)
{
}

void ImportLayout::Prepare() const
{
    Gather(m_backup, m_staging, m_fill);
    RemoveTree(m_store);
    RemoveTree(m_receive);
    MakeDir(m_store);
    ::MoveFileA(m_staging.c_str(), m_delivery.c_str());
    MakeDir(m_receive);
    settings::SetString(settings::kDestPath, m_receive.c_str());
    settings::SetString(settings::kExportLocation, m_store.c_str());
}

void ImportLayout::PlainLoop(bool bDurable) const
{
    ::CreateDirectoryA(m_backup.c_str(), nullptr);
    ForEachFile(m_delivery, [this, bDurable](const WIN32_FIND_DATAA& data) {
        const std::string source = Join(m_delivery, data.cFileName);
        if (Copy(source, m_receive, data.cFileName, bDurable) && IsUnchanged(source, data))
            ::MoveFileA(source.c_str(), Join(m_backup, data.cFileName).c_str());
    });
}

} // namespace bench

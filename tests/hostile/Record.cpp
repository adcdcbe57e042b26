#include "Record.h"

#include "Census.h"
#include "Layout.h"
#include "Text.h"
#include "framework/Handle.h"

namespace hostile {

namespace {

const char kRecordName[] = "传送记录";

std::wstring OlderPath(const Workspace& ws, int n)
{
    return JoinPath(ws.work, FromGbk(kRecordName) + L"." + std::to_wstring(n) + L".csv");
}

} // namespace

std::wstring RecordPath(const Workspace& ws)
{
    return JoinPath(ws.work, FromGbk(kRecordName) + L".csv");
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

RecordFiles ReadRecordFiles(const Workspace& ws)
{
    RecordFiles files;
    files.exists = ReadBytes(LongPath(ws, RecordPath(ws)), &files.main);
    for (int n = 1; n <= 3; ++n) {
        std::string bytes;
        files.olderExists[n - 1] = ReadBytes(LongPath(ws, OlderPath(ws, n)), &bytes);
        files.older[n - 1] = CCensus::Hash(bytes);
    }
    return files;
}

} // namespace hostile

#include "Record.h"

#include "Census.h"
#include "Layout.h"
#include "Text.h"

namespace hostile {

namespace {

const char kRecordName[] = "传送记录";

} // namespace

std::wstring RecordPath(const Workspace& ws)
{
    return JoinPath(ws.work, FromGbk(kRecordName) + L".csv");
}

std::wstring OlderPath(const Workspace& ws, int n)
{
    return JoinPath(ws.work, FromGbk(kRecordName) + L"." + std::to_wstring(n) + L".csv");
}

std::wstring WaitingPath(const Workspace& ws)
{
    return JoinPath(ws.work, FromGbk(kRecordName) + FromGbk(".待写入") + L".csv");
}

RecordFiles ReadRecordFiles(const Workspace& ws)
{
    RecordFiles files;
    ReadBytes(LongPath(ws, WaitingPath(ws)), &files.waiting);
    files.exists = ReadBytes(LongPath(ws, RecordPath(ws)), &files.main);
    for (int n = 1; n <= 3; ++n) {
        std::string bytes;
        files.olderExists[n - 1] = ReadBytes(LongPath(ws, OlderPath(ws, n)), &bytes);
        files.older[n - 1] = CCensus::Hash(bytes);
    }
    return files;
}

} // namespace hostile

// The engines (pause 0) against plain loops that list the same folder and make the same file calls
// with CopyFileA, each pass on the same fresh layout: small files, and 20 files of 50 MB; and against
// loops that make each copy durable with the same steps. And what it costs that each copy is on disk
// before its source goes: the engines with and without the flushes.
#include "Layouts.h"

#include "engine/ExportEngine.h"
#include "engine/ImportEngine.h"

namespace bench {

namespace {

// One engine run with the settings as they are now, its copies flushed or not, written to a transfer
// record at recordPath or to none.
template <class TEngine>
std::function<double()> EngineRun(RunKind kind, bool bFlush, const std::string& recordPath = "")
{
    // The import takes the files delivered for ORG1.
    const UserOrgID userOrgID{ kind == RunKind::kImport ? "ORG1" : "", false };
    return Timed([kind, userOrgID, bFlush, recordPath] {
        NullView view;
        TEngine engine(&view, ReadRunInput(userOrgID), 0);
        engine.m_bFlushCopies = bFlush;
        CTransferRecord record(recordPath, kind, true);
        record.RunStarted(engine.Input());
        engine.SetRecord(&record);
        engine.Run();
        record.RunEnded(CTransferRecord::End::kDone);
    });
}

// The engines against the plain loops, which copy with CopyFileA alone or (bDurable) with the same
// durable steps as the engines.
void CompareEngines(const Workspace& ws, const std::string& what, const Fill& fill, bool bDurable = false)
{
    const char* loop = bDurable ? "durable CopyFileA loop" : "CopyFileA loop";
    const ExportLayout exportLayout(ws, fill);
    Compare("export " + what, ws.rounds,
            { loop, [&] { exportLayout.Prepare(); }, Timed([&] { exportLayout.PlainLoop(bDurable); }) },
            { "export engine", [&] { exportLayout.Prepare(); }, EngineRun<CExportEngine>(RunKind::kExport, true) });
    const ImportLayout importLayout(ws, fill);
    Compare("import " + what, ws.rounds,
            { loop, [&] { importLayout.Prepare(); }, Timed([&] { importLayout.PlainLoop(bDurable); }) },
            { "import engine", [&] { importLayout.Prepare(); },
              EngineRun<CImportEngine>(RunKind::kImport, true) });
}

// How an engine runs: its copies flushed or not, written to a transfer record at recordPath or to none.
struct EngineSetting {
    const char* name;
    bool bFlush;
    std::string recordPath;
};

// Each engine on small files, one setting against another.
void CompareSettings(const Workspace& ws, const std::string& what, const EngineSetting& a, const EngineSetting& b)
{
    for (int n : ws.fileCounts) {
        const std::string files = std::to_string(n) + " files of 64 bytes, " + what;
        const ExportLayout exportLayout(ws, SmallFiles(n));
        const auto prepareExport = [&] { exportLayout.Prepare(); };
        Compare("export " + files, ws.rounds,
                { a.name, prepareExport, EngineRun<CExportEngine>(RunKind::kExport, a.bFlush, a.recordPath) },
                { b.name, prepareExport, EngineRun<CExportEngine>(RunKind::kExport, b.bFlush, b.recordPath) });
        const ImportLayout importLayout(ws, SmallFiles(n));
        const auto prepareImport = [&] { importLayout.Prepare(); };
        Compare("import " + files, ws.rounds,
                { a.name, prepareImport, EngineRun<CImportEngine>(RunKind::kImport, a.bFlush, a.recordPath) },
                { b.name, prepareImport, EngineRun<CImportEngine>(RunKind::kImport, b.bFlush, b.recordPath) });
    }
}

} // namespace

void SmallTransfers(const Workspace& ws)
{
    for (int n : ws.fileCounts)
        CompareEngines(ws, std::to_string(n) + " files of 64 bytes", SmallFiles(n));
}

void DurableTransfers(const Workspace& ws)
{
    for (int n : ws.fileCounts)
        CompareEngines(ws, std::to_string(n) + " files of 64 bytes, durable copies on both sides", SmallFiles(n), true);
}

void FlushCost(const Workspace& ws)
{
    CompareSettings(ws, "flushed against not", { "not flushed", false, "" }, { "flushed", true, "" });
}

void RecordCost(const Workspace& ws)
{
    const std::string record = ws.Path("record.csv");
    CompareSettings(ws, "with a transfer record against without", { "no record", true, "" }, { "record", true, record });
    ::DeleteFileA(record.c_str());
}

void LargeTransfers(const Workspace& ws)
{
    const std::string master = ws.Path("master");
    CompareEngines(ws, "20 files of 50 MB", LargeFiles(master, 20, 50u << 20));
    RemoveTree(master);
}

} // namespace bench

// A second process for the test of two writers: appends lines to a transfer record as fast as it can.
// Usage: record_writer.exe <record> <tag> <lines>; each line's source is C:\<tag>\<n>_ and a long tail.
// With its record open it says so (semaphore "…Ready") and waits for the event "…Go", so that the
// writers of a test start together.
#include "engine/TransferRecord.h"
#include "plugin/InterfaceApp.h"

#include <cstdlib>
#include <string>

CInterfaceApp theApp;

int main(int argc, char** argv)
{
    if (argc != 4)
        return 2;
    theApp.Start(::GetModuleHandleA(nullptr));
    CTransferRecord record(argv[1], RunKind::kExport, true);
    if (HANDLE ready = ::OpenSemaphoreA(SEMAPHORE_MODIFY_STATE, FALSE, "QRVLNK.RecordWriters.Ready")) {
        ::ReleaseSemaphore(ready, 1, nullptr);
        ::CloseHandle(ready);
    }
    if (HANDLE go = ::OpenEventA(SYNCHRONIZE, FALSE, "QRVLNK.RecordWriters.Go")) {
        ::WaitForSingleObject(go, 30000);
        ::CloseHandle(go);
    }
    EntryDecision decision;
    const int lines = std::atoi(argv[3]);
    for (int i = 0; i < lines; ++i) {
        decision.source = std::string("C:\\") + argv[2] + "\\" + std::to_string(i) + "_" + std::string(1000, 'x');
        record.Entry(decision, i, Outcome::kSourceDeleted);
    }
    record.RunEnded(CTransferRecord::End::kDone);
    return 0;
}

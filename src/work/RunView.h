// What a transfer engine sees of the dialog that runs it: the progress window's status line and bar,
// and the owner of its error boxes. The run dialogs implement it; tests fake it.
//
// How a run works (the handshake between a run dialog and its worker):
//   dialog thread: busy test on the idle event -> create CWorkThread -> reset the idle event ->
//                  show the progress window -> start the thread
//   worker thread: create the engine -> Run(), reporting through IRunView (calls that the dialog's
//                  thread carries out while it serves its modal loop) -> delete the engine ->
//                  post WM_EXPORT_DONE / WM_IMPORT_DONE (wParam = mode, lParam = result)
//   dialog thread: pause -> destroy the progress window -> set the idle event -> end message or close
#pragma once
#include <windows.h>

// Posted by the worker to the run dialog.
const UINT WM_EXPORT_DONE = 0x540;
const UINT WM_IMPORT_DONE = 0x541;

// Run modes.
enum RunMode {
    kModeExport = 0,
    kModeImport = 1,
    kModeAutoExport = 2,
    kModeAutoImport = 3,
};

class IRunView {
public:
    virtual ~IRunView() {}
    // The window that owns the engine's message boxes and receives the completion message.
    virtual HWND GetRunWindow() const = 0;
    // Progress window: status line and bar (0..100). Called from the worker thread.
    virtual void SetStatus(const char* text) = 0;
    virtual void SetPos(int pos) = 0;
    // Error box owned by the run window: caption "错误信息", stop icon, OK. Blocks until answered.
    virtual void ShowError(const char* text) = 0;
    // True once the run should end at the next file boundary (the host is quitting or its window went).
    virtual bool IsStopRequested() const = 0;
};

// The run window: what a worker thread knows of the dialog that started it.
//
// How a run works (the handshake between a run dialog and its worker):
//   dialog thread: busy test on the idle event -> create CWorkThread -> reset the idle event ->
//                  show the progress window -> start the thread
//   worker thread: create the engine -> Run(), reporting through IRunView (calls that the dialog's
//                  thread carries out while it serves its modal loop) -> delete the engine ->
//                  post WM_EXPORT_DONE / WM_IMPORT_DONE (wParam = mode, lParam = result)
//   dialog thread: pause -> destroy the progress window -> set the idle event -> end message or close
#pragma once
#include "engine/RunView.h"

#include <windows.h>

// Posted by the worker to the run dialog.
const UINT WM_EXPORT_DONE = 0x540;
const UINT WM_IMPORT_DONE = 0x541;

enum RunMode {
    kModeExport = 0,
    kModeImport = 1,
    kModeAutoExport = 2,
    kModeAutoImport = 3,
};

class IRunWindow : public IRunView {
public:
    // The window that owns the engine's message boxes and receives the completion message.
    virtual HWND GetRunWindow() const = 0;
};

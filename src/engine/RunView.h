// What a transfer engine sees of whoever runs it: the progress window's status line and bar, error
// boxes, and the request to stop. The run dialogs implement it; tests fake it.
#pragma once

class IRunView {
public:
    virtual ~IRunView() {}
    // Progress window: status line and bar (0..100). Called from the worker thread.
    virtual void SetStatus(const char* text) = 0;
    virtual void SetPos(int pos) = 0;
    // Error box owned by the run window: caption "错误信息", stop icon, OK. Blocks until answered;
    // false when it could not be shown (the window is gone).
    virtual bool ShowError(const char* text) = 0;
    // True once the run should end at the next file boundary (the host is quitting or its window went).
    virtual bool IsStopRequested() const = 0;
};

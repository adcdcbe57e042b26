// What a transfer engine sees of whoever runs it: the progress window's status line and bar, error
// boxes, and the request to stop. The run dialogs implement it; tests fake it.
#pragma once

// What became of an error box.
enum class BoxAnswer {
    kNotShown,       // it could not be shown (the run window is gone)
    kAnswered,       // someone clicked it away
    kClosedByItself, // nobody clicked it within the time an unattended run waits
};

class IRunView {
public:
    virtual ~IRunView() {}
    // Progress window: status line and bar (0..100). Called from the worker thread.
    virtual void SetStatus(const char* text) = 0;
    virtual void SetPos(int pos) = 0;
    // Error box owned by the run window: caption "错误信息", stop icon, OK. Blocks until answered, or
    // until it closes by itself in an unattended run.
    virtual BoxAnswer ShowError(const char* text) = 0;
    // False when no box can be shown any more (the run window is gone).
    virtual bool CanShowError() const = 0;
    // True once the run should end at the next file boundary (the host is quitting or its window went).
    virtual bool IsStopRequested() const = 0;
};

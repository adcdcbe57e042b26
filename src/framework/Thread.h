// A worker thread object that deletes itself when its thread ends. Allocate it on the heap and never
// delete it: once CreateThread has been called, the object belongs to its thread. The thread holds a
// reference to the module its code lives in and gives it back as it ends (FreeLibraryAndExitThread),
// so a host that frees the module while the thread runs does not unmap the code under it.
#pragma once
#include <windows.h>

class CThread {
public:
    CThread() : m_hModule(NULL) {}
    virtual ~CThread() {}
    CThread(const CThread&) = delete;
    CThread& operator=(const CThread&) = delete;

    // Starts the thread at once with the default stack and security. When no thread can be started,
    // the object deletes itself before returning false. With phThread, the caller receives a handle of
    // the thread (signalled once the thread, and so this object, is gone) and closes it.
    bool CreateThread(HANDLE* phThread = nullptr);

protected:
    // Per-thread start-up; Run follows only when it succeeds.
    virtual BOOL InitInstance() { return TRUE; }
    virtual int Run() = 0;

private:
    static unsigned __stdcall ThreadProc(void* pParam);

    HMODULE m_hModule;
};

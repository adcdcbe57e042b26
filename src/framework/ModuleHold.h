// Keeps the module that this code lives in loaded for the length of a call into it from outside, so
// that a caller that frees the module meanwhile (a host calling FreeLibrary from a message that a modal
// loop of the call serves) does not unmap the code under the call.
//
// The reference cannot be given back by code of the module when it may be the last one: FreeLibrary
// would return into unmapped code. So the outermost hold of the process hands its reference to a
// thread of its own, which gives it back once the calling thread has left the module (and a thread
// of the module gives its own back with FreeLibraryAndExitThread, see CThread).
#pragma once
#include <windows.h>

class CModuleHold {
public:
    CModuleHold();
    ~CModuleHold();
    CModuleHold(const CModuleHold&) = delete;
    CModuleHold& operator=(const CModuleHold&) = delete;

    // A new reference to the module of this code; NULL when none could be taken.
    static HMODULE TakeReference();

private:
    HMODULE m_hModule;
};

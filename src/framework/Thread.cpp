#include "framework/Thread.h"

#include "framework/ModuleHold.h"

#include <process.h>

bool CThread::CreateThread(HANDLE* phThread)
{
    m_hModule = CModuleHold::TakeReference();
    uintptr_t h = ::_beginthreadex(nullptr, 0, ThreadProc, this, 0, nullptr);
    if (h == 0) {
        if (m_hModule != NULL)
            ::FreeLibrary(m_hModule);
        delete this;
        return false;
    }
    if (phThread != nullptr)
        *phThread = reinterpret_cast<HANDLE>(h);
    else
        ::CloseHandle(reinterpret_cast<HANDLE>(h));
    return true;
}

unsigned __stdcall CThread::ThreadProc(void* pParam)
{
    CThread* pThread = static_cast<CThread*>(pParam);
    int result = 0;
    try {
        if (pThread->InitInstance())
            result = pThread->Run();
    } catch (...) {
        result = 0;
    }
    const HMODULE hModule = pThread->m_hModule;
    delete pThread;
    if (hModule != NULL)
        ::FreeLibraryAndExitThread(hModule, static_cast<DWORD>(result));
    return static_cast<unsigned>(result);
}

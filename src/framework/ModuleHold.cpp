#include "framework/ModuleHold.h"

#include <new>

namespace {

// Holds alive in the process, on every thread.
LONG s_nHolds = 0;

struct Handover {
    HMODULE hModule;
    HANDLE hCaller;     // the thread whose call ended
    volatile LONG left; // set by the call's last step, which calls nothing outside the module after it
};

bool IsInModule(HMODULE hModule, ULONG_PTR address)
{
    const BYTE* base = reinterpret_cast<const BYTE*>(hModule);
    const IMAGE_DOS_HEADER* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const IMAGE_NT_HEADERS* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    return address >= reinterpret_cast<ULONG_PTR>(base)
           && address - reinterpret_cast<ULONG_PTR>(base) < nt->OptionalHeader.SizeOfImage;
}

ULONG_PTR InstructionOf(const CONTEXT& context)
{
#ifdef _WIN64
    return context.Rip;
#else
    return context.Eip;
#endif
}

// Once the call has set left, the caller runs only its last instructions in the module: the
// reference goes when the caller's instruction pointer is outside it.
DWORD WINAPI GiveBackLater(void* pParam)
{
    Handover* pHandover = static_cast<Handover*>(pParam);
    while (pHandover->left == 0)
        ::Sleep(1);
    const Handover handover = { pHandover->hModule, pHandover->hCaller, 1 };
    delete pHandover;
    for (;;) {
        if (::SuspendThread(handover.hCaller) == static_cast<DWORD>(-1))
            break;
        CONTEXT context = {};
        context.ContextFlags = CONTEXT_CONTROL;
        const BOOL read = ::GetThreadContext(handover.hCaller, &context);
        ::ResumeThread(handover.hCaller);
        if (!read || !IsInModule(handover.hModule, InstructionOf(context)))
            break;
        ::Sleep(1);
    }
    ::CloseHandle(handover.hCaller);
    ::FreeLibraryAndExitThread(handover.hModule, 0);
    return 0;
}

} // namespace

HMODULE CModuleHold::TakeReference()
{
    HMODULE hModule = NULL;
    if (!::GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCSTR>(&s_nHolds), &hModule))
        return NULL;
    return hModule;
}

CModuleHold::CModuleHold() : m_hModule(TakeReference())
{
    ::InterlockedIncrement(&s_nHolds);
}

CModuleHold::~CModuleHold()
{
    if (::InterlockedDecrement(&s_nHolds) != 0) {
        // An outer hold keeps the module loaded past this return.
        if (m_hModule != NULL)
            ::FreeLibrary(m_hModule);
        return;
    }
    if (m_hModule == NULL)
        return;
    Handover* pHandover = new (std::nothrow) Handover{ m_hModule, NULL, 0 };
    const HANDLE process = ::GetCurrentProcess();
    HANDLE hThread = NULL;
    if (pHandover == nullptr
        || !::DuplicateHandle(process, ::GetCurrentThread(), process, &pHandover->hCaller,
                              THREAD_SUSPEND_RESUME | THREAD_GET_CONTEXT, FALSE, 0)
        || (hThread = ::CreateThread(nullptr, 0, GiveBackLater, pHandover, 0, nullptr)) == NULL) {
        // The reference stays: the module remains loaded, which is safe.
        if (pHandover != nullptr && pHandover->hCaller != NULL)
            ::CloseHandle(pHandover->hCaller);
        delete pHandover;
        return;
    }
    ::CloseHandle(hThread);
    // The last step: from here on the thread runs only the returns of this call.
    ::InterlockedExchange(&pHandover->left, 1);
}

#include "Hooks.h"

#include <cstring>
#include <cwchar>
#include <vector>

namespace hostile {
namespace hooks {

namespace {

unsigned s_divisor = 1;
// Set on the host's thread while no run is under way, read by the run's worker.
std::function<void(unsigned)> s_before;
volatile LONG s_calls = 0;
volatile LONG s_armed = 0;
// Written by the run's worker, read once the run is over.
std::vector<unsigned> s_claimCalls;

// The number of the call about to be made; 0 while no run is under way.
unsigned Before()
{
    if (s_armed == 0)
        return 0;
    const unsigned call = static_cast<unsigned>(::InterlockedIncrement(&s_calls));
    s_before(call);
    return call;
}

// Notes a rename into an import's claim folder: a claim.
struct NoteClaim {
    unsigned call;
    template <class... Args>
    void operator()(Args...) const
    {
    }
    void operator()(LPCWSTR, LPCWSTR to, DWORD) const
    {
        if (call != 0 && to != nullptr && std::wcsstr(to, L"\\.~qrvlnk-claims-") != nullptr)
            s_claimCalls.push_back(call);
    }
};

void WINAPI ShortSleep(DWORD ms)
{
    ::Sleep(ms / s_divisor);
}

UINT_PTR WINAPI ShortTimer(HWND hWnd, UINT_PTR id, UINT ms, TIMERPROC proc)
{
    return ::SetTimer(hWnd, id, ms / s_divisor, proc);
}

// The file calls counted: HOOK(return type, name, parameters, arguments) for each. The plug-in lists
// folders through the wide functions only.
#define QRVLNK_FILE_CALLS(HOOK)                                                                                      \
    HOOK(HANDLE, CreateFileA, (LPCSTR a, DWORD b, DWORD c, LPSECURITY_ATTRIBUTES d, DWORD e, DWORD f, HANDLE g),       \
         (a, b, c, d, e, f, g))                                                                                        \
    HOOK(HANDLE, CreateFileW, (LPCWSTR a, DWORD b, DWORD c, LPSECURITY_ATTRIBUTES d, DWORD e, DWORD f, HANDLE g),      \
         (a, b, c, d, e, f, g))                                                                                        \
    HOOK(BOOL, MoveFileA, (LPCSTR a, LPCSTR b), (a, b))                                                                \
    HOOK(BOOL, MoveFileW, (LPCWSTR a, LPCWSTR b), (a, b))                                                              \
    HOOK(BOOL, MoveFileExA, (LPCSTR a, LPCSTR b, DWORD c), (a, b, c))                                                  \
    HOOK(BOOL, MoveFileExW, (LPCWSTR a, LPCWSTR b, DWORD c), (a, b, c))                                                \
    HOOK(BOOL, DeleteFileA, (LPCSTR a), (a))                                                                           \
    HOOK(BOOL, DeleteFileW, (LPCWSTR a), (a))                                                                          \
    HOOK(HANDLE, FindFirstFileW, (LPCWSTR a, LPWIN32_FIND_DATAW b), (a, b))                                            \
    HOOK(BOOL, FindNextFileW, (HANDLE a, LPWIN32_FIND_DATAW b), (a, b))

#define QRVLNK_DEFINE_HOOK(ret, name, params, args) \
    ret WINAPI Hook##name params                    \
    {                                               \
        NoteClaim{ Before() } args;                 \
        return ::name args;                         \
    }
QRVLNK_FILE_CALLS(QRVLNK_DEFINE_HOOK)
#undef QRVLNK_DEFINE_HOOK

struct Hook {
    const char* dll;
    const char* name;
    void* replacement;
};

#define QRVLNK_HOOK_ENTRY(ret, name, params, args) { "kernel32.dll", #name, reinterpret_cast<void*>(Hook##name) },
const Hook kHooks[] = { QRVLNK_FILE_CALLS(QRVLNK_HOOK_ENTRY){ "kernel32.dll", "Sleep", reinterpret_cast<void*>(ShortSleep) },
                        { "user32.dll", "SetTimer", reinterpret_cast<void*>(ShortTimer) } };
#undef QRVLNK_HOOK_ENTRY
#undef QRVLNK_FILE_CALLS

// Points the import of function from dll in module at replacement; false when module does not import it.
bool Patch(HMODULE module, const char* dll, const char* function, void* replacement)
{
    BYTE* base = reinterpret_cast<BYTE*>(module);
    const IMAGE_NT_HEADERS* nt =
        reinterpret_cast<const IMAGE_NT_HEADERS*>(base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (const IMAGE_IMPORT_DESCRIPTOR* from = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         from->Name != 0; ++from) {
        if (::lstrcmpiA(reinterpret_cast<const char*>(base + from->Name), dll) != 0)
            continue;
        const IMAGE_THUNK_DATA* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + from->OriginalFirstThunk);
        IMAGE_THUNK_DATA* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + from->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                continue;
            const IMAGE_IMPORT_BY_NAME* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) != 0)
                continue;
            DWORD protection = 0;
            if (!::VirtualProtect(&slots->u1.Function, sizeof(slots->u1.Function), PAGE_READWRITE, &protection))
                return false;
            slots->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
            ::VirtualProtect(&slots->u1.Function, sizeof(slots->u1.Function), protection, &protection);
            return true;
        }
    }
    return false;
}

} // namespace

bool Install(HMODULE dll, unsigned timeDivisor, std::string* missing)
{
    s_divisor = timeDivisor == 0 ? 1 : timeDivisor;
    missing->clear();
    for (const Hook& hook : kHooks) {
        if (!Patch(dll, hook.dll, hook.name, hook.replacement))
            *missing += std::string(missing->empty() ? "" : ", ") + hook.name;
    }
    return missing->empty();
}

void Arm(const std::function<void(unsigned)>& before)
{
    s_before = before;
    s_calls = 0;
    s_claimCalls.clear();
    s_armed = 1;
}

void Disarm()
{
    s_armed = 0;
    s_before = nullptr;
}

unsigned Calls()
{
    return static_cast<unsigned>(s_calls);
}

std::vector<unsigned> ClaimCalls()
{
    return s_claimCalls;
}

} // namespace hooks
} // namespace hostile

// The library's static objects, in order of construction: the application object, then the log file.
// They are destroyed in the opposite order at unload.
#include "plugin/InterfaceApp.h"
#include "plugin/LogFile.h"

#include <windows.h>

CInterfaceApp theApp;
CLogFile theLogFile;

extern "C" BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD reason, LPVOID reserved)
{
    if (reason == DLL_PROCESS_ATTACH) {
        ::DisableThreadLibraryCalls(hInstance);
        theApp.Start(hInstance);
    }
    return TRUE;
}

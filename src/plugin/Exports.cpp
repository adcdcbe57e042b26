#include "plugin/Exports.h"

#include "plugin/Identity.h"
#include "settings/Settings.h"
#include "setup/SetupSheet.h"

#include <cstring>

// Export, AutoExport, Import and AutoImport find the host window and run their dialog; until the run
// dialogs exist they only return 1, which is what the host sees of every run.
int Export()
{
    return 1;
}

int AutoExport()
{
    return 1;
}

int Import()
{
    return 1;
}

int AutoImport()
{
    return 1;
}

void Setup()
{
    try {
        setup::RunSetupSheet();
    } catch (...) {
        // Nothing may reach the host but the return.
    }
}

void GetInterfaceInfo(char* pszID, char* pszName, int* pnKind)
{
    std::memcpy(pszID, identity::kInterfaceID, sizeof(identity::kInterfaceID));
    std::memcpy(pszName, identity::kInterfaceName, sizeof(identity::kInterfaceName));
    *pnKind = identity::kInterfaceKind;
}

unsigned short QueryFunctions()
{
    return identity::kFunctions;
}

BOOL SetDataFilePath(const char* pszPath)
{
    return settings::SetString(settings::kExportLocation, pszPath) ? TRUE : FALSE;
}

BOOL SetUserOrgID(const char* pszUserOrgID)
{
    return settings::SetString(settings::kUserOrgID, pszUserOrgID) ? TRUE : FALSE;
}

#include "plugin/Exports.h"

#include "export/ExportDlg.h"
#include "import/ImportDlg.h"
#include "plugin/Identity.h"
#include "settings/Settings.h"
#include "setup/SetupSheet.h"

#include <cstring>
#include <memory>

namespace {

const char kHostTitle[] = "网商数据交换系统 - QRVHUB";

// Runs one run dialog modally, owned by the host's main window; without that window nothing is shown.
// The wrapper only borrows the host's window and leaves it as it was.
template <class TDialog>
int RunDialog(int bAuto)
{
    try {
        CWindow host(::FindWindowA(nullptr, kHostTitle));
        if (host.m_hWnd == NULL)
            return 1;
        std::unique_ptr<TDialog> pDlg(new TDialog(host.m_hWnd, bAuto));
        pDlg->DoModal();
        pDlg.reset();
        host.Detach();
    } catch (...) {
    }
    return 1;
}

} // namespace

int Export()
{
    return RunDialog<CExportDlg>(0);
}

int AutoExport()
{
    return RunDialog<CExportDlg>(1);
}

int Import()
{
    return RunDialog<CImportDlg>(0);
}

int AutoImport()
{
    return RunDialog<CImportDlg>(1);
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

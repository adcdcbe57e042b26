#include "plugin/Exports.h"

#include "framework/ModuleHold.h"
#include "engine/TransferRecord.h"
#include "plugin/HostTitle.h"
#include "plugin/Identity.h"
#include "plugin/InterfaceApp.h"
#include "run/ExportDlg.h"
#include "run/ImportDlg.h"
#include "settings/Settings.h"
#include "setup/SetupSheet.h"

#include <cstring>
#include <memory>

namespace {

// The host's main window in this process. A window of that title in another process is never taken:
// the dialog would disable a window that is not ours.
HWND FindHostWindow()
{
    const DWORD self = ::GetCurrentProcessId();
    for (HWND hWnd = ::FindWindowExA(NULL, NULL, nullptr, kHostTitle); hWnd != NULL;
         hWnd = ::FindWindowExA(NULL, hWnd, nullptr, kHostTitle)) {
        DWORD process = 0;
        ::GetWindowThreadProcessId(hWnd, &process);
        if (process == self)
            return hWnd;
    }
    return NULL;
}

// Whether an automatic run of each kind is under way or waiting for its turn in this process. The host
// calls on its own thread; a call that its timer makes from inside the modal loop of such a run returns
// at once, so that no modal loop nests behind an error box nobody answers.
bool s_bAutoRunOpen[2] = {};

// Marks an automatic run of a kind open for the length of its call.
class CAutoRunMark {
public:
    explicit CAutoRunMark(bool& open) : m_open(open) { m_open = true; }
    ~CAutoRunMark() { m_open = false; }
    CAutoRunMark(const CAutoRunMark&) = delete;
    CAutoRunMark& operator=(const CAutoRunMark&) = delete;

private:
    bool& m_open;
};

// The one record line of an automatic call that did not run because one of its kind is still open.
void RecordAutoRunOpen(RunKind kind)
{
    const std::string what = kind == RunKind::kExport ? "导出" : "导入";
    CTransferRecord record(settings::RecordPath(), kind, true);
    record.Refused("上一次自动" + what + "还没有结束（还在运行、在等待轮到它，或者在等人点“错误信息”提示框），这次自动" + what
                       + "没有运行，留给宿主程序的下一次",
                   Box::kNone);
}

// Runs one run dialog modally, owned by the host's main window; without that window nothing is shown.
// The wrapper only borrows the host's window and leaves it as it was. The dialog returns only once its
// worker has ended, so deleting it here frees nothing that a thread still reaches.
template <class TMakeDialog>
int RunDialog(RunKind kind, bool bAuto, TMakeDialog makeDialog)
{
    try {
        CWindow host(FindHostWindow());
        if (host.m_hWnd == NULL)
            return 1;
        bool& open = s_bAutoRunOpen[kind == RunKind::kExport ? 0 : 1];
        if (bAuto && open) {
            RecordAutoRunOpen(kind);
            host.Detach();
            return 1;
        }
        std::unique_ptr<CAutoRunMark> mark(bAuto ? new CAutoRunMark(open) : nullptr);
        std::unique_ptr<CRunDlg> pDlg(makeDialog(host.m_hWnd));
        pDlg->DoModal();
        pDlg.reset();
        host.Detach();
    } catch (...) {
    }
    return 1;
}

int RunExport(bool bAuto)
{
    return RunDialog(RunKind::kExport, bAuto,
                     [bAuto](HWND hHost) { return new CExportDlg(hHost, bAuto, GetInterfaceApp()->GetUserOrgID()); });
}

int RunImport(bool bAuto)
{
    return RunDialog(RunKind::kImport, bAuto,
                     [bAuto](HWND hHost) { return new CImportDlg(hHost, bAuto, GetInterfaceApp()->GetUserOrgID()); });
}

} // namespace

// The exports that run a modal loop hold the module for the length of the call: the host's own code
// runs inside them (its timers and window messages) and may free the module meanwhile. The others run
// none of the host's code, so nothing can free the module under them, and the host may reload the
// module at once after them (to make it read UserOrgID afresh).
int Export()
{
    const CModuleHold hold;
    return RunExport(false);
}

int AutoExport()
{
    const CModuleHold hold;
    return RunExport(true);
}

int Import()
{
    const CModuleHold hold;
    return RunImport(false);
}

int AutoImport()
{
    const CModuleHold hold;
    return RunImport(true);
}

void Setup()
{
    const CModuleHold hold;
    try {
        setup::RunSetupSheet();
    } catch (...) {
        // Nothing may reach the host but the return.
    }
}

// A null pointer is passed over: the host gets what it asked for.
void GetInterfaceInfo(char* pszID, char* pszName, int* pnKind)
{
    if (pszID != nullptr)
        std::memcpy(pszID, identity::kInterfaceID, sizeof(identity::kInterfaceID));
    if (pszName != nullptr)
        std::memcpy(pszName, identity::kInterfaceName, sizeof(identity::kInterfaceName));
    if (pnKind != nullptr)
        *pnKind = identity::kInterfaceKind;
}

unsigned short QueryFunctions()
{
    return identity::kFunctions;
}

// A null pointer changes nothing: it would delete the stored value.
BOOL SetDataFilePath(const char* pszPath)
{
    if (pszPath == nullptr)
        return FALSE;
    return settings::SetString(settings::kExportLocation, pszPath) ? TRUE : FALSE;
}

BOOL SetUserOrgID(const char* pszUserOrgID)
{
    if (pszUserOrgID == nullptr)
        return FALSE;
    return settings::SetString(settings::kUserOrgID, pszUserOrgID) ? TRUE : FALSE;
}

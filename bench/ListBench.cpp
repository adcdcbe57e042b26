// What the lists cost: their rewrite at 10, 1,000 and 10,000 entries, and the time from the start of
// an export until its progress window appears, with large lists against small ones.
#include "Layouts.h"

#include "run/ExportDlg.h"
#include "settings/Settings.h"

#include <cstdio>
#include <cstring>

namespace bench {

namespace {

LARGE_INTEGER g_progressCreated;

LRESULT CALLBACK NoteProgressWindow(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND && g_progressCreated.QuadPart == 0) {
        const CBT_CREATEWNDA* pCreate = reinterpret_cast<const CBT_CREATEWNDA*>(lParam);
        char cls[16] = "";
        ::GetClassNameA(reinterpret_cast<HWND>(wParam), cls, sizeof(cls));
        // The run dialog has no owner here: the first dialog window with an owner is its progress window.
        if (pCreate->lpcs->hwndParent != NULL && std::strcmp(cls, "#32770") == 0)
            ::QueryPerformanceCounter(&g_progressCreated);
    }
    return ::CallNextHookEx(NULL, code, wParam, lParam);
}

// Seconds from the start of an automatic export until its progress window is made; the run then goes
// on to its end.
double SecondsToProgress()
{
    LARGE_INTEGER frequency, start;
    ::QueryPerformanceFrequency(&frequency);
    g_progressCreated.QuadPart = 0;
    HHOOK hook = ::SetWindowsHookExA(WH_CBT, NoteProgressWindow, nullptr, ::GetCurrentThreadId());
    ::QueryPerformanceCounter(&start);
    {
        CExportDlg dlg(NULL, true);
        dlg.m_dwEnginePauseMs = 0;
        dlg.m_dwEndPauseMs = 0;
        dlg.DoModal();
    }
    ::UnhookWindowsHookEx(hook);
    return static_cast<double>(g_progressCreated.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

std::string TaskDefineText(int tasks)
{
    std::string text;
    for (int i = 0; i < tasks; ++i)
        text += "[任务" + std::to_string(i) + "]\r\nFileName=t" + std::to_string(i)
                + ".txt\r\nSQL=select * from t\r\nChecked=1\r\nLastExportTime=2026-12-01 00:00:00\r\n";
    return text;
}

} // namespace

void ListRewrites(const Workspace& ws)
{
    std::printf("list rewrite: OrgMapping and Suppliers, n entries each, as the setup sheet's OK; %d rounds\n",
                ws.rounds);
    for (int n : { 10, 1000, 10000 }) {
        std::vector<settings::OrgMapping> mappings;
        std::vector<settings::Supplier> suppliers;
        for (int i = 0; i < n; ++i) {
            mappings.push_back({ "C" + std::to_string(n - i), "P" + std::to_string(i) });
            suppliers.push_back({ "S" + std::to_string(n - i), "北方食品有限公司", i % 3 == 0 });
        }
        const Times times = Repeat(ws.rounds, { "", [&] { WriteOldFile(settings::IniPath(settings::kOrgMapFile), OrgMapText(n, n)); },
                                                Timed([&] {
                                                    settings::WriteOrgMappings(mappings);
                                                    settings::WriteSuppliers(suppliers);
                                                }) });
        std::printf("  n = %-6d %s, %.1f us per entry\n", n, Describe(times).c_str(), times.Median() / (2.0 * n) * 1e6);
        std::fflush(stdout);
    }
}

void ProgressAppearance(const Workspace& ws)
{
    const ExportLayout layout(ws, SmallFiles(0));
    const auto prepare = [&](int pairs, int suppliers) {
        return [&layout, pairs, suppliers] {
            layout.Prepare();
            WriteOldFile(settings::IniPath(settings::kOrgMapFile), OrgMapText(pairs, suppliers));
            WriteOldFile(settings::IniPath(settings::kTaskDefineFile), TaskDefineText(5));
        };
    };
    Compare("automatic export started until its progress window appears (5 tasks)", ws.rounds,
            { "10 pairs, 10 suppliers", prepare(10, 10), SecondsToProgress },
            { "10,000 pairs, 2,000 suppliers", prepare(10000, 2000), SecondsToProgress });
}

} // namespace bench

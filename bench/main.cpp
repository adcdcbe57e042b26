// The benchmark of what users wait for, each part a ratio measured in one run.
// Usage: qrvlnk_bench.exe [--dir=FOLDER] [--rounds=N] [--files=N,N...] [part ...]
//   parts: lists progress small durable flush record large runs history (default: all of them); --dir: where the files are made
//   (default: %TEMP%); --rounds: passes of each side (default 3); --files: small files that the
//   transfers and the dialog runs move (default 1000; 1000,10000 for the figures in the README).
#include "Bench.h"

#include "framework/Path.h"
#include "plugin/InterfaceApp.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>

CInterfaceApp theApp;

namespace {

const char* WineVersion()
{
    typedef const char*(CDECL * GetVersion)();
    const GetVersion get = reinterpret_cast<GetVersion>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "wine_get_version")));
    return get ? get() : "none";
}

// "1000,10000" as numbers; empty when the text is no such list.
std::vector<int> Counts(const char* text)
{
    std::vector<int> counts;
    for (const char* p = text; *p;) {
        char* end = nullptr;
        const long n = std::strtol(p, &end, 10);
        if (end == p || n <= 0)
            return {};
        counts.push_back(static_cast<int>(n));
        p = *end == ',' ? end + 1 : end;
    }
    return counts;
}

} // namespace

int main(int argc, char** argv)
{
    theApp.Start(::GetModuleHandleA(nullptr));
    const std::map<std::string, void (*)(const bench::Workspace&)> parts = {
        { "lists", bench::ListRewrites }, { "progress", bench::ProgressAppearance }, { "small", bench::SmallTransfers },
        { "durable", bench::DurableTransfers }, { "flush", bench::FlushCost }, { "record", bench::RecordCost },
        { "large", bench::LargeTransfers }, { "runs", bench::DialogRuns }, { "history", bench::HistoryGrowth },
    };
    const char* const order[] = { "lists", "progress", "small", "durable", "flush", "record", "large", "runs", "history" };
    char base[MAX_PATH];
    ::GetTempPathA(MAX_PATH, base);
    std::string folder = base;
    int rounds = 3;
    std::vector<int> fileCounts;
    std::vector<std::string> chosen;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        bool ok = true;
        if (std::strncmp(arg, "--dir=", 6) == 0)
            folder = arg + 6;
        else if (std::strncmp(arg, "--rounds=", 9) == 0)
            ok = (rounds = std::atoi(arg + 9)) > 0;
        else if (std::strncmp(arg, "--files=", 8) == 0)
            ok = !(fileCounts = Counts(arg + 8)).empty();
        else if (parts.count(arg))
            chosen.push_back(arg);
        else
            ok = false;
        if (!ok) {
            std::fprintf(stderr, "usage: qrvlnk_bench.exe [--dir=FOLDER] [--rounds=N] [--files=N,N...] "
                                 "[lists|progress|small|durable|flush|record|large|runs|history ...]\n");
            return 2;
        }
    }
    if (fileCounts.empty())
        fileCounts.push_back(1000);
    if (chosen.empty())
        chosen.assign(std::begin(order), std::end(order));
    if (!folder.empty() && folder.back() == '\\')
        folder.pop_back();

    const bench::Workspace ws = { bench::Join(folder, "qrvlnk-bench-" + std::to_string(::GetCurrentProcessId())),
                                  rounds, fileCounts };
    bench::MakeDir(ws.root);
    const std::string previous = GetCurrentDir();
    ::SetCurrentDirectoryA(ws.root.c_str());
    SYSTEM_INFO system;
    ::GetNativeSystemInfo(&system);
    std::printf("%s build, Wine %s, %lu processors; in %s\n", sizeof(void*) == 8 ? "x86_64" : "i686", WineVersion(),
                system.dwNumberOfProcessors, ws.root.c_str());
    for (const std::string& part : chosen) {
        const double seconds = bench::Seconds([&] { parts.at(part)(ws); });
        std::printf("(%s: %.0f s)\n", part.c_str(), seconds);
    }
    ::SetCurrentDirectoryA(previous.c_str());
    bench::RemoveTree(ws.root);
    return 0;
}

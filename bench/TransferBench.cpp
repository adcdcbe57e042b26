// Export and import of N small files: the engines (no pause) against a plain CopyFileA + DeleteFileA /
// MoveFileA loop over the same files, in the same run. Prints the times and the ratio engine / plain.
// Usage: qrvlnk_bench.exe [--dir=FOLDER] [N ...]   (default: %TEMP%, N = 1000 10000)
#include "engine/ExportEngine.h"
#include "engine/ImportEngine.h"
#include "plugin/InterfaceApp.h"
#include "settings/Settings.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

CInterfaceApp theApp;

namespace {

// More rounds for small N, where other processes' noise weighs most.
int RoundsFor(int n)
{
    return std::max(3, std::min(9, 20000 / std::max(n, 1)) | 1);
}

class NullView : public IRunView {
public:
    void SetStatus(const char*) override {}
    void SetPos(int) override {}
    void ShowError(const char* text) override { std::fprintf(stderr, "engine error: %s\n", text); }
    bool IsStopRequested() const override { return false; }
};

double Seconds(const std::function<void()>& work)
{
    LARGE_INTEGER frequency, start, end;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&start);
    work();
    ::QueryPerformanceCounter(&end);
    return static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

std::string Join(const std::string& dir, const std::string& name)
{
    return dir + "\\" + name;
}

void MoveAll(const std::vector<std::string>& names, const std::string& from, const std::string& to)
{
    for (const std::string& name : names)
        ::MoveFileA(Join(from, name).c_str(), Join(to, name).c_str());
}

void RemoveTree(const std::string& dir)
{
    WIN32_FIND_DATAA data;
    HANDLE find = ::FindFirstFileA(Join(dir, "*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = data.cFileName;
            if (name == "." || name == "..")
                continue;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(Join(dir, name));
            else
                ::DeleteFileA(Join(dir, name).c_str());
        } while (::FindNextFileA(find, &data));
        ::FindClose(find);
    }
    ::RemoveDirectoryA(dir.c_str());
}

struct Result {
    double plain;     // median
    double engine;
    double plainMin;
    double engineMin;
};

// Runs plain and engine passes alternately, kRounds each; restore puts the files back between passes.
Result Measure(int rounds, const std::function<void()>& plain, const std::function<void()>& engine,
               const std::function<void()>& restore)
{
    std::vector<double> plainTimes, engineTimes;
    for (int round = 0; round < rounds; ++round) {
        if (round % 2 == 0) {
            plainTimes.push_back(Seconds(plain));
            restore();
            engineTimes.push_back(Seconds(engine));
            restore();
        } else {
            engineTimes.push_back(Seconds(engine));
            restore();
            plainTimes.push_back(Seconds(plain));
            restore();
        }
    }
    std::sort(plainTimes.begin(), plainTimes.end());
    std::sort(engineTimes.begin(), engineTimes.end());
    return { plainTimes[rounds / 2], engineTimes[rounds / 2], plainTimes.front(), engineTimes.front() };
}

void Report(const char* what, int n, const Result& r)
{
    std::printf("%-6s N=%-6d rounds %d  median: plain %7.3f s engine %7.3f s ratio %.3f | best: plain %7.3f s engine %7.3f s ratio %.3f\n",
                what, n, RoundsFor(n), r.plain, r.engine, r.engine / r.plain, r.plainMin, r.engineMin, r.engineMin / r.plainMin);
    std::fflush(stdout);
}

// n files of 64 bytes in dir, named by pattern from the index; returns the names.
std::vector<std::string> MakeFiles(const std::string& dir, const char* pattern, int n)
{
    std::vector<std::string> names;
    const std::string content(64, 'x');
    for (int i = 0; i < n; ++i) {
        char name[64];
        std::snprintf(name, sizeof(name), pattern, i);
        names.push_back(name);
        FILE* f = std::fopen(Join(dir, name).c_str(), "wb");
        std::fwrite(content.data(), 1, content.size(), f);
        std::fclose(f);
    }
    return names;
}

void BenchExport(const std::string& root, int n)
{
    const std::string send = Join(root, "send");
    const std::string store = Join(root, "store");
    const std::string target = Join(store, "P1");
    ::CreateDirectoryA(send.c_str(), nullptr);
    ::CreateDirectoryA(store.c_str(), nullptr);
    ::CreateDirectoryA(target.c_str(), nullptr);
    const std::vector<std::string> names = MakeFiles(send, "f%05d_C1_data.txt", n);
    settings::SetString(settings::kSourcePath, send.c_str());
    settings::SetString(settings::kExportLocation, store.c_str());
    settings::SetInt(settings::kIsDeleted, 1);
    NullView view;
    const Result r = Measure(RoundsFor(n),
        [&] {
            for (const std::string& name : names) {
                const std::string source = Join(send, name);
                if (::CopyFileA(source.c_str(), Join(target, name).c_str(), FALSE))
                    ::DeleteFileA(source.c_str());
            }
        },
        [&] { CExportEngine(&view, ReadExportInput(), 0).Run(); },
        [&] { MoveAll(names, target, send); });
    Report("export", n, r);
    RemoveTree(send);
    RemoveTree(store);
}

void BenchImport(const std::string& root, int n)
{
    const std::string recv = Join(root, "recv");
    const std::string store = Join(root, "store");
    const std::string delivery = Join(store, "ORG1");
    const std::string backup = Join(delivery, "Backup");
    ::CreateDirectoryA(recv.c_str(), nullptr);
    ::CreateDirectoryA(store.c_str(), nullptr);
    ::CreateDirectoryA(delivery.c_str(), nullptr);
    ::CreateDirectoryA(backup.c_str(), nullptr);
    const std::vector<std::string> names = MakeFiles(delivery, "d%05d.txt", n);
    settings::SetString(settings::kDestPath, recv.c_str());
    settings::SetString(settings::kExportLocation, store.c_str());
    NullView view;
    const Result r = Measure(RoundsFor(n),
        [&] {
            for (const std::string& name : names) {
                const std::string source = Join(delivery, name);
                if (::CopyFileA(source.c_str(), Join(recv, name).c_str(), FALSE))
                    ::MoveFileA(source.c_str(), Join(backup, name).c_str());
            }
        },
        [&] { CImportEngine(&view, ReadImportInput("ORG1")).Run(); },
        [&] { MoveAll(names, backup, delivery); });
    Report("import", n, r);
    RemoveTree(recv);
    RemoveTree(store);
}

} // namespace

int main(int argc, char** argv)
{
    theApp.Start(::GetModuleHandleA(nullptr));
    std::vector<int> counts;
    char base[MAX_PATH];
    ::GetTempPathA(MAX_PATH, base);
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--dir=", 6) == 0)
            std::snprintf(base, sizeof(base), "%s\\", argv[i] + 6);
        else
            counts.push_back(std::atoi(argv[i]));
    }
    if (counts.empty())
        counts = { 1000, 10000 };

    const std::string root = std::string(base) + "qrvlnk-bench-" + std::to_string(::GetCurrentProcessId());
    ::CreateDirectoryA(root.c_str(), nullptr);
    char previous[MAX_PATH];
    ::GetCurrentDirectoryA(MAX_PATH, previous);
    ::SetCurrentDirectoryA(root.c_str());
    FILE* ini = std::fopen(settings::IniPath(settings::kOrgMapFile).c_str(), "wb");
    std::fputs("[OrgMapping]\r\nClientID0000=C1\r\nQRVID0000=P1\r\n", ini);
    std::fclose(ini);

    std::printf("in %s; plain loop and engine alternating, pause 0\n", root.c_str());
    for (int n : counts) {
        BenchExport(root, n);
        BenchImport(root, n);
    }
    ::SetCurrentDirectoryA(previous);
    RemoveTree(root);
    return 0;
}

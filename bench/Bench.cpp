#include "Bench.h"

#include <algorithm>
#include <cstdio>

namespace bench {

double Seconds(const std::function<void()>& work)
{
    LARGE_INTEGER frequency, start, end;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&start);
    work();
    ::QueryPerformanceCounter(&end);
    return static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

std::function<double()> Timed(std::function<void()> work)
{
    return [work] { return Seconds(work); };
}

double Times::Median() const
{
    std::vector<double> sorted = seconds;
    std::sort(sorted.begin(), sorted.end());
    const size_t n = sorted.size();
    return n % 2 ? sorted[n / 2] : (sorted[n / 2 - 1] + sorted[n / 2]) / 2;
}

double Times::Min() const
{
    return *std::min_element(seconds.begin(), seconds.end());
}

double Times::Max() const
{
    return *std::max_element(seconds.begin(), seconds.end());
}

std::string Describe(const Times& times)
{
    char text[96];
    std::snprintf(text, sizeof(text), "median %.3f s (%.3f..%.3f)", times.Median(), times.Min(), times.Max());
    return text;
}

Times Repeat(int rounds, const Side& side)
{
    Times times;
    for (int round = 0; round < rounds; ++round) {
        side.prepare();
        times.seconds.push_back(side.measure());
    }
    return times;
}

double Compare(const std::string& what, int rounds, const Side& a, const Side& b)
{
    Times timesA, timesB;
    for (int round = 0; round < rounds; ++round) {
        for (int turn = 0; turn < 2; ++turn) {
            const bool bFirst = (turn == 0) == (round % 2 == 0);
            const Side& side = bFirst ? a : b;
            side.prepare();
            (bFirst ? timesA : timesB).seconds.push_back(side.measure());
        }
    }
    const double ratio = timesB.Median() / timesA.Median();
    std::printf("%s, %d rounds\n  %-28s %s\n  %-28s %s\n  ratio %.2f\n", what.c_str(), rounds, a.name.c_str(),
                Describe(timesA).c_str(), b.name.c_str(), Describe(timesB).c_str(), ratio);
    std::fflush(stdout);
    return ratio;
}

std::string Join(const std::string& dir, const std::string& name)
{
    return dir + "\\" + name;
}

void MakeDir(const std::string& dir)
{
    ::CreateDirectoryA(dir.c_str(), nullptr);
}

void ForEachFile(const std::string& dir, const std::function<void(const WIN32_FIND_DATAA&)>& visit)
{
    WIN32_FIND_DATAA data;
    HANDLE find = ::FindFirstFileA(Join(dir, "*.*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            visit(data);
    } while (::FindNextFileA(find, &data));
    ::FindClose(find);
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

void MakeFiles(const std::string& dir, const char* pattern, int n, size_t size)
{
    const std::string content(std::min<size_t>(size, 1 << 20), 'x');
    for (int i = 0; i < n; ++i) {
        char name[64];
        std::snprintf(name, sizeof(name), pattern, i);
        FILE* f = std::fopen(Join(dir, name).c_str(), "wb");
        for (size_t written = 0; written < size; written += content.size())
            std::fwrite(content.data(), 1, std::min(content.size(), size - written), f);
        std::fclose(f);
    }
}

void WriteOldFile(const std::string& path, const std::string& text)
{
    HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    ::WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    FILETIME now;
    ::GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER time;
    time.LowPart = now.dwLowDateTime;
    time.HighPart = now.dwHighDateTime;
    time.QuadPart -= 3600ULL * 10000000ULL;
    FILETIME hourAgo = { time.LowPart, time.HighPart };
    ::SetFileTime(file, nullptr, nullptr, &hourAgo);
    ::CloseHandle(file);
}

std::string OrgMapText(int pairs, int suppliers)
{
    std::string text = "[OrgMapping]\r\n";
    char line[160];
    for (int i = 0; i < pairs; ++i) {
        std::snprintf(line, sizeof(line), "ClientID%04d=C%d\r\nQRVID%04d=P%d\r\n", i, i, i, i);
        text += line;
    }
    text += "[Suppliers]\r\n";
    for (int i = 0; i < suppliers; ++i) {
        std::snprintf(line, sizeof(line), "SID%04d=S%d\r\nValid%04d=%d\r\nName%04d=北方食品有限公司%d\r\n", i, i, i, i % 2,
                      i, i);
        text += line;
    }
    return text;
}

BoxAnswer NullView::ShowError(const char* text)
{
    std::fprintf(stderr, "engine error: %s\n", text);
    return BoxAnswer::kAnswered;
}

} // namespace bench

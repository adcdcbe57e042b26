// qrvlnk_hostile.exe: generated hostile workspaces run through the real QRVLNK.dll, each checked against
// the laws (see Laws.h). scripts/hostile.sh runs it and counts.
//   qrvlnk_hostile.exe --list S,S,... [--cuts N] [--real-time] [--timeout SECONDS] [--keep] [--show]
// (the seeds run in the order listed; the script makes the list from its ranges; --cuts: how many runs
// of each seed are ended at a file call, law 6.) The program starts itself as another host
// (OtherHost.h): --host AutoExport|AutoImport --end-at K --divisor D [--ready EVENT].
// Prints "seed S: passed" or a failure's report and "seed S: FAILED (...)" for each seed (--show prints
// every seed's report); exit code 0 when every seed passed, 1 when one failed, 2 for wrong arguments, 3
// when a call did not return.
#include "Host.h"
#include "OtherHost.h"
#include "Session.h"
#include "Text.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

const char kUsage[] =
    "usage: qrvlnk_hostile.exe --list S,S,... [--cuts N] [--real-time] [--timeout SECONDS] [--keep] [--show]\n";

// A drive letter that names nothing yet, from the end of the alphabet.
wchar_t FreeDriveLetter()
{
    const DWORD used = ::GetLogicalDrives();
    for (wchar_t letter = L'Y'; letter > L'D'; --letter) {
        if ((used & (1u << (letter - L'A'))) == 0)
            return letter;
    }
    return 0;
}

bool Number(const char* text, uint64_t* value)
{
    char* end = nullptr;
    *value = std::strtoull(text, &end, 10);
    return text[0] != '\0' && *end == '\0';
}

// Seeds separated by commas.
bool Numbers(const std::string& text, std::vector<uint64_t>* values)
{
    size_t start = 0;
    for (size_t comma = text.find(','); start <= text.size(); start = comma + 1, comma = text.find(',', start)) {
        uint64_t value = 0;
        if (!Number(text.substr(start, comma == std::string::npos ? std::string::npos : comma - start).c_str(), &value))
            return false;
        values->push_back(value);
        if (comma == std::string::npos)
            break;
    }
    return !values->empty();
}

} // namespace

int main(int argc, char** argv)
{
    // Lines end in LF alone, as the script that reads them expects.
    _setmode(_fileno(stdout), _O_BINARY);
    uint64_t value = 0;
    std::vector<uint64_t> list;
    hostile::Options options;
    if (argc >= 7 && std::strcmp(argv[1], "--host") == 0 && std::strcmp(argv[3], "--end-at") == 0
        && std::strcmp(argv[5], "--divisor") == 0) {
        const hostile::Run run = std::strcmp(argv[2], hostile::RunName(hostile::Run::kExport)) == 0 ? hostile::Run::kExport
                                                                                                   : hostile::Run::kImport;
        return hostile::HostOnce(run, std::strtoul(argv[4], nullptr, 10), argc >= 9 ? argv[8] : "",
                                 std::strtoul(argv[6], nullptr, 10), options.timeoutMs);
    }
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool valued = i + 1 < argc;
        if (arg == "--list" && valued && Numbers(argv[i + 1], &list)) {
            ++i;
        } else if (arg == "--timeout" && valued && Number(argv[i + 1], &value)) {
            options.timeoutMs = static_cast<DWORD>(value * 1000);
            ++i;
        } else if (arg == "--cuts" && valued && Number(argv[i + 1], &value)) {
            options.cuts = static_cast<unsigned>(value);
            ++i;
        } else if (arg == "--show") {
            options.show = true;
        } else if (arg == "--real-time") {
            options.timeDivisor = 1;
        } else if (arg == "--keep") {
            options.keep = true;
        } else {
            list.clear();
            break;
        }
    }
    if (list.empty()) {
        hostile::Print(kUsage);
        return 2;
    }
    wchar_t temp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, temp);
    options.root = std::wstring(temp) + L"qrvlnk-hostile-" + std::to_wstring(::GetCurrentProcessId());
    options.driveLetter = FreeDriveLetter();
    hostile::CHost host(options.timeDivisor, options.timeoutMs);
    bool passed = true;
    for (uint64_t seed : list)
        passed = hostile::RunSeed(seed, host, options) && passed;
    return passed ? 0 : 1;
}

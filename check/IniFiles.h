// OrgMap.ini and TaskDefine.ini where a run looks for them: present, readable, and GBK text. The
// profile functions read any bytes as GBK; text in another encoding yields other codes and names.
#pragma once
#include "Report.h"

#include <string>

namespace check {

// What an INI file is to the runs: how much its absence or damage weighs, what a run then does, and
// what to do about a missing file.
struct IniFileRole {
    const char* fileName;
    Level level;
    const char* consequence;
    const char* remedy;
};

enum class IniState {
    kAbsent,   // missing, a folder, or unreadable
    kMisread,  // read, but not as GBK text: what the runs read of it is wrong
    kReadable,
};

// Checks one INI file.
IniState CheckIniFile(const IniFileRole& role, CReport& report);

// Why bytes are not GBK text and what a run makes of them, or "": a UTF-8 byte-order mark, UTF-8 text,
// or an invalid sequence.
std::string EncodingProblem(const std::string& bytes);

} // namespace check

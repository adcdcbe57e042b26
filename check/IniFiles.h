// OrgMap.ini and TaskDefine.ini where a run looks for them: present, readable, and GBK text. The
// profile functions read any bytes as GBK; text in another encoding yields other codes and names.
#pragma once
#include "Report.h"

#include <string>

namespace check {

// Checks one INI file; level is how much its absence or damage weighs, consequence says what a run
// then does. True when the file can be read (whatever its encoding).
bool CheckIniFile(const char* fileName, Level level, const char* consequence, CReport& report);

// Why bytes are not GBK text, or "": a UTF-8 byte-order mark, UTF-8 text, or an invalid sequence.
std::string EncodingProblem(const std::string& bytes);

} // namespace check

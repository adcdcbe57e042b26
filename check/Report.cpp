#include "Report.h"

#include "framework/Gbk.h"

#include <cstdio>

namespace check {

namespace {
const size_t kShownBytes = 60;
}

void CReport::Add(Level level, const char* tag, const std::string& text)
{
    m_findings.push_back(Finding{ level, tag, text });
}

int CReport::ProblemCount() const
{
    int count = 0;
    for (const Finding& finding : m_findings) {
        if (finding.level == Level::kProblem)
            ++count;
    }
    return count;
}

std::string Quote(const std::string& value)
{
    std::string shown = value;
    gbk::CutToBytes(shown, kShownBytes);
    return "“" + shown + (shown.size() < value.size() ? "…" : "") + "”";
}

std::string SizeText(unsigned long long bytes)
{
    const char* const units[] = { "KB", "MB", "GB", "TB" };
    if (bytes < 1024)
        return std::to_string(bytes) + "字节";
    double size = static_cast<double>(bytes) / 1024;
    size_t unit = 0;
    for (; size >= 1024 && unit + 1 < sizeof(units) / sizeof(units[0]); ++unit)
        size /= 1024;
    char text[32];
    std::snprintf(text, sizeof(text), "%.1f %s", size, units[unit]);
    return text;
}

} // namespace check

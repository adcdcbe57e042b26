#include "Report.h"

#include "framework/Gbk.h"

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

} // namespace check

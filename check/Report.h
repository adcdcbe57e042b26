// What the check found, one line each, in the order found. Each line has a tag shown in brackets;
// problems (a run would stop, or files would stay where they are) decide the exit code.
#pragma once
#include <string>
#include <vector>

namespace check {

// The plug-in's text, and so the report's, is GBK.
const unsigned kGbkCodePage = 936;

enum class Level { kInfo, kNote, kProblem };

struct Finding {
    Level level;
    std::string tag;
    std::string text;
};

class CReport {
public:
    void Add(Level level, const char* tag, const std::string& text);
    // A setting or file as a run would use it.
    void Ok(const std::string& text) { Add(Level::kInfo, "正常", text); }
    void Info(const std::string& text) { Add(Level::kInfo, "信息", text); }
    // Worth knowing, but no run stops and no file stays because of it.
    void Note(const std::string& text) { Add(Level::kNote, "注意", text); }
    void Problem(const std::string& text) { Add(Level::kProblem, "错误", text); }

    const std::vector<Finding>& Findings() const { return m_findings; }
    int ProblemCount() const;

private:
    std::vector<Finding> m_findings;
};

// A value for a message: in quotes, cut to a readable length at a character boundary.
std::string Quote(const std::string& value);
// A number of bytes for a message: "812字节", "3.5 KB", "120.0 MB", "1.2 GB", "2.0 TB".
std::string SizeText(unsigned long long bytes);

} // namespace check

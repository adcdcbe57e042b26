#include "PlanTable.h"

namespace hostile {

namespace {

const char kHeader[] = "run\tentry\taction\treason\ttarget\tarchive\tsource";
const size_t kColumns = 7;

std::vector<std::string> Split(const std::string& line)
{
    std::vector<std::string> fields;
    size_t start = 0;
    for (size_t tab = line.find('\t'); tab != std::string::npos; start = tab + 1, tab = line.find('\t', start))
        fields.push_back(line.substr(start, tab - start));
    fields.push_back(line.substr(start));
    return fields;
}

} // namespace

void ReadPlanTable(const std::string& output, Plan* plan)
{
    size_t start = 0;
    for (size_t end = output.find("\r\n"); end != std::string::npos; start = end + 2, end = output.find("\r\n", start)) {
        const std::string line = output.substr(start, end - start);
        const std::vector<std::string> fields = Split(line);
        if (line == kHeader)
            continue;
        if (fields.size() != kColumns || (fields[0] != "export" && fields[0] != "import")) {
            plan->unread += line + "\n";
            continue;
        }
        PlanRow row;
        row.run = fields[0] == "export" ? Run::kExport : Run::kImport;
        row.entry = fields[1];
        row.action = fields[2];
        row.reason = fields[3];
        row.target = fields[4];
        row.archive = fields[5];
        row.source = fields[6];
        plan->rows.push_back(row);
    }
    plan->unread += output.substr(start);
}

} // namespace hostile

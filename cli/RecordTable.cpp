#include "RecordTable.h"

#include <algorithm>
#include <regex>

namespace dt::cli {

void PrintColumns(std::ostream& out, const std::vector<std::vector<std::string>>& rows) {
    std::vector<size_t> widths;
    for (const auto& row : rows)
        for (size_t i = 0; i < row.size(); ++i) {
            if (widths.size() <= i) widths.push_back(0);
            widths[i] = std::max(widths[i], row[i].size());
        }
    for (const auto& row : rows) {
        std::string line;
        for (size_t i = 0; i < row.size(); ++i) {
            line += row[i];
            if (i + 1 < row.size()) line += std::string(widths[i] - row[i].size() + 2, ' ');
        }
        out << line << "\n";
    }
}

void PrintCsvLine(std::ostream& out, const std::vector<std::string>& fields) {
    for (size_t i = 0; i < fields.size(); ++i) {
        const std::string& f = fields[i];
        if (i) out << ',';
        if (f.find_first_of(",\"\r\n") == std::string::npos) {
            out << f;
            continue;
        }
        out << '"';
        for (char ch : f) out << (ch == '"' ? "\"\"" : std::string(1, ch));
        out << '"';
    }
    out << "\r\n";
}

bool NormalSince(std::string& since) {
    static const std::regex kSince(R"((\d{4}-\d\d-\d\d)(?:[T ](\d\d:\d\d(?::\d\d(?:\.\d{1,3})?)?))?Z?)");
    std::smatch m;
    if (!std::regex_match(since, m, kSince)) return false;
    since = m[1].str() + (m[2].matched ? "T" + m[2].str() : std::string());
    return true;
}

}  // namespace dt::cli

#include "RecordTable.h"

#include <algorithm>

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

namespace {

bool DigitsAt(const std::string& text, size_t from, size_t count) {
    if (from + count > text.size()) return false;
    for (size_t i = from; i < from + count; ++i)
        if (text[i] < '0' || text[i] > '9') return false;
    return true;
}

// HH:MM, HH:MM:SS or HH:MM:SS.f with one to three digits of the fraction.
bool IsTimeOfDay(const std::string& time) {
    const size_t n = time.size();
    if (n < 5 || !DigitsAt(time, 0, 2) || time[2] != ':' || !DigitsAt(time, 3, 2)) return false;
    if (n == 5) return true;
    if (n < 8 || time[5] != ':' || !DigitsAt(time, 6, 2)) return false;
    return n == 8 || (n >= 10 && n <= 12 && time[8] == '.' && DigitsAt(time, 9, n - 9));
}

}  // namespace

// YYYY-MM-DD, optionally with a time of day after a T or a space, optionally ending in Z.
bool NormalSince(std::string& since) {
    std::string text = since;
    if (!text.empty() && text.back() == 'Z') text.pop_back();
    if (!DigitsAt(text, 0, 4) || text[4] != '-' || !DigitsAt(text, 5, 2) || text[7] != '-' || !DigitsAt(text, 8, 2))
        return false;
    if (text.size() == 10) {
        since = text;
        return true;
    }
    if ((text[10] != 'T' && text[10] != ' ') || !IsTimeOfDay(text.substr(11))) return false;
    since = text.substr(0, 10) + "T" + text.substr(11);
    return true;
}

}  // namespace dt::cli

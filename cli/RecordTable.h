#pragma once
// Output helpers the record command's listing and report share: padded columns and CSV fields.
#include <ostream>
#include <string>
#include <vector>

namespace dt::cli {

// Every column but the last padded to its widest cell, two spaces apart.
void PrintColumns(std::ostream& out, const std::vector<std::vector<std::string>>& rows);

// One CSV line (RFC 4180): fields with a comma, quote or line break are quoted.
void PrintCsvLine(std::ostream& out, const std::vector<std::string>& fields);

// A --since value in the form the records compare ("2026-12-08", "2026-12-08T13:30"); false
// for anything else.
bool NormalSince(std::string& since);

}  // namespace dt::cli

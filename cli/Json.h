#pragma once
// The command line's machine-readable output: documents built with nlohmann's JSON in the order
// the fields are added, printed indented.
#include <nlohmann/json.hpp>
#include <ostream>

namespace dt::cli {

using Json = nlohmann::ordered_json;

// One document and a newline. Texts that are not valid UTF-8 (a damaged text.ini) print with
// replacement characters, so the output stays valid JSON whatever the texts hold.
void PrintJson(std::ostream& out, const Json& document);

}  // namespace dt::cli

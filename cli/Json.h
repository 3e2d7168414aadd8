#pragma once
// The command line's machine-readable output: documents built with nlohmann's JSON in the order
// the fields are added, printed indented.
#include <nlohmann/json.hpp>
#include <ostream>

namespace dt::cli {

using Json = nlohmann::ordered_json;

// The version of every document's shape (docs/json.md); a change that could break a caller
// raises it.
constexpr int kJsonSchema = 1;

// A new document: {"schema": 1}, to which the command adds its members in order.
Json Document();

// One document and a newline. Texts that are not valid UTF-8 (a damaged text.ini) print with
// replacement characters, so the output stays valid JSON whatever the texts hold.
void PrintJson(std::ostream& out, const Json& document);

}  // namespace dt::cli

#pragma once
// Minimal JSON text helpers for the command line's machine-readable output.
#include <string>

namespace dt::cli {

// A JSON string literal (quotes included) of UTF-8 text.
std::string JsonString(const std::string& text);

}  // namespace dt::cli

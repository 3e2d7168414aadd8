#pragma once
// The XDG base folders the tool keeps its files in.
#include <string>

namespace dt {

// $<variable> when it holds an absolute path, else $HOME/<homeRelative> ("." without a home).
std::string XdgBaseDir(const char* variable, const char* homeRelative);

}  // namespace dt

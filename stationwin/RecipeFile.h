#pragma once
// A recipe file as the station window takes it: read and refused where `program` refuses it,
// and described for the operator.
#include <string>

#include "Recipe.h"

namespace dt::station {

// Reads path and loads it into recipe. False with the reason, in base's language, when the file
// cannot be read, has no .foc/.ged name, is not the expected bytes (expected "" takes any) or
// is refused by the recipe's own checks.
bool LoadRecipeFile(const ToolState& base, const std::string& path, const std::string& expected, Recipe& recipe,
                    std::string& why);

struct RecipeSummary {
    std::string file;    // name without its folder
    std::string kind;    // "Standard controller, variant B" or "FOC controller"
    std::string model;   // the words a unit must match, in words; "" for an FOC recipe
    std::string sha12;   // the first 12 hex digits of its SHA-256
    int values = 0;      // rows that hold a value
};
RecipeSummary Summarize(const Recipe& recipe, const std::string& path);

// The file name without its folder.
std::string BaseName(const std::string& path);

}  // namespace dt::station

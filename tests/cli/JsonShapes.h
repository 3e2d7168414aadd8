#pragma once
// The JSON shapes docs/json.md shows, and the check that a command's output has one: used by the
// offline commands' test here and by the integration test of `program`.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include "Json.h"

namespace jsonshapes {

using dt::cli::Json;

// The heading's command line ("check FILE... --json") and the first JSON block under it.
inline std::map<std::string, Json> DocumentedShapes() {
    std::ifstream in(std::string(DT_SOURCE_DIR) + "/docs/json.md");
    std::map<std::string, Json> shapes;
    std::string line, heading, block;
    bool inBlock = false;
    static const std::regex kHeading("^## `(.*)`$");
    std::smatch m;
    while (std::getline(in, line)) {
        if (std::regex_match(line, m, kHeading)) heading = m[1];
        else if (line == "```json" && !heading.empty()) inBlock = true, block.clear();
        else if (line == "```" && inBlock) {
            inBlock = false;
            shapes[heading] = Json::parse(block);
            heading.clear();
        } else if (inBlock) block += line + "\n";
    }
    return shapes;
}

// The same members in the same order, of the same types; null on either side stands for a member
// that may be null.
inline void ExpectShape(const Json& doc, const Json& out, const std::string& where) {
    if (doc.is_null() || out.is_null()) return;
    if (doc.is_number()) {
        EXPECT_TRUE(out.is_number()) << where << ": " << out.dump();
        return;
    }
    ASSERT_EQ(doc.type_name(), std::string(out.type_name())) << where << ": " << out.dump().substr(0, 200);
    if (doc.is_object()) {
        std::vector<std::string> want, got;
        for (const auto& item : doc.items()) want.push_back(item.key());
        for (const auto& item : out.items()) got.push_back(item.key());
        ASSERT_EQ(got, want) << where;
        for (const auto& item : doc.items()) ExpectShape(item.value(), out.at(item.key()), where + "." + item.key());
    } else if (doc.is_array() && !doc.empty()) {
        for (size_t i = 0; i < out.size(); ++i) ExpectShape(doc[0], out[i], where + "[" + std::to_string(i) + "]");
    }
}

}  // namespace jsonshapes

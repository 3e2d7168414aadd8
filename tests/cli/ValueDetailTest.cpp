// The detail of each value in the command line's JSON: the word beneath the text, the number it
// shows, its unit and the bounds the range check holds it to.
#include <fstream>

#include "CliFolderTest.h"

namespace {

using dt::cli::Json;
using Bytes = std::vector<unsigned char>;

using clitest::Sample;

Bytes ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

class ValueDetail : public clitest::CliFolder {
protected:
    std::string Write(const std::string& name, const Bytes& bytes) {
        const std::string path = dir_ + "/" + name;
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        return path;
    }
    // foc.ged with some of its bytes (offset, value) changed.
    std::string FocWith(std::initializer_list<std::pair<int, int>> bytes, const std::string& name) {
        Bytes b = ReadBytes(Sample("foc.ged"));
        for (const auto& [offset, value] : bytes) b.at(offset) = static_cast<unsigned char>(value);
        return Write(name, b);
    }
    static Json Detail(const Json& sheet, int row) {
        for (const Json& r : sheet.at("rows"))
            if (r.at("row") == row) return r.at("detail");
        return nullptr;
    }
};

TEST_F(ValueDetail, EachValueCarriesItsWordNumberUnitAndBounds) {
    struct Case {
        const char* file;
        const char* set;
        int row;
        const char* detail;
    };
    const Case cases[] = {
        // A scaled value: the word is not the number shown.
        {"standard-b.foc", "ParameterSettings", 7,
         R"({"text": "80.0", "word": 19859, "number": 80, "unit": "V", "min": 78, "max": 85})"},
        // Bounds below zero, a value without a unit.
        {"standard-b.foc", "ParameterSettings", 2,
         R"({"text": "30", "word": 5461, "number": 30, "unit": null, "min": -180, "max": 180})"},
        // A number shown with its sign, no rule.
        {"standard-b.foc", "ParameterSettings", 1,
         R"({"text": "120°", "word": 0, "number": 120, "unit": null, "min": null, "max": null})"},
        // A bound that follows the pole pairs: 42000 / 15.
        {"standard-b.foc", "ParameterSettings", 4,
         R"({"text": "1000", "word": 1000, "number": 1000, "unit": "rpm", "min": 1, "max": 2800})"},
        // A date is no number; a list entry neither.
        {"standard-b.foc", "ParameterSettings", 49,
         R"({"text": "202612", "word": 2026, "number": null, "unit": null, "min": null, "max": null})"},
        {"standard-b.foc", "ParameterSettings", 37,
         R"({"text": "1:Linear", "word": 36112, "number": null, "unit": null, "min": null, "max": null})"},
        // The nominal voltage has no word of its own.
        {"standard-b.foc", "ParameterSettings", 6,
         R"({"text": "60", "word": null, "number": 60, "unit": "V", "min": null, "max": null})"},
        // FOC: amperes shown from a word of amperes x 10 / 7.
        {"foc.ged", "FocSettings", 9,
         R"({"text": "50", "word": 71, "number": 50, "unit": "A", "min": 35, "max": 70})"},
        // FOC voltages: bounded by the nominal voltage of the set.
        {"foc.ged", "FocSettings", 6,
         R"({"text": "62", "word": 62, "number": 62, "unit": "V", "min": 61, "max": 65})"},
        {"foc.ged", "FocSettings", 7,
         R"({"text": "42", "word": 42, "number": 42, "unit": "V", "min": 34, "max": 48})"},
        {"foc.ged", "FocSettings", 5,
         R"({"text": "48", "word": 48, "number": 48, "unit": "V", "min": null, "max": null})"},
        // FOC choices are bits of byte 0.
        {"foc.ged", "FocSettings", 2,
         R"({"text": "1:Enable", "word": 3, "number": null, "unit": null, "min": null, "max": null})"},
        {"foc.ged", "FocSettings", 13,
         R"({"text": "60", "word": 60, "number": 60, "unit": null, "min": 0, "max": 100})"},
    };
    for (const Case& c : cases) {
        const Json sheet = Output({"show", Sample(c.file), "--json"});
        Json detail;
        for (const Json& r : sheet.at("rows"))
            if (r.at("set") == c.set && r.at("row") == c.row) detail = r.at("detail");
        EXPECT_EQ(detail, Json::parse(c.detail)) << c.file << " row " << c.row;
    }
}

TEST_F(ValueDetail, BoundsFollowTheSetTheyAreCheckedIn) {
    // FOC: a 36 V set holds its over-voltage to 48…65 and its under-voltage to 27…36.
    Json sheet = Output({"show", FocWith({{2, 36}}, "36v.ged"), "--json"});
    EXPECT_EQ(Detail(sheet, 6).at("min"), 48);
    EXPECT_EQ(Detail(sheet, 6).at("max"), 65);
    EXPECT_EQ(Detail(sheet, 7).at("min"), 27);
    EXPECT_EQ(Detail(sheet, 7).at("max"), 36);
    // A nominal voltage the check does not know bounds neither.
    sheet = Output({"show", FocWith({{2, 30}}, "30v.ged"), "--json"});
    EXPECT_TRUE(Detail(sheet, 6).at("min").is_null());
    EXPECT_TRUE(Detail(sheet, 7).at("max").is_null());

    // A standard set whose identity is not valid shows no values: no number and no bounds, but
    // the word is there.
    sheet = Output({"show", Sample("invalid.foc"), "--json"});
    const Json speed = Detail(sheet, 4);
    EXPECT_EQ(speed.at("text"), "") << speed;
    EXPECT_TRUE(speed.at("word").is_number()) << speed;
    EXPECT_TRUE(speed.at("number").is_null()) << speed;
    EXPECT_TRUE(speed.at("min").is_null()) << speed;
    EXPECT_TRUE(speed.at("max").is_null()) << speed;
}

TEST_F(ValueDetail, RefusedRowsGiveTheirBoundsAndDetail) {
    // An over-voltage of 70 on a 48 V FOC set: refused, held to 61…65.
    const Json checked = Output({"check", FocWith({{3, 70}}, "high.ged"), "--json"}, 1);
    const Json rows = checked.at("files").at(0).at("rows");
    ASSERT_EQ(rows.size(), 1u) << checked;
    EXPECT_EQ(rows.at(0).at("row"), 6);
    EXPECT_EQ(rows.at(0).at("min"), 61);
    EXPECT_EQ(rows.at(0).at("max"), 65);
    EXPECT_EQ(rows.at(0).at("detail"),
              Json::parse(R"({"text": "70", "word": 70, "number": 70, "unit": "V", "min": 61, "max": 65})"));
}

}  // namespace

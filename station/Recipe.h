#pragma once
// The set a station clones into every unit: a parameter file's bytes and the cell texts its own
// identity and calibration show, plus the technician's steps that put those texts into a unit.
#include <memory>
#include <string>
#include <vector>

#include "GridPasses.h"
#include "ParameterFiles.h"
#include "ToolState.h"

namespace dt::station {

class Recipe {
public:
    // file: the kind the file's name gives; base gives the texts, language and settings. False
    // with a reason in that language when the bytes are too short, show no valid values or are
    // refused by their own range check.
    bool Load(const ToolState& base, const ControllerProfile& file, const std::vector<unsigned char>& bytes,
              std::string& why);

    ControllerKind Kind() const { return state_->kind; }
    const std::vector<unsigned char>& Bytes() const { return bytes_; }
    const std::string& Sha256() const { return sha256_; }
    const ValueCells& Cells() const { return cells_; }
    // Section 0 word i of a .foc recipe (0 for a .ged one, which has no identity).
    uint16_t IdentityWord(int i) const;
    // The recipe as loaded: its identity and cells, for showing it.
    const ToolState& State() const { return *state_; }

private:
    std::shared_ptr<ToolState> state_ = std::make_shared<ToolState>();
    std::vector<unsigned char> bytes_;
    std::string sha256_;
    ValueCells cells_;
};

// Hex SHA-256 of bytes.
std::string Sha256Hex(const std::vector<unsigned char>& bytes);

// Why bytes are not the recipe expected, in base's language ("" when expected is "" or names
// their SHA-256, in either case).
std::string HashRefusal(const ToolState& base, const std::string& expected, const std::vector<unsigned char>& bytes);

// Why the unit just read may not take the recipe ("" when it may): another kind, another model
// (words 0, 11, 12 and 15 of section 0, and 6 when the model word is 0) or values not valid.
std::string GateRefusal(const Recipe& recipe, const ToolState& unit);

// The unit's cells as a technician leaves them: the recipe's nominal voltage picked (its preset
// cells written), then every editable cell given the recipe's text; read-only cells keep the
// unit's own. The state the range rules read follows the sheet.
void FillLikeTechnician(const Recipe& recipe, ToolState& unit);

// An editable row whose value the unit shows otherwise than the recipe (its calibration
// cannot hold the recipe's value exactly).
struct RoundedRow {
    int row;
    std::string name;
    std::string recipe;
    std::string unit;
};
// Rows of the unit's blocks as they stand, shown with the unit's own identity and calibration.
std::vector<RoundedRow> RoundedRows(const Recipe& recipe, ToolState& unit);

}  // namespace dt::station

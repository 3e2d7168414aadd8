#pragma once
// What differs between the two kinds of controller, in one place: the grid rows, how values
// are shown, stored and checked, the first frame of a download and the file a set goes to.
// The identity read decides which one a state's controller has.
#include <cstdint>
#include <string>
#include <vector>

#include "GridPasses.h"

namespace dt {

struct ToolState;

// What lies beneath a grid row's text, for machine-readable output.
struct RowValue {
    bool hasWord = false;  // false for a row shown from no word of its own (the nominal voltage)
    uint16_t word = 0;     // the word or byte the row is read from, whole
    bool numeric = false;  // the text is a number (not a list entry or a name)
    bool bounded = false;  // the range check holds the row to [min, max]
    double min = 0;
    double max = 0;
};

class ControllerProfile {
public:
    virtual ~ControllerProfile() = default;

    virtual bool Foc() const = 0;
    // Rows of the grid, in order.
    virtual std::vector<GridRow> Layout(const ToolState& s) const = 0;
    virtual ValueCells Show(ToolState& s) const = 0;
    virtual void Store(ToolState& s, const ValueCells& cells) const = 0;
    virtual ValidationResult Validate(const ToolState& s, const ValueCells& cells) const = 0;
    // The range Validate holds a grid row's value to with these cells, as "78.0 … 85.0 V" in
    // the row's format and unit; "" for a row it does not hold to a range.
    virtual std::string AllowedRange(const ToolState& s, const ValueCells& cells, int row) const = 0;
    // The word beneath a grid row and the bounds Validate holds it to with these cells.
    virtual RowValue ValueOf(const ToolState& s, const ValueCells& cells, int row) const = 0;

    // The first request of a download and the 32 bytes it carries.
    virtual uint8_t FirstWriteCommand() const = 0;
    virtual const uint8_t* FirstWriteBlock(const ToolState& s) const = 0;
    // Extension of the file a set of this kind is saved as, without the dot.
    virtual const char* FileExtension() const = 0;
};

const ControllerProfile& StandardProfile();
const ControllerProfile& FocProfile();
// The profile of the controller the state's last identity read found.
const ControllerProfile& ProfileOf(const ToolState& s);

}  // namespace dt

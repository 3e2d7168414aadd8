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

// A title of the sheet: a table's (level 0) or a topic's (level 1), with the grid row it heads.
struct GridHeading {
    int row;
    int level;
    std::string text;
};

// A value cell a choice writes besides its own.
struct CellWrite {
    int row;
    std::string text;
};

// Where a block stands among the blocks of a read or a download: index of count, from 1;
// count 0 for a block the exchange does not take.
struct BlockPlace {
    int index = 0;
    int count = 0;
    bool Last() const { return count > 0 && index == count; }
};

// How a block that a read returned moves the read on.
enum class ReadStep { Next, Done, Ignored };

// What a completed read found: the model word and whether the tool knows its version.
struct ReadVerdict {
    uint16_t modelWord;
    bool versionMatches;
};

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
    // "standard" or "foc": the kind as files and scripts name it.
    virtual const char* KindName() const = 0;
    // The kind in an English sentence: "a standard controller".
    virtual const char* KindPhrase() const = 0;
    // The bytes a file of this kind holds.
    virtual std::vector<unsigned char> FileBytes(const ToolState& s) const = 0;
    // The model word that identifies the set; an FOC controller is known by its kind alone.
    virtual uint16_t ModelWord(const ToolState& s) const = 0;
    // "A" or "B", the function variant in force; "" where the kind has none.
    virtual std::string Variant(const ToolState& s) const = 0;
    // Keeps the payload of block n of a read; says whether the read goes on or is done.
    virtual ReadStep TakeReadBlock(ToolState& s, int block, const std::vector<uint8_t>& payload) const = 0;
    // Makes sense of the blocks a completed read left (identity, variant).
    virtual ReadVerdict CompleteRead(ToolState& s) const = 0;
    // Where block n stands in a read, and in a download.
    virtual BlockPlace ReadPlace(int block) const = 0;
    virtual BlockPlace PlaceOf(int block) const = 0;

    // The titles of the sheet, in row order.
    virtual std::vector<GridHeading> Headings(const ToolState& s) const = 0;
    // The other cells a choice of text in row writes (a nominal-voltage pick); sets the voltage
    // state the pick selects.
    virtual std::vector<CellWrite> ChoiceWrites(ToolState& s, int row, const std::string& text) const = 0;
    // After rows of the sheet changed: the state the range rules read (voltage class, current
    // limits) follows the sheet's texts again.
    virtual void FollowSheet(ToolState& s, const std::vector<int>& rows) const = 0;
};

// A standard download writes section 2 block 0 to section 1 block 1: 1 to 5 of 5.
BlockPlace StandardWritePlace(int block);

const ControllerProfile& StandardProfile();
const ControllerProfile& FocProfile();
// The profile of the controller the state's last identity read found.
const ControllerProfile& ProfileOf(const ToolState& s);

}  // namespace dt

#pragma once
// What differs between the two kinds of controller, in one place: the grid rows, how values
// are shown, stored and checked, the first frame of a download and the file a set goes to.
// The identity read decides which one a state's controller has.
#include <cstdint>
#include <string>
#include <vector>

#include "Catalogue.h"
#include "ControllerImage.h"
#include "ControllerKind.h"
#include "GridRows.h"
#include "OptionLists.h"
#include "Texts.h"

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

// What importing a file did, for the window or the command line to present.
struct ImportOutcome {
    bool handled = false;  // false for an unknown extension: nothing read, nothing shown
    bool accepted = false;
    MsgId message = MSG_IMPORT_OK;
    MessageKind kind = MessageKind::Info;
    std::string detail;        // a second line under the message, "" for none
    bool rebuildTree = false;  // the group tree is rebuilt
};

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

    // The kind's constant facts.
    virtual const KindFacts& Facts() const = 0;
    ControllerKind Kind() const { return Facts().kind; }
    // Extension of the file a set of this kind is saved as, without the dot.
    const char* FileExtension() const { return Facts().extension; }
    // "standard" or "foc": the kind as files and scripts name it.
    const char* KindName() const { return Facts().name; }
    // The kind in an English sentence: "a standard controller".
    const char* KindPhrase() const { return Facts().phrase; }
    // The first request of a download.
    uint8_t FirstWriteCommand() const { return Facts().firstWriteCommand; }
    // The export dialog's filter, "description|pattern||"; messageFilter is the message table's.
    std::string FileFilter(const std::string& messageFilter) const {
        return *Facts().fileFilter ? std::string(Facts().fileFilter) : messageFilter;
    }
    // How many blocks a download writes.
    int WriteBlockCount() const;

    // Rows of the grid, in order.
    virtual std::vector<GridRow> Layout(const ControllerView& v) const = 0;
    // The texts the value cells show; changes nothing.
    virtual ValueCells Show(const ControllerView& v) const = 0;
    // Cell texts into the image's blocks; choice texts are read in the language given.
    virtual void Store(const Catalogue& c, Language language, ControllerImage& image, const ValueCells& cells) const = 0;
    // What the range rules read (voltage class, current limits), from the blocks again.
    virtual void FollowValues(const Catalogue& c, ControllerImage& image) const = 0;
    virtual ValidationResult Validate(const ControllerView& v, const ValueCells& cells) const = 0;
    // The range Validate holds a grid row's value to with these cells, as "78.0 … 85.0 V" in
    // the row's format and unit; "" for a row it does not hold to a range.
    virtual std::string AllowedRange(const ControllerView& v, const ValueCells& cells, int row) const = 0;
    // The word beneath a grid row and the bounds Validate holds it to with these cells.
    virtual RowValue ValueOf(const ControllerView& v, const ValueCells& cells, int row) const = 0;

    // The 32 bytes the first request of a download carries.
    virtual const uint8_t* FirstWriteBlock(const ControllerImage& image) const = 0;
    // The bytes a file of this kind holds.
    virtual std::vector<unsigned char> FileBytes(const ControllerImage& image) const = 0;
    // The bytes a download writes into the controller, in the order written.
    virtual std::vector<uint8_t> WrittenBytes(const ControllerImage& image) const = 0;
    // Clears what a download writes, so that a read back shows only what the controller holds.
    virtual void ClearWritten(ControllerImage& image) const = 0;
    // A file of this kind imported into a state with a controller of any kind, as Import does:
    // checked against the controller read, then taken; a refused file changes nothing.
    virtual ImportOutcome Import(ToolState& s, const std::vector<unsigned char>& content) const = 0;
    // A set of this kind (at least Facts().fileSize bytes) taken as the state's controller, as a
    // read would leave it: the state's kind becomes this one.
    virtual void Adopt(ToolState& s, const std::vector<unsigned char>& content) const = 0;
    // Whether the range rules know the controller (a standard one needs a valid identity).
    virtual bool RangesKnown(const ControllerImage& image) const = 0;
    // The entries a choice row offers.
    virtual const OptionList& Choices(const ToolState& s, int row, const ParamDescriptor& d) const = 0;
    // The model word that identifies the set; an FOC controller is known by its kind alone.
    virtual uint16_t ModelWord(const ControllerImage& image) const = 0;
    // "A" or "B", the function variant in force; "" where the kind has none.
    virtual std::string Variant(const ControllerImage& image) const = 0;
    // Keeps the payload of block n of a read; says whether the read goes on or is done.
    virtual ReadStep TakeReadBlock(ControllerImage& image, int block, const std::vector<uint8_t>& payload) const = 0;
    // Makes sense of the blocks a completed read left (identity, variant).
    virtual ReadVerdict CompleteRead(ToolState& s) const = 0;
    // Where block n stands in a read, and in a download.
    virtual BlockPlace ReadPlace(int block) const = 0;
    virtual BlockPlace PlaceOf(int block) const = 0;

    // The titles of the sheet, in row order.
    virtual std::vector<GridHeading> Headings(const ControllerView& v) const = 0;
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
const ControllerProfile& ProfileOfKind(ControllerKind kind);
// The profile of the controller the image's last identity read (or adopted set) found.
const ControllerProfile& ProfileOf(const ControllerImage& image);
// The kind an identity block's model word names.
ControllerKind KindOfModelWord(uint16_t modelWord);
// The profile whose files carry the path's extension, compared case-sensitively as the file dialog
// reports it; null for any other name.
const ControllerProfile* ProfileOfFile(const std::string& path);
// The same in any case (".FOC", ".Ged"): the command line takes names as file systems and shells give them.
const ControllerProfile* ProfileOfFileAnyCase(const std::string& path);
// The kind of a set read without a name (standard input): the largest file it fills, else the smallest.
const ControllerProfile& ProfileOfContent(size_t size);

}  // namespace dt

#pragma once
// Parameter files: .foc holds the 1024-byte block, .ged the 32-byte FOC block. No header.
#include <string>
#include <vector>

#include "Blocks.h"
#include "Texts.h"

namespace dt {

struct ToolState;

enum class FileKind { Foc, Ged, Other };

// Extension as the file dialog reports it, compared case-sensitively: "foc", "ged", else Other.
FileKind FileKindOf(const std::string& path);
// The same in any case (".FOC", ".Ged"): the command line takes names as file systems and
// shells give them.
FileKind FileKindOfAnyCase(const std::string& path);

// Does a file's section 0 (256 bytes) match the identity of the last controller read?
bool IdentityMatches(const ToolState& s, const unsigned char* section0);
// The line that refuses a file whose ModelWord selects another function variant than the one in
// force (its words would be read in the wrong layout); "" when the variants agree or nothing is known.
std::string VariantMismatch(const ToolState& s, const unsigned char* section0);

struct ImportOutcome {
    bool handled = false;       // false for an unknown extension: nothing read, nothing shown
    bool accepted = false;
    MsgId message = MSG_IMPORT_OK;
    MessageKind kind = MessageKind::Info;
    std::string detail;         // a second line under the message, "" for none
    bool rebuildTree = false;   // .ged: the group tree is rebuilt
};

// Applies file content to the state exactly as Import does; a refused file changes nothing.
ImportOutcome ImportBytes(ToolState& s, FileKind kind, const std::vector<unsigned char>& content);

// Bytes Export writes: the FOC block of an FOC controller, else the whole ParameterBlock.
std::vector<unsigned char> ExportBytes(const ToolState& s);

// Only the first 1024 (or 32) bytes of a parameter file count and a longer file is accepted, so
// no more than one byte past the larger block is ever read: a huge or endless file costs nothing.
constexpr size_t kParameterFileReadLimit = ParameterBlock::kSize + 1;

// Reads a parameter file's bytes, at most kParameterFileReadLimit; false with the reason in `why`
// when it cannot be read (a folder, a device or a FIFO included).
bool ReadParameterFile(const std::string& path, std::vector<unsigned char>& out, std::string& why);
bool ReadParameterFile(const std::string& path, std::vector<unsigned char>& out);

}  // namespace dt

#pragma once
// Parameter files: .foc holds the 1024-byte block, .ged the 32-byte FOC block. No header.
#include <string>
#include <vector>

#include "Blocks.h"
#include "ControllerProfile.h"
#include "Texts.h"

namespace dt {

struct ToolState;

// Does a file's section 0 (256 bytes) match the identity of the last controller read?
bool IdentityMatches(const ToolState& s, const unsigned char* section0);
// The line that refuses a file whose ModelWord selects another function variant than the one in
// force (its words would be read in the wrong layout); "" when the variants agree or nothing is known.
std::string VariantMismatch(const ToolState& s, const unsigned char* section0);

// Applies the content of a file of the given profile (null: an unknown extension, nothing
// handled) to the state exactly as Import does; a refused file changes nothing.
ImportOutcome ImportBytes(ToolState& s, const ControllerProfile* file, const std::vector<unsigned char>& content);

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

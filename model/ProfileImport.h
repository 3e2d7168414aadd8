#pragma once
// The steps every profile's import shares: a file too short for the kind is refused, one the kind
// takes has the identity parsed again.
#include <cstddef>
#include <functional>
#include <vector>

#include "ControllerProfile.h"

namespace dt {

// take copies a long enough file into the state, or says why not in its outcome and returns false
// with nothing changed.
ImportOutcome ImportFile(ToolState& s, const std::vector<unsigned char>& content, size_t fileSize,
                         const std::function<bool(ImportOutcome&)>& take);
// A set adopted as the state's controller: of this kind, its identity as good as read.
void AdoptKind(ToolState& s, ControllerKind kind);

}  // namespace dt

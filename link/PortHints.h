#pragma once
// Which texts explain an open failure: each system names its own causes and remedies.
#include "ExtraTexts.h"

namespace dt {

struct PortHintTexts {
    XtxId missing;
    XtxId busy;
};

// The texts of the system the tool is built for.
extern const PortHintTexts kPortHintTexts;

}  // namespace dt

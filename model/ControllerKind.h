#pragma once
// The kinds of controller the tool serves, and what never changes about each: one record a kind,
// held by the kind's profile (ControllerProfile.h).
#include <cstddef>
#include <cstdint>

#include "ExtraTexts.h"

namespace dt {

enum class ControllerKind { Standard, Foc };

struct KindFacts {
    ControllerKind kind;
    const char* name;       // "standard": the kind as files, scripts and JSON name it
    const char* phrase;     // "a standard controller": the kind in an English sentence
    const char* extension;  // "foc": the file a set of this kind goes to, without the dot
    // The export dialog's filter, "description|pattern||"; "" takes the message table's filter
    // in the current language.
    const char* fileFilter;
    size_t fileSize;            // bytes of the set a file holds (a longer file is cut, a shorter refused)
    size_t identityBytes;       // leading bytes of a set that tell which controller it came from
    uint8_t firstWriteCommand;  // the first request of a download
    XtxId statusText;           // "standard controller": the kind where the status line names it
};

}  // namespace dt

#pragma once
// Everything the tool knows during a run, in one object passed by reference.
#include <cstdint>
#include <string>

#include "Blocks.h"
#include "EditSheet.h"
#include "ExtraTexts.h"
#include "Identity.h"
#include "OptionLists.h"
#include "ParamTables.h"
#include "RangeRules.h"
#include "Settings.h"
#include "Texts.h"

namespace dt {

enum class PendingOperation { Store = 0, Download = 1, RestoreDefaults = 2 };

struct LinkState {
    bool identityReceived = false;
    bool focMode = false;
    PendingOperation pendingOperation = PendingOperation::Store;
};

struct ToolState {
    ParameterBlock block;
    FocBlock foc;
    LinkState link;
    bool dataValid = false;
    uint16_t modelWord = kNoModelWord;
    ControllerIdentity identity;
    Calibration calibration;
    CurrentLimits limits;
    VoltageClassState voltage;
    Settings settings;
    Language language = LANG_ENGLISH;
    // The value cells as shown and edited, against the controller's last reported set.
    EditSheet sheet;

    ParamTables tables;
    OptionTexts optionTexts;
    ChoiceLists lists;
    TextTables texts;

    ToolState();

    const std::string& Message(MsgId id) const { return texts.messages[language][id]; }
    const std::string& Label(LblId id) const { return texts.labels[language][id]; }
    const std::string& ProductTitle() const { return texts.productTitle[language]; }
    const char* Extra(XtxId id) const { return ExtraText(language, id); }
};

// Identity parse of section 0: identity, current limits, calibration; returns the data-valid verdict.
bool ParseIdentity(ToolState& s);

// Variant selection from the ModelWord, then list 0 narrowed by the identity.
void SelectFunctionVariant(ToolState& s);
// List 0 narrowed by the controller's identity (after a completed upload).
void NarrowVoltageList(ToolState& s);

// Nominal voltage shown in ParameterSettings row 6, from the minimum working voltage; sets the state.
std::string NominalVoltageDisplay(ToolState& s);

// The six cell texts a nominal-voltage pick writes, in the order: parameter rows 7, 8, 9,
// function row 3, parameter rows 11, 15. Unknown text: six "Err" and the state zeroed.
struct VoltagePick {
    bool matched = false;
    std::string texts[6];
};
VoltagePick PickNominalVoltage(ToolState& s, const std::string& text);
// Grid rows written by a standard pick, in the same order (function row 3 is P + 3).
int VoltagePickRow(const ToolState& s, int i);

}  // namespace dt

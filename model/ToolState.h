#pragma once
// The state of a run: the catalogue, one controller's image and its session.
#include <cstdint>
#include <string>

#include "Blocks.h"
#include "ControllerKind.h"
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
    ControllerKind kind = ControllerKind::Standard;  // the identity's: focMode for an FOC controller
    PendingOperation pendingOperation = PendingOperation::Store;
};

// What is fixed once the texts are read: the tables, whose sets every state shares (a
// controller's identity still selects the function variant among them), and the option and
// message texts, small enough to copy.
struct Catalogue {
    ParamTables tables;
    OptionTexts optionTexts;
    TextTables texts;
};

// One controller as its reads and imports leave it in memory.
struct ControllerImage {
    ParameterBlock block;
    FocBlock foc;
    bool dataValid = false;
    uint16_t modelWord = kNoModelWord;
    ControllerIdentity identity;
    Calibration calibration;
    CurrentLimits limits;
    VoltageClassState voltage;
};

// One session with a controller: the link, the settings and language it runs in, the option
// lists as shown (list 0 narrowed by the identity), and the cells being edited.
struct Session {
    LinkState link;
    Settings settings;
    Language language = LANG_ENGLISH;
    ChoiceLists lists;
    // The value cells as shown and edited, against the controller's last reported set.
    EditSheet sheet;
};

// Everything the tool knows during a run about one controller, in one object passed by
// reference; its three parts can be handed on, copied or reset apart.
struct ToolState : Catalogue, ControllerImage, Session {
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

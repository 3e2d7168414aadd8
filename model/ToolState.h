#pragma once
// The state of one controller during a run: its image and its session, a value copied per
// controller, with the read-only catalogue shared by every copy.
#include <memory>
#include <string>

#include "Catalogue.h"
#include "ControllerImage.h"
#include "EditSheet.h"
#include "ExtraTexts.h"
#include "OptionLists.h"
#include "Settings.h"
#include "Texts.h"

namespace dt {

enum class PendingOperation { Store = 0, Download = 1, RestoreDefaults = 2 };

struct LinkState {
    bool identityReceived = false;
    PendingOperation pendingOperation = PendingOperation::Store;
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

// Everything the tool knows during a run about one controller. Copying it copies the image and
// the session; the catalogue stays shared.
struct ToolState : ControllerImage, Session {
    ToolState();

    std::shared_ptr<const Catalogue> catalogue;

    const ParamTables& Tables() const { return catalogue->tables; }
    // The function set of the controller's variant.
    const ParamTableSet& FunctionSettings() const { return Tables().FunctionSettings(variant); }
    // The image against the catalogue in the session's language.
    operator ControllerView() const { return {*catalogue, *this, language}; }
    // A change to the catalogue (text.ini, a test), made on a copy: the states sharing the
    // catalogue keep theirs, and this state's later copies share the changed one.
    template <typename Change>
    void ChangeCatalogue(Change change) {
        auto changed = std::make_shared<Catalogue>(*catalogue);
        change(*changed);
        catalogue = std::move(changed);
    }

    const std::string& Message(MsgId id) const { return catalogue->texts.messages[language][id]; }
    const std::string& Label(LblId id) const { return catalogue->texts.labels[language][id]; }
    const std::string& ProductTitle() const { return catalogue->texts.productTitle[language]; }
    const char* Extra(XtxId id) const { return ExtraText(language, id); }
};

// Identity parse of section 0: identity, current limits, calibration; returns the data-valid verdict.
bool ParseIdentity(ControllerImage& image);

// Variant selection from the ModelWord, then list 0 narrowed by the identity.
void SelectFunctionVariant(ToolState& s);
// List 0 narrowed by the controller's identity (after a completed upload).
void NarrowVoltageList(ToolState& s);

// Nominal voltage shown in ParameterSettings row 6, from the minimum working voltage; "Err" for
// a minimum no preset has.
std::string NominalVoltageDisplay(const ControllerView& v);
// The voltage class and current limits the range rules read, from the minimum working voltage
// the blocks hold (after a read or an import).
void FollowMinWorkVoltage(const Catalogue& c, ControllerImage& image);

// The six cell texts a nominal-voltage pick writes, in the order: parameter rows 7, 8, 9,
// function row 3, parameter rows 11, 15. Unknown text: six "Err" and the state zeroed.
struct VoltagePick {
    bool matched = false;
    std::string texts[6];
};
VoltagePick PickNominalVoltage(ControllerImage& image, const std::string& text);
// Grid rows written by a standard pick, in the same order (function row 3 is P + 3).
int VoltagePickRow(const ToolState& s, int i);

}  // namespace dt

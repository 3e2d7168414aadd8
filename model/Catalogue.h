#pragma once
// What is fixed once the texts are read: the tables, the option texts and the message texts.
// Read-only and shared by every controller's state; a change is made on a copy of its own.
#include <memory>
#include <string>

#include "ControllerImage.h"
#include "OptionLists.h"
#include "ParamTables.h"
#include "Texts.h"

namespace dt {

struct Catalogue {
    ParamTables tables;
    OptionTexts optionTexts;
    TextTables texts;
};

// The built-in catalogue, built once per process.
const std::shared_ptr<const Catalogue>& BuiltInCatalogue();

// One controller's image read against the catalogue in one language: all that showing and
// checking its values takes.
struct ControllerView {
    const Catalogue& catalogue;
    const ControllerImage& image;
    Language language;

    const ParamTables& Tables() const { return catalogue.tables; }
    const ParamTableSet& FunctionSettings() const { return catalogue.tables.FunctionSettings(image.variant); }
    const std::string& Message(MsgId id) const { return catalogue.texts.messages[language][id]; }
    // The text of entry i of a choice row's list.
    std::string Choice(int kind, int i) const { return ChoiceText(catalogue.optionTexts, language, kind, i); }
};

}  // namespace dt

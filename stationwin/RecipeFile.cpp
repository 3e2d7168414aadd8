#include "RecipeFile.h"

#include "ControllerProfile.h"
#include "Identity.h"
#include "ParameterFiles.h"
#include "StationTexts.h"

namespace dt::station {

namespace {

// Every row with a value (titles have kind 0).
int ValueRows(const ToolState& s) {
    int n = 0;
    for (const GridRow& r : GridLayout(s)) n += r.desc->kind != 0;
    return n;
}

}  // namespace

std::string BaseName(const std::string& path) { return path.substr(path.find_last_of("/\\") + 1); }

bool LoadRecipeFile(const ToolState& base, const std::string& path, const std::string& expected, Recipe& recipe,
                    std::string& why) {
    std::vector<unsigned char> bytes;
    std::string reason;
    if (!ReadParameterFile(path, bytes, reason)) {
        why = FillIn(StationText(base.language, STX_RECIPE_UNREADABLE), BaseName(path), reason);
        return false;
    }
    const ControllerProfile* file = ProfileOfFileAnyCase(path);
    if (!file) {
        why = StationText(base.language, STX_RECIPE_BAD_NAME);
        return false;
    }
    why = HashRefusal(base, expected, bytes);
    return why.empty() && recipe.Load(base, *file, bytes, why);
}

RecipeSummary Summarize(const Recipe& recipe, const std::string& path) {
    const ToolState& s = recipe.State();
    const ControllerProfile& profile = ProfileOf(s);
    RecipeSummary out;
    out.file = BaseName(path);
    out.sha12 = recipe.Sha256().substr(0, 12);
    out.values = ValueRows(s);
    out.kind = s.Extra(profile.Facts().statusText);
    // A kind with no identity words has no variant or model to show.
    if (profile.Facts().identityBytes == 0) return out;
    out.kind += std::string(", ") + FillIn(s.Extra(XTX_STATUS_VARIANT), profile.Variant(s));
    const uint16_t model = recipe.IdentityWord(kIdWordModel);
    out.model = FillIn(s.Extra(XTX_STATUS_CUSTOMER), std::to_string(model >> 10)) + ", " +
                FillIn(s.Extra(XTX_STATUS_VERSION), std::to_string(model & 0x3FF)) + ", " +
                FillIn(StationText(s.language, STX_RECIPE_MODEL_WORDS), std::to_string(recipe.IdentityWord(kIdWordHardwareClass)),
                       std::to_string(recipe.IdentityWord(kIdWordVoltageClass)));
    // The gate compares the extra id too when the model word is 0.
    if (model == 0)
        out.model += ", " + FillIn(StationText(s.language, STX_RECIPE_EXTRA_WORD), std::to_string(recipe.IdentityWord(kIdWordExtraId)));
    return out;
}

}  // namespace dt::station

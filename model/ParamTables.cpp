#include "ParamTables.h"

#include "Gbk.h"

namespace dt {

namespace {
constexpr int kFunctionRowRoom = 256;
constexpr int kFunctionGroupRoom = 32;
constexpr size_t kNameSlot = 256;
constexpr size_t kHintSlot = 512;

ParamDescriptor FromData(const ParamRowData& r) {
    ParamDescriptor d;
    d.name_cn = r.name_cn ? r.name_cn : "";
    d.kind = r.kind;
    d.read_only = r.read_only;
    d.word = r.word;
    d.bit = r.bit;
    d.format = r.format;
    d.range = r.range;
    d.hint_cn = r.hint_cn ? r.hint_cn : "";
    d.name_en = r.name_en ? r.name_en : "";
    d.hint_en = r.hint_en ? r.hint_en : "";
    return d;
}
}  // namespace

int ParamTableSet::GroupFirstRow(int g) const {
    int first = 1;
    for (int i = 0; i < g && i < static_cast<int>(groups.size()); ++i) first += groups[i].rows;
    return first;
}

int ParamTableSet::GroupOfRecord(int record) const {
    int first = 1;
    for (int g = 0; g < groupCount && g < static_cast<int>(groups.size()); ++g) {
        if (record >= first && record < first + groups[g].rows) return g;
        first += groups[g].rows;
    }
    return -1;
}

ParamTableSet MakeTableSet(const TableData& data) {
    ParamTableSet set;
    set.name = data.name;
    for (int i = 0; i < data.rowCount; ++i) set.rows.push_back(FromData(data.rows[i]));
    for (int i = 0; i < data.groupCount; ++i)
        set.groups.push_back({data.groups[i].title_cn, data.groups[i].title_en, data.groups[i].rows});
    set.rowCount = data.rowCount;
    set.groupCount = data.groupCount;
    return set;
}

FunctionVariant VariantFor(uint16_t modelWord) {
    if (modelWord == 0) return FunctionVariant::A;
    if ((modelWord & 0x3FF) < 300 && (modelWord & 0xFC00) == 0x0400) return FunctionVariant::A;
    return FunctionVariant::B;
}

TableSets::TableSets()
    : ParameterSettings(MakeTableSet(ParameterSettingsData())),
      FunctionSettingsA(MakeTableSet(FunctionSettingsAData())),
      FunctionSettingsB(MakeTableSet(FunctionSettingsBData())),
      ProfessionalSettings(MakeTableSet(ProfessionalSettingsData())),
      FocSettings(MakeTableSet(FocSettingsData())) {}

namespace {
// Built once per process; a state that changes its sets gets a copy of its own.
const std::shared_ptr<TableSets>& BuiltInSets() {
    static const std::shared_ptr<TableSets> sets = std::make_shared<TableSets>();
    return sets;
}
}  // namespace

ParamTables::ParamTables() : sets_(BuiltInSets()) {
    FunctionSettings.name = "FunctionSettings";
    FunctionSettings.rows.resize(kFunctionRowRoom);
    FunctionSettings.groups.resize(kFunctionGroupRoom);
    SelectVariant(0xFFFF);
}

TableSets& ParamTables::EditSets() {
    if (sets_.use_count() > 1) sets_ = std::make_shared<TableSets>(*sets_);
    return *sets_;
}

void ParamTables::ResetCounts() {
    const TableSets& now = *sets_;
    const bool changed = now.ParameterSettings.rowCount != kParameterSettingsRowCount ||
                         now.ParameterSettings.groupCount != kParameterSettingsGroupCount ||
                         now.ProfessionalSettings.rowCount != kProfessionalSettingsRowCount ||
                         now.ProfessionalSettings.groupCount != kProfessionalSettingsGroupCount ||
                         now.FocSettings.rowCount != kFocSettingsRowCount;
    if (changed) {
        TableSets& sets = EditSets();
        sets.ParameterSettings.rowCount = kParameterSettingsRowCount;
        sets.ParameterSettings.groupCount = kParameterSettingsGroupCount;
        sets.ProfessionalSettings.rowCount = kProfessionalSettingsRowCount;
        sets.ProfessionalSettings.groupCount = kProfessionalSettingsGroupCount;
        sets.FocSettings.rowCount = kFocSettingsRowCount;
    }
    FunctionSettings.rowCount = kFunctionSettingsBRowCount;
    FunctionSettings.groupCount = kFunctionSettingsBGroupCount;
}

FunctionVariant ParamTables::SelectVariant(uint16_t modelWord) {
    variant = VariantFor(modelWord);
    const ParamTableSet& src = variant == FunctionVariant::A ? FunctionSettingsA() : FunctionSettingsB();
    // Rows beyond the copied count keep what they held; they are never read.
    for (int i = 0; i < src.rowCount; ++i) FunctionSettings.rows[i] = src.rows[i];
    for (int i = 0; i < src.groupCount; ++i) FunctionSettings.groups[i] = src.groups[i];
    FunctionSettings.rowCount = src.rowCount;
    FunctionSettings.groupCount = src.groupCount;
    return variant;
}

bool ParamTables::ApplyOverride(int id, const std::string& gbkText) {
    if ((id < 3000 || id > 10999) && (id < 12000 || id > 14999)) return false;
    TableSets& sets = EditSets();
    struct Target {
        int base;
        ParamTableSet* set;
        int bound;  // ids base .. base+bound-1
        enum { Name, Hint, Title } what;
    };
    const Target targets[] = {
        {3000, &sets.ParameterSettings, kParameterSettingsRowCount, Target::Name},
        {4000, &sets.ParameterSettings, kParameterSettingsRowCount, Target::Hint},
        {5000, &sets.FunctionSettingsA, kFunctionSettingsARowCount, Target::Name},
        {6000, &sets.FunctionSettingsA, kFunctionSettingsARowCount, Target::Hint},
        {7000, &sets.FocSettings, kFocSettingsRowCount, Target::Name},
        {8000, &sets.FocSettings, kFocSettingsRowCount, Target::Hint},
        {9000, &sets.ParameterSettings, kParameterSettingsGroupCount, Target::Title},
        {10000, &sets.FunctionSettingsA, kFunctionSettingsAGroupCount, Target::Title},
        {12000, &sets.FunctionSettingsB, kFunctionSettingsBRowCount, Target::Name},
        {13000, &sets.FunctionSettingsB, kFunctionSettingsBRowCount, Target::Hint},
        {14000, &sets.FunctionSettingsB, kFunctionSettingsBGroupCount, Target::Title},
    };
    for (const Target& t : targets) {
        if (id < t.base || id >= t.base + 1000) continue;
        int index = id - t.base;
        if (index >= t.bound) return false;
        switch (t.what) {
        case Target::Name:
            if (index >= static_cast<int>(t.set->rows.size())) return false;
            t.set->rows[index].name_cn = SlotText(gbkText, kNameSlot);
            return true;
        case Target::Hint:
            if (index >= static_cast<int>(t.set->rows.size())) return false;
            t.set->rows[index].hint_cn = SlotText(gbkText, kHintSlot);
            return true;
        case Target::Title:
            if (index >= static_cast<int>(t.set->groups.size())) return false;
            t.set->groups[index].title_cn = SlotText(gbkText, kNameSlot);
            return true;
        }
    }
    return false;
}

std::string UnitOf(const ParamDescriptor& d) {
    const std::string& name = d.name_en;
    if (name.empty() || name.back() != ')') return "";
    const size_t open = name.rfind('(');
    if (open == std::string::npos || open == 0 || name[open - 1] != ' ') return "";
    const std::string unit = name.substr(open + 1, name.size() - open - 2);
    // "( 0.1 times )" and "(0:High gear, 1:Mid gear)" explain the value; they are no units.
    if (unit.empty() || unit.find_first_of(" :,") != std::string::npos) return "";
    return unit;
}

}  // namespace dt

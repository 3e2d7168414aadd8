#include "ParamTables.h"

#include "Gbk.h"

namespace dt {

namespace {
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

bool ParamTables::CountsAsBuilt() const {
    return sets_.ParameterSettings.rowCount == kParameterSettingsRowCount &&
           sets_.ParameterSettings.groupCount == kParameterSettingsGroupCount &&
           sets_.ProfessionalSettings.rowCount == kProfessionalSettingsRowCount &&
           sets_.ProfessionalSettings.groupCount == kProfessionalSettingsGroupCount &&
           sets_.FocSettings.rowCount == kFocSettingsRowCount;
}

void ParamTables::ResetCounts() {
    sets_.ParameterSettings.rowCount = kParameterSettingsRowCount;
    sets_.ParameterSettings.groupCount = kParameterSettingsGroupCount;
    sets_.ProfessionalSettings.rowCount = kProfessionalSettingsRowCount;
    sets_.ProfessionalSettings.groupCount = kProfessionalSettingsGroupCount;
    sets_.FocSettings.rowCount = kFocSettingsRowCount;
}

bool ParamTables::ApplyOverride(int id, const std::string& gbkText) {
    if ((id < 3000 || id > 10999) && (id < 12000 || id > 14999)) return false;
    TableSets& sets = sets_;
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

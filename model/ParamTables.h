#pragma once
// The parameter table sets: every controller parameter the tool knows, as data.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "Texts.h"

namespace dt {

// Row kinds.
enum RowKind : int16_t {
    KIND_NONE = 0,
    KIND_NUMBER = 1,             // 1..99: numbers checked by their range rule
    KIND_NOMINAL_VOLTAGE = 100,  // also the base of the choice lists: kind 100 + k uses list k
    KIND_CHOICE_1 = 101,         // disable / enable
};
inline bool IsChoiceKind(int kind) { return kind > KIND_NOMINAL_VOLTAGE; }
inline bool IsCheckedKind(int kind) { return kind >= KIND_NUMBER && kind < KIND_NOMINAL_VOLTAGE; }

// Table sizes, written once here and checked against the data at compile time.
constexpr int kParameterSettingsRowCount = 51;
constexpr int kParameterSettingsGroupCount = 8;
constexpr int kFunctionSettingsARowCount = 31;
constexpr int kFunctionSettingsAGroupCount = 6;
constexpr int kFunctionSettingsBRowCount = 39;
constexpr int kFunctionSettingsBGroupCount = 7;
constexpr int kProfessionalSettingsRowCount = 103;
constexpr int kProfessionalSettingsGroupCount = 14;
constexpr int kFocSettingsRowCount = 15;

// Row 0 of every table is its title; values start at row 1.
constexpr int kFirstValueRow = 1;

// ParameterSettings rows the logic addresses (checked against the data).
constexpr int kRowPolePairs = 3;
constexpr int kRowNominalVoltage = 6;  // derived from the minimum working voltage, never stored
constexpr int kRowOverVoltage = 7;
constexpr int kRowOverVoltageExit = 8;
constexpr int kRowMinWorkVoltage = 9;
constexpr int kRowUnderVoltage = 11;
constexpr int kRowSoftUnderVoltage = 15;
// FunctionSettings row (the same in both variants).
constexpr int kFunctionRowChargeVoltage = 3;

// Block words the range rules read, named by the rows that hold them.
constexpr int kWordPolePairs = 202;
constexpr int kWordRatedSpeed = 203;
constexpr int kWordOverVoltage = 206;
constexpr int kWordOverVoltageExit = 207;
constexpr int kWordUnderVoltage = 209;
constexpr int kWordMaxPhaseCurrent = 218;
constexpr int kWordMotorTempMax = 228;
constexpr int kWordMotorTempLevel2 = 229;
constexpr int kWordMotorTempLevel1 = 230;
// Words of rules that no shown row uses: their rows are not in any table.
constexpr int kWordRule17Max = 224;
constexpr int kWordRule18Max = 225;
constexpr int kWordRule17Min = 226;
constexpr int kWordRule53Base = 118;

// FocSettings rows the logic addresses, and where their values sit in the FocBlock.
constexpr int kFocRowRegenEnable = 1;  // bit 0 of byte 0; row 2 is bit 1
constexpr int kFocRowChoiceCount = 2;
constexpr int kFocRowParameterGroup = 4;  // first row of the parameter group; rows 1 to 3 are the function group
constexpr int kFocRowNominalVoltage = 5;
constexpr int kFocRowOverVoltage = 6;
constexpr int kFocRowUnderVoltage = 7;
constexpr int kFocRowPhaseCurrent = 9;  // shown in amperes, held as amperes × 10 / 7
constexpr int kFocFirstBoundedRow = 8;  // rows from here on are checked by their field bounds

// FOC rows: byte or little-endian word offsets into the FocBlock, and the bounds a download
// checks (0, 0: checked by the nominal voltage instead). The map sits beside the FOC table.
struct FocField {
    int row;
    bool word;
    int offset;
    int lo, hi;
};
struct FocFieldList {
    const FocField* first;
    int count;
    const FocField* begin() const { return first; }
    const FocField* end() const { return first + count; }
};
const FocFieldList& FocFields();

// Constant source rows, as written in the tables (UTF-8 texts, "" for empty).
struct ParamRowData {
    const char* name_cn;
    int16_t kind;
    int16_t read_only;
    int16_t word;
    int16_t bit;
    int16_t format;
    int16_t range;
    const char* hint_cn;
    const char* name_en;
    const char* hint_en;
};

struct GroupData {
    const char* title_cn;
    const char* title_en;
    int16_t rows;
};

struct TableData {
    const char* name;  // "ParameterSettings", ...
    const ParamRowData* rows;
    int rowCount;
    const GroupData* groups;
    int groupCount;
};

// Built-in data, in the order of the tables.
const TableData& ParameterSettingsData();
const TableData& FunctionSettingsAData();
const TableData& FunctionSettingsBData();
const TableData& ProfessionalSettingsData();
const TableData& FocSettingsData();

// Run-time row: a copy of the built-in row whose Chinese slots accept overrides.
struct ParamDescriptor {
    std::string name_cn;
    int16_t kind = 0;
    int16_t read_only = 0;
    int16_t word = 0;
    int16_t bit = 0;
    int16_t format = 0;
    int16_t range = 0;
    std::string hint_cn;
    std::string name_en;
    std::string hint_en;

    const std::string& Name(Language lang) const { return lang == LANG_CHINESE ? name_cn : name_en; }
    const std::string& Hint(Language lang) const { return lang == LANG_CHINESE ? hint_cn : hint_en; }
};

// The unit a row's English name ends with, without its parentheses ("V" for "Nominal battery
// voltage (V)"); "" when the name ends in no unit (a list of choices, a note).
std::string UnitOf(const ParamDescriptor& d);

struct ParamGroupTitle {
    std::string title_cn;
    std::string title_en;
    int16_t rows = 0;

    const std::string& Title(Language lang) const { return lang == LANG_CHINESE ? title_cn : title_en; }
};

struct ParamTableSet {
    std::string name;
    std::vector<ParamDescriptor> rows;    // storage; only the first rowCount are in force
    std::vector<ParamGroupTitle> groups;  // storage; only the first groupCount are in force
    int rowCount = 0;
    int groupCount = 0;

    // 1 + the rows of groups 0..g-1; g <= 0 gives 1.
    int GroupFirstRow(int g) const;
    // The group whose rows hold `record`; -1 for the title record and for records past the groups.
    int GroupOfRecord(int record) const;
    const std::string& Title(Language lang) const { return rows.at(0).Name(lang); }
};

ParamTableSet MakeTableSet(const TableData& data);

enum class FunctionVariant { A, B };

// The fixed tables with the texts text.ini gave them: the bulk of the catalogue, read once and
// shared by every controller's state.
struct TableSets {
    ParamTableSet ParameterSettings;
    ParamTableSet FunctionSettingsA;
    ParamTableSet FunctionSettingsB;
    ParamTableSet ProfessionalSettings;
    ParamTableSet FocSettings;

    TableSets();  // built-in contents
};

// The tables of the catalogue: the built-in sets with the texts text.ini gave them. A
// controller's identity selects the function variant among them (ControllerImage::variant).
class ParamTables {
public:
    const ParamTableSet& ParameterSettings() const { return sets_.ParameterSettings; }
    const ParamTableSet& FunctionSettingsA() const { return sets_.FunctionSettingsA; }
    const ParamTableSet& FunctionSettingsB() const { return sets_.FunctionSettingsB; }
    const ParamTableSet& ProfessionalSettings() const { return sets_.ProfessionalSettings; }
    const ParamTableSet& FocSettings() const { return sets_.FocSettings; }
    // The function set of a variant.
    const ParamTableSet& FunctionSettings(FunctionVariant variant) const {
        return variant == FunctionVariant::A ? sets_.FunctionSettingsA : sets_.FunctionSettingsB;
    }

    // Whether every set has its built-in counts.
    bool CountsAsBuilt() const;
    // The built-in counts again.
    void ResetCounts();
    // A text.ini identifier in 3000..10999 or 12000..14999; gbkText is the text as the file gives it.
    // Returns false when the identifier addresses no slot.
    bool ApplyOverride(int id, const std::string& gbkText);
    // The sets to change (text.ini, a test).
    TableSets& EditSets() { return sets_; }

private:
    TableSets sets_;
};

FunctionVariant VariantFor(uint16_t modelWord);

}  // namespace dt

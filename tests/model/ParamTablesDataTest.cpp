// Guards the built-in parameter tables against transcription faults: counts, group
// layout, spacer rows, full-row spot checks and the exact texts that are easy to "fix".
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "ParamTables.h"

namespace dt {
namespace {

using DataFn = const TableData& (*)();

struct SetShape {
    DataFn data;
    const char* name;
    int rows;
    int groups;
    const char* title_cn;
    const char* title_en;
    std::vector<int> groupFirstRows;
    std::vector<int> spacers;
};

const std::vector<SetShape>& Shapes() {
    static const std::vector<SetShape> shapes = {
        {ParameterSettingsData, "ParameterSettings", 51, 8, "控制器参数设置", "Controller Parameter settings",
         {1, 6, 19, 27, 33, 36, 46, 49},
         {5, 10, 13, 16, 18, 20, 24, 26, 32, 35, 38, 45, 48, 50}},
        {FunctionSettingsBData, "FunctionSettingsB", 39, 7, "控制器功能设置", "Controller function settings",
         {1, 9, 17, 19, 22, 30, 37},
         {2, 5, 8, 12, 16, 18, 21, 25, 29, 32, 36, 38}},
        {FunctionSettingsAData, "FunctionSettingsA", 31, 6, "控制器功能设置", "Controller function settings",
         {1, 9, 13, 21, 25, 29},
         {2, 5, 8, 10, 12, 16, 20, 22, 24, 26, 28, 30}},
        {ProfessionalSettingsData, "ProfessionalSettings", 103, 14, "专业参数设置", "Professional parameter settings",
         {1, 12, 16, 28, 32, 37, 43, 53, 63, 68, 75, 82, 89, 96},
         {3, 7, 10, 14, 22, 25, 27, 31, 36, 42, 52, 57, 62, 67, 74, 81, 88, 95, 102}},
        {FocSettingsData, "FocSettings", 15, 0, "FOC 控制器设置", "FOC Controller setting",
         {},
         {3, 14}},
    };
    return shapes;
}

bool IsEmptyRow(const ParamRowData& r) {
    return std::string(r.name_cn).empty() && std::string(r.hint_cn).empty() && std::string(r.name_en).empty() &&
           std::string(r.hint_en).empty() && r.kind == 0 && r.read_only == 0 && r.word == 0 && r.bit == 0 &&
           r.format == 0 && r.range == 0;
}

// ---- Shape of every set ----

TEST(ParamTablesData, CountsNamesAndTitleRow) {
    for (const SetShape& s : Shapes()) {
        SCOPED_TRACE(s.name);
        const TableData& t = s.data();
        EXPECT_STREQ(t.name, s.name);
        ASSERT_EQ(t.rowCount, s.rows);
        EXPECT_EQ(t.groupCount, s.groups);
        ASSERT_NE(t.rows, nullptr);
        EXPECT_EQ(t.groups == nullptr, s.groups == 0);

        const ParamRowData& title = t.rows[0];
        EXPECT_STREQ(title.name_cn, s.title_cn);
        EXPECT_STREQ(title.name_en, s.title_en);
        EXPECT_STREQ(title.hint_cn, "");
        EXPECT_STREQ(title.hint_en, "");
        EXPECT_EQ(title.kind, 0);
        EXPECT_EQ(title.read_only, 0);
        EXPECT_EQ(title.word, 0);
        EXPECT_EQ(title.bit, 0);
        EXPECT_EQ(title.format, 0);
        EXPECT_EQ(title.range, 0);
    }
}

TEST(ParamTablesData, GroupsCoverAllRowsAndStartWhereExpected) {
    for (const SetShape& s : Shapes()) {
        SCOPED_TRACE(s.name);
        const TableData& t = s.data();
        if (s.groups == 0) continue;
        std::vector<int> firstRows;
        int next = 1;
        for (int g = 0; g < t.groupCount; ++g) {
            EXPECT_GT(t.groups[g].rows, 0) << "group " << g;
            EXPECT_STRNE(t.groups[g].title_cn, "") << "group " << g;
            EXPECT_STRNE(t.groups[g].title_en, "") << "group " << g;
            firstRows.push_back(next);
            next += t.groups[g].rows;
        }
        EXPECT_EQ(next - 1, t.rowCount - 1) << "group rows must add up to the row count minus the title";
        EXPECT_EQ(firstRows, s.groupFirstRows);
    }
}

TEST(ParamTablesData, SpacersAreEmptyAndOtherRowsAreNamed) {
    for (const SetShape& s : Shapes()) {
        SCOPED_TRACE(s.name);
        const TableData& t = s.data();
        const std::set<int> spacers(s.spacers.begin(), s.spacers.end());
        for (int r = 1; r < t.rowCount; ++r) {
            const ParamRowData& row = t.rows[r];
            if (spacers.count(r)) {
                EXPECT_TRUE(IsEmptyRow(row)) << "spacer row " << r;
            } else {
                EXPECT_STRNE(row.name_cn, "") << "row " << r;
                EXPECT_NE(row.kind, 0) << "row " << r;
            }
        }
    }
}

// In the shown sets every group ends with its spacer row, so the tree jumps land on
// a group's first parameter. (The professional set's groups do not follow its spacers.)
TEST(ParamTablesData, ShownGroupsEndWithASpacer) {
    for (DataFn fn : {ParameterSettingsData, FunctionSettingsAData, FunctionSettingsBData}) {
        const TableData& t = fn();
        SCOPED_TRACE(t.name);
        int next = 1;
        for (int g = 0; g < t.groupCount; ++g) {
            next += t.groups[g].rows;
            EXPECT_TRUE(IsEmptyRow(t.rows[next - 1])) << "row " << next - 1 << " closing group " << g;
        }
    }
}

// Kinds, and words that the controller actually transfers.
TEST(ParamTablesData, KindsAndWordsAreInTheirDomains) {
    auto wordTransferred = [](int w) {
        return (w >= 0 && w <= 15) || (w >= 100 && w <= 131) || (w >= 200 && w <= 247) || (w >= 300 && w <= 363);
    };
    for (const SetShape& s : Shapes()) {
        SCOPED_TRACE(s.name);
        const TableData& t = s.data();
        for (int r = 1; r < t.rowCount; ++r) {
            const ParamRowData& row = t.rows[r];
            if (row.kind == 0) continue;
            EXPECT_TRUE(row.kind == KIND_NUMBER || row.kind == KIND_NOMINAL_VOLTAGE ||
                        (row.kind >= 101 && row.kind <= 107))
                << "row " << r << " kind " << row.kind;
            EXPECT_TRUE(wordTransferred(row.word)) << "row " << r << " word " << row.word;
            EXPECT_TRUE(row.read_only == 0 || row.read_only == 1) << "row " << r;
            if (row.kind > KIND_NOMINAL_VOLTAGE) {
                EXPECT_GE(row.bit, -1) << "row " << r;
                EXPECT_LE(row.bit, 15) << "row " << r;
            }
        }
    }
}

// ---- Switches: every single-bit choice row against the flag-word map ----

struct FlagCase {
    DataFn data;
    const char* set;
    int row;
    int word;
    int bit;
};

TEST(ParamTablesData, ChoiceRowsUseTheirFlagBits) {
    const FlagCase cases[] = {
        {ParameterSettingsData, "P", 14, 214, 11}, {ParameterSettingsData, "P", 17, 214, 8},
        {ParameterSettingsData, "P", 27, 214, 14}, {ParameterSettingsData, "P", 33, 214, 15},
        {ParameterSettingsData, "P", 36, 214, 13}, {ParameterSettingsData, "P", 37, 100, 4},
        {FunctionSettingsAData, "A", 1, 100, 15},  {FunctionSettingsAData, "A", 6, 100, 14},
        {FunctionSettingsAData, "A", 9, 100, 13},  {FunctionSettingsAData, "A", 13, 100, 11},
        {FunctionSettingsAData, "A", 14, 100, 10}, {FunctionSettingsAData, "A", 15, 100, 9},
        {FunctionSettingsAData, "A", 21, 100, 12}, {FunctionSettingsAData, "A", 25, 100, 6},
        {FunctionSettingsAData, "A", 29, 100, 2},  {FunctionSettingsBData, "B", 1, 100, 15},
        {FunctionSettingsBData, "B", 6, 100, 14},  {FunctionSettingsBData, "B", 9, 100, 11},
        {FunctionSettingsBData, "B", 10, 100, 10}, {FunctionSettingsBData, "B", 11, 100, 9},
        {FunctionSettingsBData, "B", 22, 100, 8},  {FunctionSettingsBData, "B", 23, 100, 7},
        {FunctionSettingsBData, "B", 30, 100, 12}, {FunctionSettingsBData, "B", 31, 100, 2},
        {FunctionSettingsBData, "B", 37, 100, 1},
    };
    for (const FlagCase& c : cases) {
        SCOPED_TRACE(std::string(c.set) + std::to_string(c.row));
        const ParamRowData& row = c.data().rows[c.row];
        EXPECT_GT(row.kind, KIND_NOMINAL_VOLTAGE);
        EXPECT_EQ(row.word, c.word);
        EXPECT_EQ(row.bit, c.bit);
    }
    // Within a standard set no two switches share one bit.
    for (DataFn fn : {ParameterSettingsData, FunctionSettingsAData, FunctionSettingsBData, ProfessionalSettingsData}) {
        const TableData& t = fn();
        SCOPED_TRACE(t.name);
        std::set<std::pair<int, int>> seen;
        for (int r = 1; r < t.rowCount; ++r) {
            const ParamRowData& row = t.rows[r];
            if (row.kind <= KIND_NOMINAL_VOLTAGE || row.bit < 0) continue;
            EXPECT_TRUE(seen.insert({row.word, row.bit}).second) << "row " << r;
        }
    }
}

// ---- Full-row spot checks ----

struct RowCase {
    DataFn data;
    const char* set;
    int row;
    int kind;
    int read_only;
    int word;
    int bit;
    int format;
    int range;
    const char* name_cn;
    const char* name_en;
};

TEST(ParamTablesData, SpotCheckedRowsMatchFieldByField) {
    const RowCase cases[] = {
        // set, row, kind, ro, word, bit, fmt, range
        {ParameterSettingsData, "P", 1, 103, 0, 200, -1, 7, 0, "Hall电角度", "Hall electrical angle"},
        {ParameterSettingsData, "P", 6, 100, 0, 0, 0, 0, 0, "电池标称电压 (V)", "Nominal battery voltage (V)"},
        {ParameterSettingsData, "P", 9, 1, 1, 208, 0, 1, 0, "最小工作电压 (V)", "Minimum work voltage (V)"},
        {ParameterSettingsData, "P", 12, 1, 0, 210, 0, 3, 6, "欠压保护退出值 (V)", "Low voltage protection exit value (V)"},
        {ParameterSettingsData, "P", 22, 1, 0, 219, 0, 9, 47, "最大相电流持续时间 (s)", "Maximum phase current duration (s)"},
        {ParameterSettingsData, "P", 28, 1, 0, 230, 0, 0, 21, "电机控流温度(1档) (℃)",
         "Motor current limit temperature ( Level 1 ) (℃)"},
        {ParameterSettingsData, "P", 33, 101, 1, 214, 15, 0, 0, "电机堵转保护使能", "Motor blockage protection enable"},
        {ParameterSettingsData, "P", 44, 1, 0, 237, 0, 11, 31, "转把最小有效值 (V)", "Throttle minimum valid voltage (V)"},
        {ParameterSettingsData, "P", 47, 1, 0, 243, 0, 0, 42, "减速度 (rpm/s)", "Deceleration (rpm/s)"},
        {ParameterSettingsData, "P", 49, 1, 1, 204, 10, 21, 0, "保修期", "Warranty Date"},
        {FunctionSettingsBData, "B", 7, 1, 0, 106, 0, 0, 36, "EBS自动模式速度 (rpm)", "EBS Auto_Mode Speed (rpm)"},
        {FunctionSettingsBData, "B", 14, 1, 0, 111, 0, 0, 52, "巡航进入速度比例 (%)", "Cruise mode throttle minimum voltage (V)"},
        {FunctionSettingsBData, "B", 20, 1, 0, 117, 0, 0, 48, "反转电流比例 (%)", "Reverse current ratio (%)"},
        {FunctionSettingsBData, "B", 33, 1, 0, 124, 0, 4, 49, "Boost电流 (A)", "Boost Current (A)"},
        {FunctionSettingsBData, "B", 37, 107, 0, 100, 1, 0, 0, "转把类型选择", ""},
        {FunctionSettingsAData, "A", 7, 1, 0, 106, 0, 0, 55, "EBS自动模式速度 (rpm)", "EBS Auto_Mode Speed (rpm)"},
        {FunctionSettingsAData, "A", 11, 1, 0, 107, 0, 0, 25, "限速比例 (%)", "Speed limit ratio (%)"},
        {FunctionSettingsAData, "A", 18, 1, 0, 111, 0, 0, 55, "巡航进入速度 (rpm)", "Cruise mode minimum speed (rpm)"},
        {FunctionSettingsAData, "A", 27, 1, 0, 117, 0, 0, 54, "最大反转速度 (rpm)", "Max reverse speed (rpm)"},
        {FunctionSettingsAData, "A", 29, 107, 0, 100, 2, 0, 0, "转把类型选择", ""},
        {ProfessionalSettingsData, "Pro", 1, 1, 1, 15, 0, 20, 0, "软件版本", "SOFTWARE VERSION"},
        {ProfessionalSettingsData, "Pro", 2, 1, 1, 15, 0, 19, 0, "客户代码", "BIG CTM"},
        {ProfessionalSettingsData, "Pro", 6, 1, 1, 0, 0, 23, 0, "MOSFET封装", "MOSFET PACKAGE"},
        {ProfessionalSettingsData, "Pro", 26, 1, 1, 363, 0, 0, 0, "母线平衡系数", "DCBus balance coeff"},
        {ProfessionalSettingsData, "Pro", 38, 1, 0, 306, 0, 6, 23, "MOS自检电流 (A)", "MOS self-checking current  "},
        {ProfessionalSettingsData, "Pro", 49, 1, 0, 316, 0, 0, 100, "相电流/励磁电流控制KPDIV系数",
         "Phase current/ exciter current control KPDIV coefficient"},
        {ProfessionalSettingsData, "Pro", 101, 1, 0, 360, 0, 0, 100, "倒车速度环控制KDDIV系数",
         "Reversing speed loop control KDDIV coefficient"},
        {FocSettingsData, "FOC", 2, 101, 0, 100, 6, 0, 0, "倒车使能", "Reverse enable"},
        {FocSettingsData, "FOC", 5, 100, 0, 0, 0, 0, 0, "电池标称电压 (V)", "Nominal battery voltage (V)"},
        {FocSettingsData, "FOC", 9, 1, 0, 243, 0, 0, 42, "额定相电流 (A)", "Rated phase current (A)"},
        {FocSettingsData, "FOC", 10, 1, 0, 108, 0, 0, 48, "正转最大速度 (rpm)", "Maximum Forward speed (rpm)"},
        {FocSettingsData, "FOC", 11, 1, 0, 243, 0, 0, 42, "倒车最大速度 (rpm)", "Decel level 1 (rpm/s)"},
        {FocSettingsData, "FOC", 13, 1, 0, 241, 0, 0, 37, "加速率 (%)", "Acceleration "},
    };
    for (const RowCase& c : cases) {
        SCOPED_TRACE(std::string(c.set) + " row " + std::to_string(c.row));
        const TableData& t = c.data();
        ASSERT_LT(c.row, t.rowCount);
        const ParamRowData& row = t.rows[c.row];
        EXPECT_EQ(row.kind, c.kind);
        EXPECT_EQ(row.read_only, c.read_only);
        EXPECT_EQ(row.word, c.word);
        EXPECT_EQ(row.bit, c.bit);
        EXPECT_EQ(row.format, c.format);
        EXPECT_EQ(row.range, c.range);
        EXPECT_STREQ(row.name_cn, c.name_cn);
        EXPECT_STREQ(row.name_en, c.name_en);
    }
}

// Rows 4, 5, 6, 8 and 9 of the professional set read one word and differ only in format.
TEST(ParamTablesData, ProfessionalWordZeroFieldsDifferOnlyInFormat) {
    const TableData& t = ProfessionalSettingsData();
    std::set<int> formats;
    for (int r : {4, 5, 6, 8, 9}) {
        SCOPED_TRACE(r);
        EXPECT_EQ(t.rows[r].word, 0);
        EXPECT_EQ(t.rows[r].read_only, 1);
        formats.insert(t.rows[r].format);
    }
    EXPECT_EQ(formats, (std::set<int>{15, 16, 17, 18, 23}));
}

// ---- Exact texts, misspellings and line breaks kept ----

enum Field { NAME_CN, HINT_CN, NAME_EN, HINT_EN };

struct TextCase {
    DataFn data;
    int row;
    Field field;
    const char* text;
};

const char* FieldOf(const ParamRowData& r, Field f) {
    switch (f) {
        case NAME_CN: return r.name_cn;
        case HINT_CN: return r.hint_cn;
        case NAME_EN: return r.name_en;
        case HINT_EN: return r.hint_en;
    }
    return nullptr;
}

TEST(ParamTablesData, TextsAreKeptExactly) {
    const TextCase cases[] = {
        {ParameterSettingsData, 4, HINT_EN, ""},
        {ParameterSettingsData, 7, HINT_EN,
         "Controller has its maximum allowable input voltage,\n\nwhen higher than that voltage,controller will stop "
         "for protection"},
        {ParameterSettingsData, 12, HINT_EN,
         "When controller stops for protection because of undervoltage,\n\ncontroller will reture to work until "
         "battery volage picks up to that voltage"},
        {ParameterSettingsData, 33, HINT_EN, "Defaultly  open , non-programmable"},
        {ParameterSettingsData, 34, HINT_CN, "堵转保护时间，电机堵转超过此时间控制器将停机保护\n\n取值范围：0.1s~10s"},
        {ParameterSettingsData, 46, HINT_CN, "加速度\n取值范围：50~1200"},
        {ParameterSettingsData, 46, HINT_EN, "\n50~1200"},
        {FunctionSettingsBData, 1, HINT_EN, "EBS enable seclection"},
        {FunctionSettingsBData, 14, HINT_CN, "进入巡航的最小转把值"},
        {FunctionSettingsBData, 14, HINT_EN, "Cruise into throttle minimum value"},
        {FunctionSettingsBData, 15, HINT_EN,
         "When satisfying the automatic cruise conditions,the time delay of entering  automatic cruise"},
        {FunctionSettingsBData, 17, NAME_EN, "Forword Speed ratio (%)"},
        {FunctionSettingsBData, 17, HINT_EN, ""},
        {FunctionSettingsAData, 11, HINT_CN, "限速比例"},
        {FunctionSettingsAData, 23, HINT_EN, "The maximum speed of forword"},
        {ProfessionalSettingsData, 2, HINT_CN, "1-Quellan, 2-Ostrida, 3-Veltrum, 4-Dunmere"},
        {ProfessionalSettingsData, 4, NAME_EN, "MOSFET TYPE"},
        {ProfessionalSettingsData, 6, HINT_EN, "0-D2PARK, 1-TO220"},
        {ProfessionalSettingsData, 30, NAME_EN, "Hall adaptive synchronization  enable"},
        {FocSettingsData, 8, HINT_EN, "Battery Maximum output current. \nThe range: 10~30"},
        {FocSettingsData, 8, NAME_EN, "Battery drawn current"},
    };
    for (const TextCase& c : cases) {
        const TableData& t = c.data();
        SCOPED_TRACE(std::string(t.name) + " row " + std::to_string(c.row) + " field " + std::to_string(c.field));
        EXPECT_EQ(std::string(FieldOf(t.rows[c.row], c.field)), std::string(c.text));
    }
}

TEST(ParamTablesData, FunctionVariantsShareTheirEbsGroup) {
    const TableData& a = FunctionSettingsAData();
    const TableData& b = FunctionSettingsBData();
    EXPECT_STREQ(a.groups[0].title_en, "Regenerative braking");
    EXPECT_STREQ(b.groups[0].title_en, "Regenerative braking");
    for (int r = 0; r < 7; ++r) {
        SCOPED_TRACE(r);
        EXPECT_STREQ(a.rows[r].name_cn, b.rows[r].name_cn);
        EXPECT_STREQ(a.rows[r].hint_en, b.rows[r].hint_en);
        EXPECT_EQ(a.rows[r].word, b.rows[r].word);
        EXPECT_EQ(a.rows[r].bit, b.rows[r].bit);
    }
    // Same speed word, different range rule per variant.
    EXPECT_EQ(a.rows[7].range, 55);
    EXPECT_EQ(b.rows[7].range, 36);
}

}  // namespace
}  // namespace dt

// The built-in parameter table sets, row for row. Spacer rows are real rows so that
// row indexes (and the text-override identifiers built on them) stay fixed.
#include <iterator>

#include "Identity.h"
#include "ParamTables.h"
#include "RangeRules.h"
#include "ValueCodec.h"

namespace dt {
namespace {

// clang-format off

constexpr ParamRowData kSpacer = {"", 0, 0, 0, 0, 0, 0, "", "", ""};

constexpr ParamRowData kParameterSettingsRows[] = {
    //         name_cn                    kind, ro, word, bit, fmt, range
    //         hint_cn / name_en / hint_en
    /*   0 */ {"控制器参数设置",             0,  0,    0,   0,   0,     0,
               "", "Controller Parameter settings", ""},
    /*   1 */ {"Hall电角度",               103,  0,  200,  -1,   7,     0,
               "Hall电角度",
               "Hall electrical angle",
               "Hall electrical angle"},
    /*   2 */ {"相移量",                     1,  0,  201,   0,   8,    10,
               "", "Phase angle offset", ""},
    /*   3 */ {"极对数",                     1,  0,  202,   0,   0,     8,
               "电机极对数",
               "Number of pole pairs",
               "Number of pole pairs"},
    /*   4 */ {"额定转速 (rpm)",             1,  0,  203,   0,   0,     9,
               "电机额定转速",
               "Rated motor speed (rpm)",
               ""},
    /*   5 */ kSpacer,
    /*   6 */ {"电池标称电压 (V)",         100,  0,    0,   0,   0,     0,
               "电池标称电压值",
               "Nominal battery voltage (V)",
               "Battery nominal voltage value"},
    /*   7 */ {"过压保护值 (V)",             1,  0,  206,   0,   1,     1,
               "控制器最大允许输入电压，高于此电压控制器将停机保护",
               "High voltage protection value (V)",
               "Controller has its maximum allowable input voltage,\n\nwhen higher than that voltage,controller will stop for protection"},
    /*   8 */ {"过压保护退出值 (V)",         1,  0,  207,   0,   1,     2,
               "当电池电压高于最大允许电压后，电池电压需低于此电压值控制器才恢复工作",
               "High voltage protection exit value (V)",
               "When the battery voltage is higher than the maximum allowed voltage, \n\ncontroller will return to work until the battery voltage is lower than that voltage"},
    /*   9 */ {"最小工作电压 (V)",           1,  1,  208,   0,   1,     0,
               "控制器最小允许输入电压，低于此电压控制器将停机保护",
               "Minimum work voltage (V)",
               "Controller has its minimum allowable input voltage,\n\nwhen lower than that voltage,controller will stop for protection"},
    /*  10 */ kSpacer,
    /*  11 */ {"欠压保护值 (V)",             1,  0,  209,   0,   1,     4,
               "低于此电压控制器将停机保护",
               "Low voltage protection value (V)",
               "When lower than that voltage,controller will stop for protection"},
    /*  12 */ {"欠压保护退出值 (V)",         1,  0,  210,   0,   3,     6,
               "欠压停机保护后需电池电压回升至此电压控制器才恢复工作",
               "Low voltage protection exit value (V)",
               "When controller stops for protection because of undervoltage,\n\ncontroller will reture to work until battery volage picks up to that voltage"},
    /*  13 */ kSpacer,
    /*  14 */ {"电池软欠压保护使能",       101,  0,  214,  11,   0,     0,
               "", "Low voltage protection enable", ""},
    /*  15 */ {"电池软欠压电压值 (V)",       1,  0,  213,   0,   1,     7,
               "电池低压时降低电流输出的电压值",
               "Low voltage triggering current reducing (V)",
               "When the battery is in low voltage, reduce the value of current output voltage"},
    /*  16 */ kSpacer,
    /*  17 */ {"欠压清除需转把归零使能",   101,  0,  214,   8,   0,     0,
               "", "Clear undervoltage state while throttle off", ""},
    /*  18 */ kSpacer,
    /*  19 */ {"启动相电流 (A)",             1,  0,  216,   0,   6,    15,
               "电机启动时，控制器最小能输出的相电流",
               "Starting phase current (A)",
               "When motor starts, the minimum phase current that controller can output"},
    /*  20 */ kSpacer,
    /*  21 */ {"最大相电流 (A)",             1,  0,  218,   0,   6,    11,
               "控制器允许输出的最大相电流",
               "Maximum phase current (A)",
               "The maximum phase current that controller allows to output short time"},
    /*  22 */ {"最大相电流持续时间 (s)",     1,  0,  219,   0,   9,    47,
               "控制器允许输出最大相电流的保持时间",
               "Maximum phase current duration (s)",
               "the holding time of maximum phase current that controller allows to output"},
    /*  23 */ {"额定相电流 (A)",             1,  0,  220,   0,   6,    12,
               "控制器额定能输出的最大相电流",
               "Rated phase current (A)",
               "The Rated phase current that controller can be output long time"},
    /*  24 */ kSpacer,
    /*  25 */ {"母线电流 (A)",               1,  0,  221,   0,   4,    14,
               "电池最大输出电流",
               "Battery drawn current limit (A)",
               "the maximum current that battery can output"},
    /*  26 */ kSpacer,
    /*  27 */ {"电机过温保护使能",         101,  0,  214,  14,   0,     0,
               "此项需开启",
               "Motor overtemperature protection enable",
               "It needs to open"},
    /*  28 */ {"电机控流温度(1档) (℃)",      1,  0,  230,   0,   0,    21,
               "电机内部温度超过此值，控制器将降低输出功率至1档控流",
               "Motor current limit temperature ( Level 1 ) (℃)",
               "the level 1 motor temperature of current control"},
    /*  29 */ {"电机控流温度(2档) (℃)",      1,  0,  229,   0,   0,    20,
               "电机内部温度超过此值，控制器将降低输出功率至2档控流",
               "Motor current limit temperature ( Level 2 ) (℃)",
               "the level 2 motor temperature of current control"},
    /*  30 */ {"电机温度保护 (℃)",           1,  0,  228,   0,   0,    19,
               "电机内部温度超过此值，控制器将停止工作",
               "Maximum motor protection temperature (℃)",
               "When motor internal temperature exceeds that value, controller will stop work"},
    /*  31 */ {"电机温度保护退出值 (℃)",     1,  0,  231,   0,   0,    44,
               "电机发生过温控流后，恢复工作回差",
               "Motor temperature protection exit value (℃)",
               ""},
    /*  32 */ kSpacer,
    /*  33 */ {"电机堵转保护使能",         101,  1,  214,  15,   0,     0,
               "默认为开启，不可编程",
               "Motor blockage protection enable",
               "Defaultly  open , non-programmable"},
    /*  34 */ {"堵转保护时间 (s)",           1,  0,  215,   0,   5,    33,
               "堵转保护时间，电机堵转超过此时间控制器将停机保护\n\n取值范围：0.1s~10s",
               "stall protection time (s)",
               "It's motor blockage protecion time,when motor blocks over that time,controller will stop for protection\n\n0.1s~10s"},
    /*  35 */ kSpacer,
    /*  36 */ {"转把飞车保护使能",         101,  0,  214,  13,   0,     0,
               "", "Throttle voltage range protection enable", ""},
    /*  37 */ {"转把模式选择",             104,  0,  100,   4,   0,     0,
               "", "Throttle mode selection", ""},
    /*  38 */ kSpacer,
    /*  39 */ {"转把上限故障值 (V)",         1,  0,  232,   0,  11,    26,
               "转把输入超出此电压值，控制器将认为转把损坏，并停机保护\n\n取值范围：3.8~4.8V",
               "Throttle maximum allowed voltage (V)",
               "When throttle input voltage is above this voltage, \n\ncontroller will consider throttle damage and stop working for protection\n\n3.8~4.8V"},
    /*  40 */ {"转把上限故障退出值 (V)",     1,  0,  233,   0,  11,    27,
               "当发生转把超出上限故障值后，需低于此电压值，控制器才恢复工作\n\n取值范围：3.5~4.5V",
               "Throttle upper voltage fault exit value (V)",
               "If throttle voltage is above the upper fault value, \n\ncontroller can work normally only after its voltage is under this lower fault value\n\n3.5~4.5V"},
    /*  41 */ {"转把下限故障值 (V)",         1,  0,  234,   0,  11,    28,
               "转把输入低于此电压值，控制器将认为转把损坏，并停机保护\n\n取值范围：0~1.0V",
               "Throttle lowest allowed voltage (V)",
               "When throttle input voltage is under this voltage, \n\ncontroller will consider throttle damage and stop working for protection\n\n0~1.0V"},
    /*  42 */ {"转把下限故障退出值 (V)",     1,  0,  235,   0,  11,    29,
               "当发生转把低于下限故障值后，需高于此电压值，控制器才恢复工作\n\n取值范围：0.2~1.2V",
               "Throttle lower voltage fault exit value (V)",
               "When throttle voltage is under lower fault value, \n\ncontroller can work normally only after its voltage is above this lower fault value\n\n0.2~1.2V"},
    /*  43 */ {"转把最大有效值 (V)",         1,  0,  236,   0,  11,    30,
               "转把有效工作的最高电压值\n\n取值范围：2.5~4.0V",
               "Throttle maximum valid voltage (V)",
               "The lowest voltage value when throttle works effectively\n\n2.5~4.0V"},
    /*  44 */ {"转把最小有效值 (V)",         1,  0,  237,   0,  11,    31,
               "转把有效工作的最低电压值\n\n取值范围：0.5~1.5V",
               "Throttle minimum valid voltage (V)",
               "The highest voltage value when throttle works effectively\n\n0.5~1.5V"},
    /*  45 */ kSpacer,
    /*  46 */ {"加速度 (rpm/s)",             1,  0,  241,   0,   0,    41,
               "加速度\n取值范围：50~1200",
               "Acceleration (rpm/s)",
               "\n50~1200"},
    /*  47 */ {"减速度 (rpm/s)",             1,  0,  243,   0,   0,    42,
               "减速度\n取值范围：100~1200",
               "Deceleration (rpm/s)",
               "\n100~1200"},
    /*  48 */ kSpacer,
    /*  49 */ {"保修期",                     1,  1,  204,  10,  21,     0,
               "", "Warranty Date", ""},
    /*  50 */ kSpacer,
};

constexpr GroupData kParameterSettingsGroups[] = {
    // title_cn       title_en                              rows     first row
    {"电机参数",      "Motor parameters",                      5},  //   1
    {"电压参数设置",  "Voltage parameter settings",           13},  //   6
    {"电流参数设置",  "Current parameter settings",            8},  //  19
    {"温度设置",      "Temperature settings",                  6},  //  27
    {"电机堵转设置",  "Motor blockage settings",               3},  //  33
    {"转把参数设置",  "Throttle parameter settings",          10},  //  36
    {"速度参数设置",  "Accel and Decel parameter settings",    3},  //  46
    {"保修期",        "Warranty Date",                         2},  //  49
};

static_assert(std::size(kParameterSettingsRows) == kParameterSettingsRowCount, "ParameterSettings row count");
static_assert(std::size(kParameterSettingsGroups) == kParameterSettingsGroupCount, "ParameterSettings group count");

constexpr ParamRowData kFunctionSettingsARows[] = {
    //         name_cn                   kind, ro, word, bit, fmt, range
    //         hint_cn / name_en / hint_en
    /*   0 */ {"控制器功能设置",            0,  0,    0,   0,   0,     0,
               "", "Controller function settings", ""},
    /*   1 */ {"EBS使能",                 101,  0,  100,  15,   0,     0,
               "EBS使能选择",
               "EBS enable",
               "EBS enable seclection"},
    /*   2 */ kSpacer,
    /*   3 */ {"EBS反充电压 (V)",           1,  0,  101,   0,   2,     3,
               "EBS最大反充电压",
               "Reverse charging voltage (V)",
               "The maximum EBS rev-charging voltage"},
    /*   4 */ {"EBS反充电流 (A)",           1,  0,  102,   0,   6,    13,
               "EBS最大反充电流",
               "Reverse charging current (A)",
               "The maximum EBS rev-charging current"},
    /*   5 */ kSpacer,
    /*   6 */ {"EBS自动模式使能",         101,  0,  100,  14,   0,     0,
               "打开松转把自动进入EBS功能",
               "Enable EBS Auto-Mode",
               "Enter EBS automatically while loosen the throttle"},
    /*   7 */ {"EBS自动模式速度 (rpm)",     1,  0,  106,   0,   0,    55,
               "松转把自动进入EBS的最小速度",
               "EBS Auto_Mode Speed (rpm)",
               "The min-speed enter EBS automatically while loosen the throttle"},
    /*   8 */ kSpacer,
    /*   9 */ {"限速使能",                101,  0,  100,  13,   0,     0,
               "打开限速功能",
               "Speed limit enable",
               "Speed limit enable seclection"},
    /*  10 */ kSpacer,
    /*  11 */ {"限速比例 (%)",              1,  0,  107,   0,   0,    25,
               "限速比例",
               "Speed limit ratio (%)",
               "Speed limit ratio"},
    /*  12 */ kSpacer,
    /*  13 */ {"巡航使能",                101,  0,  100,  11,   0,     0,
               "打开巡航功能",
               "Cruise Control Enable",
               "Cruise Control Enable Seclection"},
    /*  14 */ {"巡航手动模式使能",        101,  0,  100,  10,   0,     0,
               "打开手动巡航功能",
               "Cruise Control Manual mode enable",
               "Cruise Control Manual mode enables Seclection"},
    /*  15 */ {"巡航自动模式使能",        101,  0,  100,   9,   0,     0,
               "打开自动巡航功能",
               "Cruise Control Automatic mode enable",
               "Cruise Control Automatic modeenable Seclection"},
    /*  16 */ kSpacer,
    /*  17 */ {"巡航进入转把值 (V)",        1,  0,  110,   0,  11,    32,
               "进入巡航的最小转把值",
               "Cruise mode throttle minimum voltage (V)",
               "Cruise into throttle minimum value"},
    /*  18 */ {"巡航进入速度 (rpm)",        1,  0,  111,   0,   0,    55,
               "进入巡航的最小速度",
               "Cruise mode minimum speed (rpm)",
               "The minimum speed of entering the cruise"},
    /*  19 */ {"自动巡航响应时间 (s)",      1,  0,  112,   0,   9,    34,
               "满足自动进入巡航条件后延时进入时间",
               "Automatic cruise response time (s)",
               "When satisfying the automatic cruise conditions,the time delay of entering  automatic cruise"},
    /*  20 */ kSpacer,
    /*  21 */ {"正转速度环使能",          101,  0,  100,  12,   0,     0,
               "打开正转速度环功能",
               "Forword-Speed-Loop enable",
               "Enable forward speed limit loop"},
    /*  22 */ kSpacer,
    /*  23 */ {"最大正转速度 (rpm)",        1,  0,  108,   0,   0,    54,
               "最大正转速度",
               "Max forword speed (rpm)",
               "The maximum speed of forword"},
    /*  24 */ kSpacer,
    /*  25 */ {"反转速度环使能",          101,  0,  100,   6,   0,     0,
               "打开反转速度环使能",
               "Reverse-Speed-Loop enable",
               "Enable reverse func"},
    /*  26 */ kSpacer,
    /*  27 */ {"最大反转速度 (rpm)",        1,  0,  117,   0,   0,    54,
               "最大反转速度",
               "Max reverse speed (rpm)",
               "The maximum speed of reverse"},
    /*  28 */ kSpacer,
    /*  29 */ {"转把类型选择",            107,  0,  100,   2,   0,     0,
               "", "", ""},
    /*  30 */ kSpacer,
};

constexpr GroupData kFunctionSettingsAGroups[] = {
    // title_cn       title_en                   rows     first row
    {"EBS功能设置",   "Regenerative braking",       8},  //   1
    {"限速设置",      "Speed Limit Settings",       4},  //   9
    {"巡航功能设置",  "Cruise Control Settings",    8},  //  13
    {"正转设置",      "Fwd-Speed-Loop setting",     4},  //  21
    {"反转设置",      "Bwd-Speed-Loop setting",     4},  //  25
    {"转把类型设置",  "Speed throttle type",        2},  //  29
};

static_assert(std::size(kFunctionSettingsARows) == kFunctionSettingsARowCount, "FunctionSettingsA row count");
static_assert(std::size(kFunctionSettingsAGroups) == kFunctionSettingsAGroupCount, "FunctionSettingsA group count");

constexpr ParamRowData kFunctionSettingsBRows[] = {
    //         name_cn                      kind, ro, word, bit, fmt, range
    //         hint_cn / name_en / hint_en
    /*   0 */ {"控制器功能设置",               0,  0,    0,   0,   0,     0,
               "", "Controller function settings", ""},
    /*   1 */ {"EBS使能",                    101,  0,  100,  15,   0,     0,
               "EBS使能选择",
               "EBS enable",
               "EBS enable seclection"},
    /*   2 */ kSpacer,
    /*   3 */ {"EBS反充电压 (V)",              1,  0,  101,   0,   2,     3,
               "EBS最大反充电压",
               "Reverse charging voltage (V)",
               "The maximum EBS rev-charging voltage"},
    /*   4 */ {"EBS反充电流 (A)",              1,  0,  102,   0,   6,    13,
               "EBS最大反充电流",
               "Reverse charging current (A)",
               "The maximum EBS rev-charging current"},
    /*   5 */ kSpacer,
    /*   6 */ {"EBS自动模式使能",            101,  0,  100,  14,   0,     0,
               "打开松转把自动进入EBS功能",
               "Enable EBS Auto-Mode",
               "Enter EBS automatically while loosen the throttle"},
    /*   7 */ {"EBS自动模式速度 (rpm)",        1,  0,  106,   0,   0,    36,
               "松转把自动进入EBS的最小速度",
               "EBS Auto_Mode Speed (rpm)",
               "The min-speed enter EBS automatically while loosen the throttle"},
    /*   8 */ kSpacer,
    /*   9 */ {"巡航使能",                   101,  0,  100,  11,   0,     0,
               "打开巡航功能",
               "Cruise Control Enable",
               "Cruise Control Enable Seclection"},
    /*  10 */ {"巡航手动模式使能",           101,  0,  100,  10,   0,     0,
               "打开手动巡航功能",
               "Cruise Control Manual mode enable",
               "Cruise Control Manual mode enables Seclection"},
    /*  11 */ {"巡航自动模式使能",           101,  0,  100,   9,   0,     0,
               "打开自动巡航功能",
               "Cruise Control Automatic mode enable",
               "Cruise Control Automatic modeenable Seclection"},
    /*  12 */ kSpacer,
    /*  13 */ {"巡航进入转把值 (V)",           1,  0,  110,   0,  11,    32,
               "进入巡航的最小转把值",
               "Cruise mode throttle minimum voltage (V)",
               "Cruise into throttle minimum value"},
    /*  14 */ {"巡航进入速度比例 (%)",         1,  0,  111,   0,   0,    52,
               "进入巡航的最小转把值",
               "Cruise mode throttle minimum voltage (V)",
               "Cruise into throttle minimum value"},
    /*  15 */ {"自动巡航响应时间 (s)",         1,  0,  112,   0,   9,    34,
               "满足自动进入巡航条件后延时进入时间",
               "Automatic cruise response time (s)",
               "When satisfying the automatic cruise conditions,the time delay of entering  automatic cruise"},
    /*  16 */ kSpacer,
    /*  17 */ {"正转速度比例 (%)",             1,  0,  107,   0,   0,    25,
               "正转速度比例",
               "Forword Speed ratio (%)",
               ""},
    /*  18 */ kSpacer,
    /*  19 */ {"反转速度比例 (%)",             1,  0,  116,   0,   0,    25,
               "反转速度比例",
               "Backword speed ratio (%)",
               ""},
    /*  20 */ {"反转电流比例 (%)",             1,  0,  117,   0,   0,    48,
               "反转电流比例",
               "Reverse current ratio (%)",
               ""},
    /*  21 */ kSpacer,
    /*  22 */ {"三速使能",                   101,  0,  100,   8,   0,     0,
               "打开三速功能",
               "3-Gears enable",
               "Enable 3-Gears func"},
    /*  23 */ {"三速开关模式选择",           102,  0,  100,   7,   0,     0,
               "按键三速/拨档三速选择",
               "3-Gears switch mode setting",
               "Choose 3-Gears of button or choose 3-Gears of shift"},
    /*  24 */ {"默认档位(0:高 1:中 2:低)",     1,  0,  122,   0,   0,    46,
               "按键三速默认档位",
               "Default gear(0:HG 1:MG 2:LG)",
               "Button mode default gear(0:High gear, 1:Mid gear, 2:Low gear)"},
    /*  25 */ kSpacer,
    /*  26 */ {"高档位 (%)",                   1,  0,  113,   0,   0,    25,
               "高速档位比值",
               "High speed ratio (%)",
               ""},
    /*  27 */ {"中档位 (%)",                   1,  0,  114,   0,   0,    25,
               "中速档位比值",
               "Mid speed ratio (%)",
               ""},
    /*  28 */ {"低档位 (%)",                   1,  0,  115,   0,   0,    25,
               "低速档位比值",
               "Low speed ratio (%)",
               ""},
    /*  29 */ kSpacer,
    /*  30 */ {"Boost使能",                  101,  0,  100,  12,   0,     0,
               "打开Boost功能",
               "Boost enable",
               "Enable Boost func"},
    /*  31 */ {"Boost模式",                  106,  0,  100,   2,   0,     0,
               "Boost模式",
               "Boost Mode",
               ""},
    /*  32 */ kSpacer,
    /*  33 */ {"Boost电流 (A)",                1,  0,  124,   0,   4,    49,
               "Boost电流",
               "Boost Current (A)",
               ""},
    /*  34 */ {"Boost保持时间 (S)",            1,  0,  125,   0,   0,    50,
               "Boost保持时间",
               "Boost keeping time (S)",
               ""},
    /*  35 */ {"Boost间隔时间 (S)",            1,  0,  126,   0,   0,    51,
               "Boost间隔时间",
               "Boost interval time (S)",
               ""},
    /*  36 */ kSpacer,
    /*  37 */ {"转把类型选择",               107,  0,  100,   1,   0,     0,
               "", "", ""},
    /*  38 */ kSpacer,
};

constexpr GroupData kFunctionSettingsBGroups[] = {
    // title_cn        title_en                   rows     first row
    {"EBS功能设置",    "Regenerative braking",       8},  //   1
    {"巡航功能设置",   "Cruise Control Settings",    8},  //   9
    {"正转设置",       "Fwd-Speed-Loop setting",     2},  //  17
    {"反转设置",       "Bwd-Speed-Loop setting",     3},  //  19
    {"三速功能设置",   "3-Gears Func setting",       8},  //  22
    {"Boost功能设置",  "Boost Func setting",         7},  //  30
    {"转把类型设置",   "Speed throttle type",        2},  //  37
};

static_assert(std::size(kFunctionSettingsBRows) == kFunctionSettingsBRowCount, "FunctionSettingsB row count");
static_assert(std::size(kFunctionSettingsBGroups) == kFunctionSettingsBGroupCount, "FunctionSettingsB group count");

constexpr ParamRowData kProfessionalSettingsRows[] = {
    //         name_cn                          kind, ro, word, bit, fmt, range
    //         hint_cn / name_en / hint_en
    /*   0 */ {"专业参数设置",                     0,  0,    0,   0,   0,     0,
               "", "Professional parameter settings", ""},
    /*   1 */ {"软件版本",                         1,  1,   15,   0,  20,     0,
               "", "SOFTWARE VERSION", ""},
    /*   2 */ {"客户代码",                         1,  1,   15,   0,  19,     0,
               "1-Quellan, 2-Ostrida, 3-Veltrum, 4-Dunmere",
               "BIG CTM",
               ""},
    /*   3 */ kSpacer,
    /*   4 */ {"MOSFET型号",                       1,  1,    0,   0,  17,     0,
               "0-042, 1-072, 2-180, 3-240, 4-1991",
               "MOSFET TYPE",
               ""},
    /*   5 */ {"MOSFET数量",                       1,  1,    0,   0,  18,     0,
               "", "MOSFET Nr", ""},
    /*   6 */ {"MOSFET封装",                       1,  1,    0,   0,  23,     0,
               "0-贴片, 1-直插",
               "MOSFET PACKAGE",
               "0-D2PARK, 1-TO220"},
    /*   7 */ kSpacer,
    /*   8 */ {"电流解锁",                         1,  1,    0,   0,  15,     0,
               "0x80: Current open",
               "CURRENT LIMIT OPEN",
               ""},
    /*   9 */ {"电压解锁",                         1,  1,    0,   0,  16,     0,
               "0x40: Voltage open",
               "VOLTAGE LIMIT OPEN",
               ""},
    /*  10 */ kSpacer,
    /*  11 */ {"RS (Ohm)",                         1,  1,    1,   0,  12,     0,
               "", "RS (Ohm)", ""},
    /*  12 */ {"LS (H)",                           1,  1,    2,   0,  13,     0,
               "", "LS (H)", ""},
    /*  13 */ {"MAX_BEMF",                         1,  1,    3,   0,   0,     0,
               "", "MAX_BEMF", ""},
    /*  14 */ kSpacer,
    /*  15 */ {"RdsON",                            1,  1,    4,   0,  12,     0,
               "", "RdsON", ""},
    /*  16 */ {"RdsON_GAIN",                       1,  1,    5,   0,  14,     0,
               "", "RdsON_GAIN", ""},
    /*  17 */ {"AVG_SHUNT",                        1,  1,    6,   0,  12,     0,
               "", "AVG_SHUNT", ""},
    /*  18 */ {"AVG_GAIN",                         1,  1,    7,   0,  14,     0,
               "", "AVG_GAIN", ""},
    /*  19 */ {"AVG_REV",                          1,  1,    8,   0,  12,     0,
               "", "AVG_REV", ""},
    /*  20 */ {"BATT_RATIO",                       1,  1,    9,   0,  12,     0,
               "", "BATT_RATIO", ""},
    /*  21 */ {"EBS_REV",                          1,  1,   10,   0,  12,     0,
               "", "EBS_REV", ""},
    /*  22 */ kSpacer,
    /*  23 */ {"A相平衡系数",                      1,  1,  361,   0,   0,     0,
               "", "Phasse A balance coeff", ""},
    /*  24 */ {"C相平衡系数",                      1,  1,  362,   0,   0,     0,
               "", "Phasse C balance coeff", ""},
    /*  25 */ kSpacer,
    /*  26 */ {"母线平衡系数",                     1,  1,  363,   0,   0,     0,
               "", "DCBus balance coeff", ""},
    /*  27 */ kSpacer,
    /*  28 */ {"HALL下降沿同步使能",             101,  0,  300,  15,   0,     0,
               "", "HALL falling edge synchronization enable", ""},
    /*  29 */ {"HALL六步同步使能",               101,  0,  300,  14,   0,     0,
               "", "HALL six step synchronization enable", ""},
    /*  30 */ {"HALL自适应同步使能",             101,  0,  300,  13,   0,     0,
               "", "Hall adaptive synchronization  enable", ""},
    /*  31 */ kSpacer,
    /*  32 */ {"正旋模式启动机械频率 (Hz)",        1,  0,  301,   0,   5,     0,
               "", "Sine wave mode running mechanical frequency", ""},
    /*  33 */ {"正旋切入方波机械频率 (Hz)",        1,  0,  302,   0,   5,     0,
               "", "Sine wave cutting to square wave mechanical frequency", ""},
    /*  34 */ {"方波切入正旋机械频率 (Hz)",        1,  0,  303,   0,   5,     0,
               "", "Square wave cutting to sine wave mechanical frequency", ""},
    /*  35 */ {"方波切入正旋滤波次数",             1,  0,  304,   0,   0,    24,
               "", "Square wave cutting to sine wave flitering times", ""},
    /*  36 */ kSpacer,
    /*  37 */ {"MOS自检时间 (us)",                 1,  0,  305,   0,   0,    22,
               "", "MOS self-checking time", ""},
    /*  38 */ {"MOS自检电流 (A)",                  1,  0,  306,   0,   6,    23,
               "", "MOS self-checking current  ", ""},
    /*  39 */ {"缺相自检电流 (A)",                 1,  0,  307,   0,   6,    33,
               "", "Phase lacking self-checking current", ""},
    /*  40 */ {"缺相保护电流 (A)",                 1,  0,  308,   0,   6,    33,
               "", "Phase lacking prtection current", ""},
    /*  41 */ {"缺相母线电流 (A)",                 1,  0,  309,   0,   4,    33,
               "", "Phase lacking busbar current", ""},
    /*  42 */ kSpacer,
    /*  43 */ {"相电流控制KP系数",                 1,  0,  310,   0,   0,    99,
               "", "Phase current control KP coefficient", ""},
    /*  44 */ {"相电流控制KI系数",                 1,  0,  311,   0,   0,    99,
               "", "Phase current control KI coefficient", ""},
    /*  45 */ {"相电流控制KD系数",                 1,  0,  312,   0,   0,    99,
               "", "Phase current control KD coefficient", ""},
    /*  46 */ {"励磁电流控制KP系数",               1,  0,  313,   0,   0,    99,
               "", "Exciter current control KP coefficient", ""},
    /*  47 */ {"励磁电流控制KI系数",               1,  0,  314,   0,   0,    99,
               "", "Exciter current control KI coefficient", ""},
    /*  48 */ {"励磁电流控制KD系数",               1,  0,  315,   0,   0,    99,
               "", "Exciter current control KD coefficient", ""},
    /*  49 */ {"相电流/励磁电流控制KPDIV系数",     1,  0,  316,   0,   0,   100,
               "", "Phase current/ exciter current control KPDIV coefficient", ""},
    /*  50 */ {"相电流/励磁电流控制KIDIV系数",     1,  0,  317,   0,   0,   100,
               "", "Phase current/ exciter current control KIDIV coefficient", ""},
    /*  51 */ {"相电流/励磁电流控制KDDIV系数",     1,  0,  318,   0,   0,   100,
               "", "Phase current/ exciter current control KDDIV coefficient", ""},
    /*  52 */ kSpacer,
    /*  53 */ {"起步相电流控制KP系数",             1,  0,  319,   0,   0,    99,
               "", "Starting phase current control KP coefficient", ""},
    /*  54 */ {"起步相电流控制KI系数",             1,  0,  320,   0,   0,    99,
               "", "Starting phase current control KI coefficient", ""},
    /*  55 */ {"起步励磁电流控制KP系数",           1,  0,  321,   0,   0,    99,
               "", "Satrting exciter current control KP coefficient", ""},
    /*  56 */ {"起步励磁电流控制KI系数",           1,  0,  322,   0,   0,    99,
               "", "Starting exciter current control KI coefficient", ""},
    /*  57 */ kSpacer,
    /*  58 */ {"制动相电流控制KP系数",             1,  0,  323,   0,   0,    99,
               "", "Braking phase current control KP coefficient", ""},
    /*  59 */ {"制动相电流控制KI系数",             1,  0,  324,   0,   0,    99,
               "", "Braking phase current control KI coefficient", ""},
    /*  60 */ {"制动励磁电流控制KP系数",           1,  0,  325,   0,   0,    99,
               "", "Braking exciter current control KP coefficient", ""},
    /*  61 */ {"制动励磁电流控制KI系数",           1,  0,  326,   0,   0,    99,
               "", "Braking exciter current control KI coefficient", ""},
    /*  62 */ kSpacer,
    /*  63 */ {"防盗相电流控制KP系数",             1,  0,  327,   0,   0,    99,
               "", "Theftproof phase current control KP coefficient", ""},
    /*  64 */ {"防盗相电流控制KI系数",             1,  0,  328,   0,   0,    99,
               "", "Theftproof phase current control KI coefficient", ""},
    /*  65 */ {"防盗励磁电流控制KP系数",           1,  0,  329,   0,   0,    99,
               "", "Theftproof exciter current control KP coefficient", ""},
    /*  66 */ {"防盗励磁电流控制KI系数",           1,  0,  330,   0,   0,    99,
               "", "Theftproof exciter current control KI coefficient", ""},
    /*  67 */ kSpacer,
    /*  68 */ {"平均控流KP系数",                   1,  0,  331,   0,   0,    99,
               "", "Average flow control KP coefficient", ""},
    /*  69 */ {"平均控流KI系数",                   1,  0,  332,   0,   0,    99,
               "", "Average flow control KI coefficient", ""},
    /*  70 */ {"平均控流KD系数",                   1,  0,  333,   0,   0,    99,
               "", "Average flow control KD coefficient", ""},
    /*  71 */ {"平均控流KPDIV系数",                1,  0,  334,   0,   0,   100,
               "", "Average flow control KPDIV coefficient", ""},
    /*  72 */ {"平均控流KIDIV系数",                1,  0,  335,   0,   0,   100,
               "", "Average flow control KIDIV coefficient", ""},
    /*  73 */ {"平均控流KDDIV系数",                1,  0,  336,   0,   0,   100,
               "", "Average flow control KDDIV coefficient", ""},
    /*  74 */ kSpacer,
    /*  75 */ {"速度环控制KP系数",                 1,  0,  337,   0,   0,    99,
               "", "Speed loop control KP coefficient", ""},
    /*  76 */ {"速度环控制KI系数",                 1,  0,  338,   0,   0,    99,
               "", "Speed loop control KI coefficient", ""},
    /*  77 */ {"速度环控制KD系数",                 1,  0,  339,   0,   0,    99,
               "", "Speed loop control KD coefficient", ""},
    /*  78 */ {"速度环控制KPDIV系数",              1,  0,  340,   0,   0,   100,
               "", "Speed loop control KPDIV coefficient", ""},
    /*  79 */ {"速度环控制KIDIV系数",              1,  0,  341,   0,   0,   100,
               "", "Speed loop control KIDIV coefficient", ""},
    /*  80 */ {"速度环控制KDDIV系数",              1,  0,  342,   0,   0,   100,
               "", "Speed loop control KDDIV coefficient", ""},
    /*  81 */ kSpacer,
    /*  82 */ {"EBS电压环控制KP系数",              1,  0,  343,   0,   0,    99,
               "", "EBS voltage loop control KP coefficient", ""},
    /*  83 */ {"EBS电压环控制KI系数",              1,  0,  344,   0,   0,    99,
               "", "EBS voltage loop control KI coefficient", ""},
    /*  84 */ {"EBS电压环控制KD系数",              1,  0,  345,   0,   0,    99,
               "", "EBS voltage loop control KD coefficient", ""},
    /*  85 */ {"EBS电压环控制KPDIV系数",           1,  0,  346,   0,   0,   100,
               "", "EBS voltage loop control KPDIV coefficient", ""},
    /*  86 */ {"EBS电压环控制KIDIV系数",           1,  0,  347,   0,   0,   100,
               "", "EBS voltage loop control KIDIV coefficient", ""},
    /*  87 */ {"EBS电压环控制KDDIV系数",           1,  0,  348,   0,   0,   100,
               "", "EBS voltage loop control KDDIV coefficient", ""},
    /*  88 */ kSpacer,
    /*  89 */ {"EBS速度环控制KP系数",              1,  0,  349,   0,   0,    99,
               "", "EBS speed loop control KP coefficient", ""},
    /*  90 */ {"EBS速度环控制KI系数",              1,  0,  350,   0,   0,    99,
               "", "EBS speed loop control KI coefficient", ""},
    /*  91 */ {"EBS速度环控制KD系数",              1,  0,  351,   0,   0,    99,
               "", "EBS speed loop control KD coefficient", ""},
    /*  92 */ {"EBS速度环控制KPDIV系数",           1,  0,  352,   0,   0,   100,
               "", "EBS speed loop control KPDIV coefficient", ""},
    /*  93 */ {"EBS速度环控制KIDIV系数",           1,  0,  353,   0,   0,   100,
               "", "EBS speed loop control KIDIV coefficient", ""},
    /*  94 */ {"EBS速度环控制KDDIV系数",           1,  0,  354,   0,   0,   100,
               "", "EBS speed loop control KDDIV coefficient", ""},
    /*  95 */ kSpacer,
    /*  96 */ {"倒车速度环控制KP系数",             1,  0,  355,   0,   0,    99,
               "", "Reversing speed loop control KP coefficient", ""},
    /*  97 */ {"倒车速度环控制KI系数",             1,  0,  356,   0,   0,    99,
               "", "Reversing speed loop control KI coefficient", ""},
    /*  98 */ {"倒车速度环控制KD系数",             1,  0,  357,   0,   0,    99,
               "", "Reversing speed loop control KD coefficient", ""},
    /*  99 */ {"倒车速度环控制KPDIV系数",          1,  0,  358,   0,   0,   100,
               "", "Reversing speed loop control KPDIV coefficient", ""},
    /* 100 */ {"倒车速度环控制KIDIV系数",          1,  0,  359,   0,   0,   100,
               "", "Reversing speed loop control KIDIV coefficient", ""},
    /* 101 */ {"倒车速度环控制KDDIV系数",          1,  0,  360,   0,   0,   100,
               "", "Reversing speed loop control KDDIV coefficient", ""},
    /* 102 */ kSpacer,
};

constexpr GroupData kProfessionalSettingsGroups[] = {
    // title_cn              title_en                             rows     first row
    {"软件版本信息",         "Software base information",           11},  //   1
    {"电机特性参数",         "Motor performance parameters",         4},  //  12
    {"控制器基本信息",       "Controller base information",         12},  //  16
    {"HALL使能",             "HALL enable",                          4},  //  28
    {"控制器特性参数",       "Controller performance parameters",    5},  //  32
    {"MOS自检/缺相保护",     "MOS-Check & Phase-Check",              6},  //  37
    {"相电流/励磁电流系数",  "Torque & Flux coefficient",           10},  //  43
    {"起步/制动相电流系数",  "Start & EBS coeffcient",              10},  //  53
    {"防盗相电流系数",       "Theftproof coefficient",               5},  //  63
    {"平均控流系数",         "Average Current coefficient",          7},  //  68
    {"速度环系数",           "Speed loop coefficient",               7},  //  75
    {"EBS电压环系数",        "EBS voltage loop coefficient",         7},  //  82
    {"EBS速度环系数",        "EBS speed loop coefficient",           7},  //  89
    {"倒车速度环系数",       "Reversing speed loop coefficient",     7},  //  96
};

static_assert(std::size(kProfessionalSettingsRows) == kProfessionalSettingsRowCount, "ProfessionalSettings row count");
static_assert(std::size(kProfessionalSettingsGroups) == kProfessionalSettingsGroupCount, "ProfessionalSettings group count");

constexpr ParamRowData kFocSettingsRows[] = {
    //         name_cn                kind, ro, word, bit, fmt, range
    //         hint_cn / name_en / hint_en
    /*   0 */ {"FOC 控制器设置",         0,  0,    0,   0,   0,     0,
               "", "FOC Controller setting", ""},
    /*   1 */ {"EBS使能",              101,  0,  100,  15,   0,     0,
               "EBS使能选择",
               "Regen braking enable",
               "EBS enable seclection"},
    /*   2 */ {"倒车使能",             101,  0,  100,   6,   0,     0,
               "倒车使能选择",
               "Reverse enable",
               "Reversing enable seclection"},
    /*   3 */ kSpacer,
    /*   4 */ {"助力比 (0.1倍)",         1,  0,  101,   0,   2,     3,
               "取值范围：10~100",
               "PAS Ratio ( 0.1 times )",
               "The range: 10~100"},
    /*   5 */ {"电池标称电压 (V)",     100,  0,    0,   0,   0,     0,
               "电池电压标称值",
               "Nominal battery voltage (V)",
               "The nominal value of the battery voltage"},
    /*   6 */ {"过压保护值 (V)",         1,  0,  206,   0,   1,     1,
               "高于此电压控制器将停机保护",
               "Overvoltage protection value (V)",
               "when higher than that voltage,controller will stop for protection"},
    /*   7 */ {"欠压保护值 (V)",         1,  0,  209,   0,   1,     4,
               "低于此电压控制器将停机保护",
               "Undervoltage protection value (V)",
               "When lower than that voltage,controller will stop for protection"},
    /*   8 */ {"母线电流 (A)",           1,  0,  221,   0,   4,    14,
               "电池最大输出电流。\n取值范围：10~30",
               "Battery drawn current",
               "Battery Maximum output current. \nThe range: 10~30"},
    /*   9 */ {"额定相电流 (A)",         1,  0,  243,   0,   0,    42,
               "取值范围：35~70",
               "Rated phase current (A)",
               "The range: 35~70"},
    /*  10 */ {"正转最大速度 (rpm)",     1,  0,  108,   0,   0,    48,
               "取值范围：100~700",
               "Maximum Forward speed (rpm)",
               "The range: 100~700"},
    /*  11 */ {"倒车最大速度 (rpm)",     1,  0,  243,   0,   0,    42,
               "取值范围：15~380",
               "Decel level 1 (rpm/s)",
               "The range: 15~380"},
    /*  12 */ {"EBS相电流峰值 (A)",      1,  0,  102,   0,   6,    13,
               "取值范围：20~80",
               "Max EBS phase Current (A)",
               "The range: 20~80"},
    /*  13 */ {"加速率 (%)",             1,  0,  241,   0,   0,    37,
               "取值范围：0~100",
               "Acceleration ",
               "The range: 0~100"},
    /*  14 */ kSpacer,
};

static_assert(std::size(kFocSettingsRows) == kFocSettingsRowCount, "FocSettings row count");

// Where each numeric FOC row lives in the FocBlock, and its download bounds.
constexpr FocField kFocFields[] = {
    //row  word  offset  lo   hi
    { 4,  false,  1,    10, 100},
    { 5,  false,  2,     0,   0},
    { 6,  false,  3,     0,   0},
    { 7,  false,  4,     0,   0},
    { 8,  false,  5,    10,  30},
    { 9,  true,  22,    35,  70},
    {10,  true,   6,   100, 700},
    {11,  true,  24,    15, 380},
    {12,  true,   8,    20,  80},
    {13,  true,  10,     0, 100},
};

// clang-format on

// The rows and words the logic names are the rows the tables hold.
constexpr bool RowIs(const ParamRowData& r, int kind, int word) { return r.kind == kind && r.word == word; }
static_assert(RowIs(kParameterSettingsRows[kRowPolePairs], KIND_NUMBER, kWordPolePairs), "pole pairs row");
static_assert(RowIs(kParameterSettingsRows[4], KIND_NUMBER, kWordRatedSpeed), "rated speed row");
static_assert(kParameterSettingsRows[kRowNominalVoltage].kind == KIND_NOMINAL_VOLTAGE, "nominal voltage row");
static_assert(RowIs(kParameterSettingsRows[kRowOverVoltage], KIND_NUMBER, kWordOverVoltage), "over-voltage row");
static_assert(RowIs(kParameterSettingsRows[kRowOverVoltageExit], KIND_NUMBER, kWordOverVoltageExit), "exit row");
static_assert(RowIs(kParameterSettingsRows[kRowMinWorkVoltage], KIND_NUMBER, 208), "minimum working voltage row");
static_assert(RowIs(kParameterSettingsRows[kRowUnderVoltage], KIND_NUMBER, kWordUnderVoltage), "under-voltage row");
static_assert(RowIs(kParameterSettingsRows[kRowSoftUnderVoltage], KIND_NUMBER, 213), "soft under-voltage row");
static_assert(RowIs(kParameterSettingsRows[21], KIND_NUMBER, kWordMaxPhaseCurrent), "maximum phase current row");
static_assert(RowIs(kParameterSettingsRows[28], KIND_NUMBER, kWordMotorTempLevel1), "temperature level 1 row");
static_assert(RowIs(kParameterSettingsRows[29], KIND_NUMBER, kWordMotorTempLevel2), "temperature level 2 row");
static_assert(RowIs(kParameterSettingsRows[30], KIND_NUMBER, kWordMotorTempMax), "maximum temperature row");
static_assert(RowIs(kFunctionSettingsARows[kFunctionRowChargeVoltage], KIND_NUMBER, 101), "variant A charge row");
static_assert(RowIs(kFunctionSettingsBRows[kFunctionRowChargeVoltage], KIND_NUMBER, 101), "variant B charge row");
static_assert(kFocSettingsRows[kFocRowRegenEnable].kind == KIND_CHOICE_1 &&
                  kFocSettingsRows[kFocRowRegenEnable + 1].kind == KIND_CHOICE_1 && kFocRowChoiceCount == 2,
              "FOC choice rows");
static_assert(kFocSettingsRows[kFocRowNominalVoltage].kind == KIND_NOMINAL_VOLTAGE, "FOC nominal voltage row");
static_assert(RowIs(kFocSettingsRows[kFocRowOverVoltage], KIND_NUMBER, kWordOverVoltage), "FOC over-voltage row");
static_assert(RowIs(kFocSettingsRows[kFocRowUnderVoltage], KIND_NUMBER, kWordUnderVoltage), "FOC under-voltage row");

static_assert(kProfessionalSettingsRows[1].word == kIdWordModel && kProfessionalSettingsRows[2].word == kIdWordModel &&
                  kProfessionalSettingsRows[4].word == kIdWordKind &&
                  kProfessionalSettingsRows[15].word == kIdWordRdsOn &&
                  kProfessionalSettingsRows[16].word == kIdWordRdsOnGain &&
                  kProfessionalSettingsRows[17].word == kIdWordExtraId &&
                  kProfessionalSettingsRows[19].word == kIdWordAvgRev &&
                  kProfessionalSettingsRows[20].word == kIdWordBattRatio &&
                  kProfessionalSettingsRows[21].word == kIdWordEbsRev,
              "identity words as the professional table names them");

// Rules and formats the logic names, on the rows that use them.
static_assert(kParameterSettingsRows[kRowPolePairs + 1].range == RULE_RATED_SPEED, "rated speed rule");
static_assert(kParameterSettingsRows[kRowOverVoltage].range == RULE_OVER_VOLTAGE, "over-voltage rule");
static_assert(kParameterSettingsRows[kRowOverVoltageExit].range == RULE_OVER_VOLTAGE_EXIT, "exit rule");
static_assert(kParameterSettingsRows[kRowUnderVoltage].range == RULE_UNDER_VOLTAGE, "under-voltage rule");
static_assert(kParameterSettingsRows[kRowSoftUnderVoltage].range == RULE_SOFT_UNDER_VOLTAGE, "soft rule");
static_assert(kParameterSettingsRows[21].range == RULE_MAX_PHASE_CURRENT, "maximum phase current rule");
static_assert(kParameterSettingsRows[22].range == RULE_MAX_CURRENT_DURATION, "duration rule");
static_assert(kParameterSettingsRows[28].range == RULE_MOTOR_TEMP_LEVEL_1, "temperature level 1 rule");
static_assert(kParameterSettingsRows[29].range == RULE_MOTOR_TEMP_LEVEL_2, "temperature level 2 rule");
static_assert(kFunctionSettingsBRows[kFunctionRowChargeVoltage].range == RULE_CHARGE_VOLTAGE, "charge rule");
static_assert(kParameterSettingsRows[kRowMinWorkVoltage].format == FMT_BATTERY_VOLTS, "minimum working voltage");
static_assert(kParameterSettingsRows[1].format == FMT_HALL_ANGLE &&
                  kParameterSettingsRows[2].format == FMT_PHASE_OFFSET,
              "angle formats");
static_assert(kProfessionalSettingsRows[49].range == RULE_POWER_OF_TWO, "KPDIV rule");

constexpr bool FocFieldsMatchTheTable() {
    for (const FocField& f : kFocFields) {
        if (f.row < kFirstValueRow || f.row >= kFocSettingsRowCount) return false;
        const int kind = kFocSettingsRows[f.row].kind;
        if (kind != KIND_NUMBER && !(f.row == kFocRowNominalVoltage && kind == KIND_NOMINAL_VOLTAGE)) return false;
        if (f.offset < 0 || f.offset + (f.word ? 2 : 1) > 32) return false;
        const bool byNominal =
            f.row == kFocRowNominalVoltage || f.row == kFocRowOverVoltage || f.row == kFocRowUnderVoltage;
        if (byNominal != (f.hi == 0)) return false;
    }
    return kFocFields[5].row == kFocRowPhaseCurrent;
}
static_assert(FocFieldsMatchTheTable(), "FOC field map");

}  // namespace

const TableData& ParameterSettingsData() {
    static const TableData data = {"ParameterSettings", kParameterSettingsRows,
                                   static_cast<int>(std::size(kParameterSettingsRows)), kParameterSettingsGroups,
                                   static_cast<int>(std::size(kParameterSettingsGroups))};
    return data;
}

const TableData& FunctionSettingsAData() {
    static const TableData data = {"FunctionSettingsA", kFunctionSettingsARows,
                                   static_cast<int>(std::size(kFunctionSettingsARows)), kFunctionSettingsAGroups,
                                   static_cast<int>(std::size(kFunctionSettingsAGroups))};
    return data;
}

const TableData& FunctionSettingsBData() {
    static const TableData data = {"FunctionSettingsB", kFunctionSettingsBRows,
                                   static_cast<int>(std::size(kFunctionSettingsBRows)), kFunctionSettingsBGroups,
                                   static_cast<int>(std::size(kFunctionSettingsBGroups))};
    return data;
}

const TableData& ProfessionalSettingsData() {
    static const TableData data = {"ProfessionalSettings", kProfessionalSettingsRows,
                                   static_cast<int>(std::size(kProfessionalSettingsRows)), kProfessionalSettingsGroups,
                                   static_cast<int>(std::size(kProfessionalSettingsGroups))};
    return data;
}

const FocFieldList& FocFields() {
    static const FocFieldList list = {kFocFields, static_cast<int>(std::size(kFocFields))};
    return list;
}

const TableData& FocSettingsData() {
    static const TableData data = {"FocSettings", kFocSettingsRows, static_cast<int>(std::size(kFocSettingsRows)),
                                   nullptr, 0};
    return data;
}

}  // namespace dt

#include "ControllerSet.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <vector>

#include "AtomicFile.h"
#include "ControllerProfile.h"
#include "Identity.h"
#include "LinkFrame.h"

namespace sim {

uint16_t ControllerSet::Word(int index) const {
    if (index < 0 || index >= 400) return 0;
    int offset = (index / 100) * 256 + (index % 100) * 2;
    return static_cast<uint16_t>(block[offset] << 8 | block[offset + 1]);
}

void ControllerSet::SetWord(int index, uint16_t value) {
    if (index < 0 || index >= 400) return;
    int offset = (index / 100) * 256 + (index % 100) * 2;
    block[offset] = static_cast<uint8_t>(value >> 8);
    block[offset + 1] = static_cast<uint8_t>(value & 0xFF);
}

namespace {
// What differs between the kinds of virtual controller, as the device does it: one record a kind.
struct Device {
    dt::ControllerKind kind;
    int setBlock;  // the block beside the identity that holds the 32-byte set; -1: the 1024-byte block holds it
    const char* label;
    bool calibrated;  // the identity carries a model word and calibration words
    ControllerSet (*make)(Variant variant);
};
const Device kDevices[] = {
    {dt::ControllerKind::Standard, -1, "standard controller", true, [](Variant v) { return StandardController(v); }},
    {dt::ControllerKind::Foc, dt::kBlockFoc, "FOC controller", false, [](Variant) { return FocController(); }},
};

const Device& DeviceOf(dt::ControllerKind kind) {
    for (const Device& d : kDevices)
        if (d.kind == kind) return d;
    return kDevices[0];
}
}  // namespace

const uint8_t* ControllerSet::ReadData(int n) const {
    const int own = DeviceOf(kind).setBlock;
    // A controller with a set block of its own has the identity and that block, nothing else.
    if (own >= 0) return n == dt::kBlockIdentity ? block.data() : n == own ? focBlock.data() : nullptr;
    return BlockOffset(n) >= 0 ? block.data() + BlockOffset(n) : nullptr;
}

uint8_t* ControllerSet::WriteTarget(int n) {
    const int own = DeviceOf(kind).setBlock;
    if (own >= 0) return n == own ? focBlock.data() : nullptr;
    // The identity section is never written.
    return n != dt::kBlockIdentity && BlockOffset(n) >= 0 ? block.data() + BlockOffset(n) : nullptr;
}

int ControllerSet::LastReadBlock() const {
    const int own = DeviceOf(kind).setBlock;
    return own >= 0 ? own : dt::kBlockLast;
}

std::vector<uint8_t> ControllerSet::WrittenBytes() const {
    if (DeviceOf(kind).setBlock >= 0) return std::vector<uint8_t>(focBlock.begin(), focBlock.end());
    std::vector<uint8_t> bytes;
    for (int n = dt::kBlockFirstSection2; n <= dt::kBlockLast; ++n)
        bytes.insert(bytes.end(), block.begin() + BlockOffset(n), block.begin() + BlockOffset(n) + dt::kBlockBytes);
    return bytes;
}

bool ControllerSet::Calibrated() const { return DeviceOf(kind).calibrated; }

std::string ControllerSet::Describe() const {
    const Device& d = DeviceOf(kind);
    if (!d.calibrated) return d.label;
    char text[96];
    std::snprintf(text, sizeof text, "%s, ModelWord 0x%04X (customer %d, version %d)", d.label, ModelWord(),
                  ModelWord() >> 10, ModelWord() & 0x3FF);
    return text;
}

std::string ControllerSet::BlockName(int n) const {
    if (n == dt::kBlockIdentity) return "identity";
    if (n == DeviceOf(kind).setBlock) return "FOC block";
    if (n >= 1 && n <= 4) return "section 3 block " + std::to_string(n - 1);
    if (n >= 8 && n <= 10) return "section 2 block " + std::to_string(n - 8);
    if (n == 11 || n == 12) return "section 1 block " + std::to_string(n - 11);
    return "unused block " + std::to_string(n);
}

ControllerSet BuiltInController(dt::ControllerKind kind, Variant variant) { return DeviceOf(kind).make(variant); }

uint16_t ControllerSet::FocWord(int offset) const {
    if (offset < 0 || offset + 1 >= kFocSize) return 0;
    return static_cast<uint16_t>(focBlock[offset] | focBlock[offset + 1] << 8);
}

void ControllerSet::SetFocWord(int offset, uint16_t value) {
    if (offset < 0 || offset + 1 >= kFocSize) return;
    focBlock[offset] = static_cast<uint8_t>(value & 0xFF);
    focBlock[offset + 1] = static_cast<uint8_t>(value >> 8);
}

int BlockOffset(int n) {
    switch (n) {
    case 0: return 0;                       // section 0 block 0: identity
    case 1: case 2: case 3: case 4:         // section 3 blocks 0..3
        return 3 * 256 + (n - 1) * 32;
    case 8: case 9: case 10:                // section 2 blocks 0..2
        return 2 * 256 + (n - 8) * 32;
    case 11: case 12:                       // section 1 blocks 0..1
        return 1 * 256 + (n - 11) * 32;
    default: return -1;
    }
}

namespace {

// Calibration the default controller reports in section 0. The tool scales words 4, 8, 9 and 10
// by the single-precision 0.001, so the raw words below are derived with the same factors.
constexpr uint16_t kRdsOnWord = 2;        // 0.002 ohm
constexpr uint16_t kRdsOnGainWord = 1000;
constexpr uint16_t kAvgRevWord = 50;      // 0.05 A per count
constexpr uint16_t kBattRatioWord = 25;   // 0.025
constexpr uint16_t kEbsRevWord = 25;      // 0.025 V per count

float Factor(uint16_t word) { return static_cast<float>(word) * 0.001f; }

uint16_t Raw(double value) { return static_cast<uint16_t>(std::lround(value) & 0xFFFF); }

// Inverse of the display formulas, so the table below reads in the units a technician sees.
uint16_t Volts(double v) {  // battery voltages
    return Raw(v * Factor(kBattRatioWord) * 32768.0 / 3.3);
}
uint16_t EbsVolts(double v) { return Raw(v / Factor(kEbsRevWord)); }
uint16_t PhaseAmps(double a) {
    return Raw(a * static_cast<float>(kRdsOnGainWord) * Factor(kRdsOnWord) * 32767.0 / 16500.0);
}
uint16_t BatteryAmps(double a) { return Raw(a / Factor(kAvgRevWord)); }
uint16_t ThrottleVolts(double v) { return Raw(v * 13527.413263065439); }
uint16_t Tenths(double v) { return Raw(v * 10.0); }
uint16_t FiveMs(double seconds) { return Raw(seconds * 200.0); }
uint16_t Degrees(double d) { return static_cast<uint16_t>(static_cast<int16_t>(std::lround(d * 65536.0 / 360.0))); }

struct WordValue {
    int index;
    uint16_t value;
};

// Identity and calibration: customer 1, 48 MOSFETs (count code 8) of type 0 in D2PAK,
// all limits locked, voltage class 100 (48, 60, 72 V offered).
std::vector<WordValue> IdentityWords(uint16_t modelWord) {
    return {
        {0, 0x0008},            // high byte: flags and MOSFET type 0; low byte: count code 8
        {1, 100},               // RS 0.1 ohm
        {2, 250},               // LS 0.00025 H
        {3, 2800},              // MAX_BEMF
        {4, kRdsOnWord},
        {5, kRdsOnGainWord},
        {6, 1},                 // AVG_SHUNT 0.001 ohm
        {7, 200},               // AVG_GAIN
        {8, kAvgRevWord},
        {9, kBattRatioWord},
        {10, kEbsRevWord},
        {11, 1},                // hardware class
        {12, 100},              // voltage class
        {15, modelWord},
    };
}

// A 60 V scooter hub drive; every shown value lies inside its range for nominal 60 V and the
// current limits of count code 8 / type 0 (max phase 500, rated 450, battery 260, EBS 100).
const WordValue kParameterWords[] = {
    {200, 0},                   // Hall angle 120 degrees
    {201, Degrees(30)},         // phase offset
    {202, 15},                  // pole pairs
    {203, 1000},                // rated speed, rpm
    {204, 2026}, {205, 1231},   // warranty date 202612
    {206, Volts(80.0)},         // over-voltage protection
    {207, Volts(76.0)},         // over-voltage exit
    {208, Volts(40.0)},         // minimum working voltage: the 60 V preset
    {209, Volts(52.0)},         // under-voltage protection
    {210, Volts(3.0)},          // under-voltage exit (0..4 V)
    {213, Volts(55.0)},         // soft under-voltage
    {214, 0xE900},              // blockage, motor temperature, throttle range, soft UV, UV clear
    {215, Tenths(3.0)},         // stall protection, s
    {216, PhaseAmps(140)},      // starting phase current
    {218, PhaseAmps(420)},      // maximum phase current
    {219, FiveMs(10.0)},        // maximum phase current duration, s
    {220, PhaseAmps(250)},      // rated phase current
    {221, BatteryAmps(100)},    // battery current
    {228, 140},                 // motor protection temperature
    {229, 120},                 // current limit temperature level 2
    {230, 100},                 // current limit temperature level 1
    {231, 10},                  // protection exit
    {232, ThrottleVolts(4.3)},  // throttle upper fault
    {233, ThrottleVolts(4.0)},  // ... its exit
    {234, ThrottleVolts(0.5)},  // throttle lower fault
    {235, ThrottleVolts(0.8)},  // ... its exit
    {236, ThrottleVolts(3.6)},  // throttle maximum valid
    {237, ThrottleVolts(1.1)},  // throttle minimum valid
    {241, 300},                 // acceleration, rpm/s
    {243, 400},                 // deceleration, rpm/s
};

const WordValue kFunctionWordsCommon[] = {
    {101, EbsVolts(76.0)},      // EBS charging voltage
    {102, PhaseAmps(30)},       // EBS charging current
    {106, 300},                 // EBS automatic mode speed, rpm
    {108, 1000},                // maximum forward speed, rpm
    {110, ThrottleVolts(1.5)},  // cruise throttle minimum
    {112, FiveMs(5.0)},         // automatic cruise response, s
    {113, 100}, {114, 80}, {115, 60},  // gear ratios, %
    {116, 50},                  // reverse speed ratio, %
    {122, 1},                   // default gear: middle
    {124, BatteryAmps(120)},    // Boost current
    {125, 10},                  // Boost keeping time, s
    {126, 120},                 // Boost interval, s
};

// Words whose meaning differs between the two function variants.
const WordValue kFunctionWordsB[] = {
    {100, 0x8D10},  // EBS, cruise, cruise manual, three-speed, linear throttle
    {107, 100},     // forward speed ratio, %
    {111, 30},      // cruise entry speed ratio, %
    {117, 50},      // reverse current ratio, %
};
const WordValue kFunctionWordsA[] = {
    {100, 0x9C50},  // EBS, forward and reverse speed loops, cruise, cruise manual, linear throttle
    {107, 80},      // speed limit ratio, %
    {111, 200},     // cruise entry speed, rpm
    {117, 300},     // maximum reverse speed, rpm
};

// Section 3: synchronisation, switching and the control-loop coefficients.
const WordValue kProfessionalWords[] = {
    {300, 0xA000},                                  // Hall falling-edge and adaptive sync
    {301, Tenths(2.0)}, {302, Tenths(15.0)}, {303, Tenths(12.0)},
    {304, 16},                                      // filtering times
    {305, 30},                                      // MOS self-check time, us
    {306, PhaseAmps(210)},                          // MOS self-check current
    {307, PhaseAmps(5)}, {308, PhaseAmps(5)},       // phase-loss check and protection currents
    {309, BatteryAmps(2.0)},                        // phase-loss bus current
    {310, 1200}, {311, 60}, {312, 0}, {313, 1200}, {314, 60}, {315, 0},
    {316, 1024}, {317, 8192}, {318, 1024},
    {319, 800}, {320, 40}, {321, 800}, {322, 40},
    {323, 1000}, {324, 50}, {325, 1000}, {326, 50},
    {327, 600}, {328, 30}, {329, 600}, {330, 30},
    {331, 500}, {332, 20}, {333, 0}, {334, 1024}, {335, 8192}, {336, 1024},
    {337, 3000}, {338, 100}, {339, 0}, {340, 1024}, {341, 16384}, {342, 1024},
    {343, 2000}, {344, 80}, {345, 0}, {346, 1024}, {347, 8192}, {348, 1024},
    {349, 2500}, {350, 90}, {351, 0}, {352, 1024}, {353, 8192}, {354, 1024},
    {355, 2000}, {356, 60}, {357, 0}, {358, 1024}, {359, 8192}, {360, 1024},
    {361, 4096}, {362, 4096}, {363, 4096},          // phase and bus balance
};

template <typename Table>
void Apply(ControllerSet& set, const Table& table) {
    for (const WordValue& w : table) set.SetWord(w.index, w.value);
}

std::string LowerExtension(const std::string& path) {
    auto slash = path.find_last_of('/');
    auto dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
    std::string ext = path.substr(dot + 1);
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext;
}

}  // namespace

ControllerSet StandardController(Variant variant) {
    ControllerSet set;
    // Version 300 takes the newer current-limit table and variant B; 260 keeps variant A.
    uint16_t modelWord = variant == Variant::B ? (0x0400 | 300) : (0x0400 | 260);
    Apply(set, IdentityWords(modelWord));
    Apply(set, kParameterWords);
    Apply(set, kFunctionWordsCommon);
    if (variant == Variant::B)
        Apply(set, kFunctionWordsB);
    else
        Apply(set, kFunctionWordsA);
    Apply(set, kProfessionalWords);
    return set;
}

void SetFocIdentity(ControllerSet& set) {
    set.kind = dt::ControllerKind::Foc;
    set.block.fill(0);
    set.SetWord(dt::kIdWordModel, dt::kFocModelWord);
}

ControllerSet FocController() {
    ControllerSet set;
    SetFocIdentity(set);
    set.focBlock[0] = 0x03;     // EBS and reverse enabled
    set.focBlock[1] = 50;       // PAS ratio, 0.1 times
    set.focBlock[2] = 48;       // nominal voltage
    set.focBlock[3] = 62;       // over-voltage
    set.focBlock[4] = 42;       // under-voltage
    set.focBlock[5] = 25;       // battery current, A
    set.SetFocWord(6, 500);     // maximum forward speed, rpm
    set.SetFocWord(8, 40);      // EBS phase current peak, A
    set.SetFocWord(10, 60);     // acceleration, %
    set.SetFocWord(22, 50 * 10 / 7);  // rated phase current 50 A
    set.SetFocWord(24, 200);    // maximum reverse speed, rpm
    return set;
}

bool LoadSetFile(const std::string& path, ControllerSet& set, std::string& error) {
    // Read first, so a folder or a missing file is named as such whatever its name ends in.
    std::vector<uint8_t> bytes;
    std::string why;
    // Only the first block counts; a huge file or a device is never read whole.
    if (!dt::ReadFileChecked(path, bytes, why, ControllerSet::kBlockSize + 1)) {
        error = "cannot read " + path + ": " + why;
        return false;
    }
    std::string ext = LowerExtension(path);
    if (ext != "foc" && ext != "ged") {
        error = path + ": the file must end in .foc or .ged";
        return false;
    }
    if (ext == "foc") {
        if (bytes.size() < static_cast<size_t>(ControllerSet::kBlockSize)) {
            error = path + ": a .foc file holds at least 1024 bytes, this one " + std::to_string(bytes.size());
            return false;
        }
        ControllerSet loaded;
        std::copy(bytes.begin(), bytes.begin() + ControllerSet::kBlockSize, loaded.block.begin());
        if (loaded.ModelWord() == dt::kFocModelWord) {
            error = path + ": its identity is an FOC controller's; load a .ged file instead";
            return false;
        }
        set = loaded;
        return true;
    }
    if (bytes.size() < static_cast<size_t>(ControllerSet::kFocSize)) {
        error = path + ": a .ged file holds at least 32 bytes, this one " + std::to_string(bytes.size());
        return false;
    }
    ControllerSet loaded;
    SetFocIdentity(loaded);
    std::copy(bytes.begin(), bytes.begin() + ControllerSet::kFocSize, loaded.focBlock.begin());
    set = loaded;
    return true;
}

bool WriteSetFile(const std::string& path, const ControllerSet& set, std::string& error) {
    std::string ext = LowerExtension(path);
    const dt::KindFacts& facts = dt::ProfileOfKind(set.kind).Facts();
    if (ext != facts.extension) {
        error = path + ": " + facts.phrase + "'s set is written as a ." + facts.extension + " file";
        return false;
    }
    // The whole block of a standard controller, the 32-byte set of an FOC one.
    const uint8_t* data = facts.fileSize == ControllerSet::kFocSize ? set.focBlock.data() : set.block.data();
    std::string why;
    if (!dt::WriteFileAtomically(path, std::vector<unsigned char>(data, data + facts.fileSize), why)) {
        error = "cannot write " + path + ": " + why;
        return false;
    }
    return true;
}

}  // namespace sim

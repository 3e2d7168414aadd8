#pragma once
// What the identity section says about the controller.
#include <cstddef>
#include <cstdint>

namespace dt {

// Words of the identity section (section 0) that the identity parse reads.
constexpr int kIdWordKind = 0;  // variant and kind bytes (kind and hardware class when the ModelWord is 0)
constexpr int kIdWordRdsOn = 4;
constexpr int kIdWordRdsOnGain = 5;
constexpr int kIdWordExtraId = 6;
constexpr int kIdWordAvgRev = 8;
constexpr int kIdWordBattRatio = 9;
constexpr int kIdWordEbsRev = 10;
constexpr int kIdWordHardwareClass = 11;
constexpr int kIdWordVoltageClass = 12;
constexpr int kIdWordModel = 15;

constexpr uint8_t kVoltageLimitOpenFlag = 0x40;

struct ControllerIdentity {
    uint8_t kindByte = 0;        // MOSFET count code
    uint8_t variantByte = 0;     // flags (0x80 current open, 0x40 voltage open, 0x20) and MOSFET type
    uint8_t variantLow = 0;      // variantByte & 0x0F
    uint8_t variantHigh = 0;     // variantByte & 0xF0
    uint16_t voltageClass = 0;   // word 12
    uint16_t hardwareClass = 0;  // word 11, or low byte of word 0 when the ModelWord is 0
    uint16_t extraId = 0;        // word 6 of a controller whose ModelWord is 0

    bool VoltageLimitOpen() const { return (variantByte & kVoltageLimitOpenFlag) != 0; }
};

struct Calibration {
    float RdsON = 0;
    float RdsON_GAIN = 0;
    float AVG_REV = 0;
    float BATT_RATIO = 0;
    float EBS_REV = 0;
};

// Calibration factors as the identity parse computes them from words 4, 5, 8, 9, 10.
Calibration CalibrationFromWords(uint16_t w4, uint16_t w5, uint16_t w8, uint16_t w9, uint16_t w10);

// The controller matches this tool: customer code 1 and software version 210..313.
bool VersionMatches(uint16_t modelWord);

constexpr uint16_t kFocModelWord = 0xFFFE;
// The identity words 0..15 of section 0: a set holding the same ones comes from the same controller.
constexpr size_t kIdentityBytes = 32;
constexpr uint16_t kNoModelWord = 0xFFFF;

}  // namespace dt

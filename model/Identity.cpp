#include "Identity.h"

namespace dt {

Calibration CalibrationFromWords(uint16_t w4, uint16_t w5, uint16_t w8, uint16_t w9, uint16_t w10) {
    // 0.001 is a single-precision constant; every factor is kept as a 32-bit float.
    const float milli = 0.001f;
    Calibration c;
    c.RdsON = static_cast<float>(w4) * milli;
    c.RdsON_GAIN = static_cast<float>(w5);
    c.AVG_REV = static_cast<float>(w8) * milli;
    c.BATT_RATIO = static_cast<float>(w9) * milli;
    c.EBS_REV = static_cast<float>(w10) * milli;
    return c;
}

bool VersionMatches(uint16_t modelWord) {
    int version = modelWord & 0x03FF;
    int customer = modelWord & 0xFC00;
    return version >= 210 && version <= 313 && customer == 0x0400;
}

}  // namespace dt

#include "ParameterFiles.h"

#include <algorithm>

#include "AtomicFile.h"
#include "ControllerProfile.h"
#include "Identity.h"
#include "ToolState.h"

namespace dt {

bool IdentityMatches(const ToolState& s, const unsigned char* section0) {
    auto W = [&](int i) { return static_cast<uint16_t>((section0[2 * i] << 8) | section0[2 * i + 1]); };
    auto lo = [](uint16_t x) { return static_cast<int>(x & 0xFF); };
    auto hi = [](uint16_t x) { return static_cast<int>(x >> 8); };
    const ControllerIdentity& id = s.identity;
    if (id.kindByte == 0) return true;  // nothing known to compare with
    const Calibration c = CalibrationFromWords(W(4), W(5), W(8), W(9), W(10));
    const Calibration& k = s.calibration;
    const bool sameCalibration = c.RdsON == k.RdsON && c.RdsON_GAIN == k.RdsON_GAIN && c.AVG_REV == k.AVG_REV &&
                                 c.BATT_RATIO == k.BATT_RATIO && c.EBS_REV == k.EBS_REV;
    if (W(15) == 0)
        return lo(W(0)) == id.hardwareClass && hi(W(0)) == id.kindByte && W(6) == id.extraId && sameCalibration;
    return W(11) == id.hardwareClass && W(12) == id.voltageClass && lo(W(0)) == id.kindByte &&
           hi(W(0)) == id.variantByte && sameCalibration;
}

std::string VariantMismatch(const ToolState& s, const unsigned char* section0) {
    if (s.identity.kindByte == 0) return "";  // nothing known to compare with
    const uint16_t fileModel = static_cast<uint16_t>(section0[2 * kIdWordModel] << 8 | section0[2 * kIdWordModel + 1]);
    const FunctionVariant file = VariantFor(fileModel);
    if (file == s.variant) return "";
    auto name = [](FunctionVariant v) { return v == FunctionVariant::A ? "A" : "B"; };
    return FillIn(s.Extra(XTX_VARIANT_MISMATCH), name(file), name(s.variant));
}

ImportOutcome ImportBytes(ToolState& s, const ControllerProfile* file, const std::vector<unsigned char>& content) {
    return file ? file->Import(s, content) : ImportOutcome();
}

std::vector<unsigned char> ExportBytes(const ToolState& s) {
    return ProfileOf(s).FileBytes(s);
}

bool ReadParameterFile(const std::string& path, std::vector<unsigned char>& out, std::string& why) {
    return ReadFileChecked(path, out, why, kParameterFileReadLimit);
}

bool ReadParameterFile(const std::string& path, std::vector<unsigned char>& out) {
    std::string why;
    return ReadParameterFile(path, out, why);
}

}  // namespace dt

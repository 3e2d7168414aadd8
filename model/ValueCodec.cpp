#include "ValueCodec.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "CLocale.h"
#include "OptionLists.h"
#include "ToolState.h"

namespace dt {

namespace {
// Single-precision constants, widened exactly as a float would be.
const double kTenth = 0.1f;
const double kMilli = 0.001f;
const double kMicro = 0.000001f;
const double k005 = 0.005f;
const double k0005 = 0.0005f;

const double kVoltsPerCount = 3.3;
const double kCountsPerVolt = 9929.69696969697;        // 32768 / 3.3
const double kAmpsScale = 1.985939393939394;           // 32768 / 16500
const double kThrottleVolts = 7.392396318151595e-05;
const double kThrottleCounts = 13527.413263065439;

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

// Cut toward zero and keep the low 16 bits; non-finite results store 0.
uint16_t Low16(double value) {
    if (!std::isfinite(value)) return 0;
    double t = std::fmod(std::trunc(value), 65536.0);
    if (t < 0) t += 65536.0;
    return static_cast<uint16_t>(static_cast<uint32_t>(t) & 0xFFFF);
}

uint16_t Low16(long value) { return static_cast<uint16_t>(static_cast<unsigned long>(value) & 0xFFFF); }

std::string StripTrailingZeros(std::string s) {
    while (!s.empty() && s.back() == '0') s.pop_back();
    return s;
}
}  // namespace

std::string Format(const char* fmt, ...) {
    CNumericScope cLocale;
    char buf[512];
    va_list ap;
    va_start(ap, fmt);
    int n = std::vsnprintf(buf, sizeof buf, fmt, ap);
    va_end(ap);
    if (n < 0) return std::string();
    if (static_cast<size_t>(n) < sizeof buf) return std::string(buf, n);
    std::string big(n + 1, '\0');
    va_start(ap, fmt);
    std::vsnprintf(big.data(), big.size(), fmt, ap);
    va_end(ap);
    big.resize(n);
    return big;
}

std::string TrimLeft(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && IsSpace(text[i])) ++i;
    return text.substr(i);
}

long LeadingInteger(const std::string& text) {
    // Decimal only, as strtol with base 10 reads it.
    return std::strtol(text.c_str(), nullptr, 10);
}

double LeadingNumber(const std::string& text) {
    // A plain decimal number: [sign] digits [. digits] [exponent]; no hex, no inf or nan.
    size_t i = 0;
    while (i < text.size() && IsSpace(text[i])) ++i;
    size_t start = i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    size_t digits = 0;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) ++i, ++digits;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) ++i, ++digits;
    }
    if (digits == 0) return 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
        if (j < text.size() && std::isdigit(static_cast<unsigned char>(text[j]))) {
            while (j < text.size() && std::isdigit(static_cast<unsigned char>(text[j]))) ++j;
            i = j;
        }
    }
    CNumericScope cLocale;
    return std::strtod(text.substr(start, i - start).c_str(), nullptr);
}

uint16_t ReadWord(const ToolState& s, const ParamDescriptor& d) { return s.block.ReadWord(d.word); }

void WriteWord(ToolState& s, const ParamDescriptor& d, uint16_t value) { s.block.WriteWord(d.word, value); }

int ReadBit(const ToolState& s, const ParamDescriptor& d) {
    if (d.bit < 0 || d.bit > 15) return 0;
    return (ReadWord(s, d) >> d.bit) & 1;
}

void WriteBit(ToolState& s, const ParamDescriptor& d, int flag) {
    if (d.bit < 0 || d.bit > 15) return;
    uint16_t w = ReadWord(s, d);
    if (flag) w = static_cast<uint16_t>(w | (1u << d.bit));
    else w = static_cast<uint16_t>(w & ~(1u << d.bit));
    WriteWord(s, d, w);
}

std::string FormatValue(const ToolState& s, const ParamDescriptor& d) {
    if (!s.dataValid) return std::string();
    const uint16_t r = ReadWord(s, d);
    const Calibration& c = s.calibration;
    switch (d.format) {
        case 1:
        case 3:
            return Format("%.1f", r * kVoltsPerCount / (static_cast<double>(c.BATT_RATIO) * 32768.0));
        case 2: return Format("%.1f", r * static_cast<double>(c.EBS_REV));
        case 4: return Format("%.1f", r * static_cast<double>(c.AVG_REV));
        case 5: return Format("%.1f", r * kTenth);
        case 6:
            return Format("%.1f", r * 16500.0 /
                                      (static_cast<double>(c.RdsON_GAIN) * static_cast<double>(c.RdsON) * 32767.0));
        case 7: return r == 1 ? "60°" : "120°";
        case 8: {
            double deg = static_cast<int16_t>(r) * 0.0054931640625;
            deg = deg > 0 ? deg + 0.5 : deg - 0.5;
            return Format("%d", static_cast<int>(std::trunc(deg)));
        }
        case 9: return Format("%.1f", r * k005);
        case 10: return Format("%.1f", r * k0005);
        case 11: return Format("%.1f", r * kThrottleVolts);
        case 12: return Format("%g", r * kMilli);
        case 13: return StripTrailingZeros(Format("%f", r * kMicro));
        case 14: return Format("%g", r * kTenth);
        case 15: return LockStateText((r >> 15) & 1);
        case 16: return LockStateText((r >> 14) & 1);
        case 17: return MosfetTypeText((r >> 8) & 0x1F);
        case 18: return Format("%d", (r & 0x7F) * 6);
        case 19: return CustomerText(r >> 10);
        case 20: return Format("%d", r & 0x3FF);
        case 21: {
            int n = s.block.ReadWord(d.word + 1);
            return Format("%d", r * 100 + n / 100);
        }
        case 22: return LockStateText((r >> 13) & 1);
        case 23: return MosfetPackageText((r >> 7) & 1);
        default: return Format("%d", r);
    }
}

void StoreText(ToolState& s, const ParamDescriptor& d, const std::string& text) {
    // An unchanged cell never drifts through a parse-and-display cycle.
    if (text == FormatValue(s, d)) return;
    const Calibration& c = s.calibration;
    const double v = LeadingNumber(text);
    double raw = 0;
    switch (d.format) {
        case 1:
        case 3: raw = v * static_cast<double>(c.BATT_RATIO) * kCountsPerVolt; break;
        case 2:
            if (c.EBS_REV == 0) return;  // no factor to divide by: keep the word
            raw = v / static_cast<double>(c.EBS_REV);
            break;
        case 4:
            if (c.AVG_REV == 0) return;
            raw = v / static_cast<double>(c.AVG_REV);
            break;
        case 5: raw = v * 10; break;
        case 6:
            raw = v * static_cast<double>(c.RdsON_GAIN) * static_cast<double>(c.RdsON) * kAmpsScale;
            break;
        case 7: WriteWord(s, d, text == "60°" ? 1 : 0); return;
        case 8: {
            // deg × 65536 / 360 = deg × 8192 / 45, split so that no product can overflow;
            // only the low 16 bits are kept, so the quotient part wraps harmlessly as unsigned.
            const long deg = LeadingInteger(text);
            const unsigned long whole = static_cast<unsigned long>(deg / 45) * 8192u;
            const unsigned long part = static_cast<unsigned long>((deg % 45) * 8192 / 45);
            WriteWord(s, d, static_cast<uint16_t>((whole + part) & 0xFFFF));
            return;
        }
        case 9: raw = v * 200; break;
        case 10: raw = v * 2000; break;
        case 11: raw = v * kThrottleCounts; break;
        default: WriteWord(s, d, Low16(LeadingInteger(text))); return;
    }
    WriteWord(s, d, Low16(raw));
}

}  // namespace dt

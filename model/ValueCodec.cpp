#include "ValueCodec.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "CLocale.h"
#include "ControllerImage.h"
#include "OptionLists.h"

namespace dt {

namespace {
// Single-precision constants, widened exactly as a float would be.
const double kTenth = 0.1f;
const double kMilli = 0.001f;
const double kMicro = 0.000001f;
const double k005 = 0.005f;
const double k0005 = 0.0005f;

const double kVoltsPerCount = 3.3;
const double kCountsPerVolt = 9929.69696969697;  // 32768 / 3.3
const double kAmpsScale = 1.985939393939394;     // 32768 / 16500
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

uint16_t Low16(long long value) { return static_cast<uint16_t>(static_cast<unsigned long long>(value) & 0xFFFF); }

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

long long LeadingInteger(const std::string& text) {
    // Decimal only, as strtol with base 10 reads it; 64 bits on every system (Windows' long has 32).
    return std::strtoll(text.c_str(), nullptr, 10);
}

double LeadingNumber(const std::string& text) {
    // A plain decimal number: [sign] digits [. digits] [exponent]; no hex, no inf or nan.
    size_t i = text.size() - TrimLeft(text).size();
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

uint16_t ReadWord(const ControllerImage& s, const ParamDescriptor& d) { return s.block.ReadWord(d.word); }

void WriteWord(ControllerImage& s, const ParamDescriptor& d, uint16_t value) { s.block.WriteWord(d.word, value); }

int ReadBit(const ControllerImage& s, const ParamDescriptor& d) {
    if (d.bit < 0 || d.bit > 15) return 0;
    return (ReadWord(s, d) >> d.bit) & 1;
}

void WriteBit(ControllerImage& s, const ParamDescriptor& d, int flag) {
    if (d.bit < 0 || d.bit > 15) return;
    uint16_t w = ReadWord(s, d);
    if (flag) w = static_cast<uint16_t>(w | (1u << d.bit));
    else w = static_cast<uint16_t>(w & ~(1u << d.bit));
    WriteWord(s, d, w);
}

namespace {
// Both directions of one format. Show gets the raw word; Parse gets the typed text and
// returns false to keep the word (a calibration factor of zero leaves nothing to divide by).
struct FormatCodec {
    ValueFormat id;
    std::string (*show)(const ControllerImage& s, const ParamDescriptor& d, uint16_t raw);
    bool (*parse)(const ControllerImage& s, const std::string& text, uint16_t& word);
};

double F(float factor) { return static_cast<double>(factor); }
std::string OneDecimal(double v) { return Format("%.1f", v); }
std::string Decimal(int v) { return Format("%d", v); }

bool ParseInteger(const ControllerImage&, const std::string& t, uint16_t& w) {
    w = Low16(LeadingInteger(t));
    return true;
}
// A number scaled to a raw word, cut toward zero.
template <double (*Scale)(const Calibration&)>
bool ParseScaled(const ControllerImage& s, const std::string& t, uint16_t& w) {
    w = Low16(LeadingNumber(t) * Scale(s.calibration));
    return true;
}
// A number divided by a calibration factor; a zero factor keeps the word.
template <float Calibration::*Factor>
bool ParseDivided(const ControllerImage& s, const std::string& t, uint16_t& w) {
    const double factor = F(s.calibration.*Factor);
    if (factor == 0) return false;
    w = Low16(LeadingNumber(t) / factor);
    return true;
}
double BatteryCounts(const Calibration& c) { return F(c.BATT_RATIO) * kCountsPerVolt; }
double PhaseCounts(const Calibration& c) { return F(c.RdsON_GAIN) * F(c.RdsON) * kAmpsScale; }
double Ten(const Calibration&) { return 10; }
double TwoHundred(const Calibration&) { return 200; }
double TwoThousand(const Calibration&) { return 2000; }
double ThrottleCounts(const Calibration&) { return kThrottleCounts; }

std::string ShowDecimal(const ControllerImage&, const ParamDescriptor&, uint16_t r) { return Decimal(r); }
std::string ShowBatteryVolts(const ControllerImage& s, const ParamDescriptor&, uint16_t r) {
    return OneDecimal(r * kVoltsPerCount / (F(s.calibration.BATT_RATIO) * 32768.0));
}
std::string ShowPhaseAmps(const ControllerImage& s, const ParamDescriptor&, uint16_t r) {
    return OneDecimal(r * 16500.0 / (F(s.calibration.RdsON_GAIN) * F(s.calibration.RdsON) * 32767.0));
}
std::string ShowPhaseOffset(const ControllerImage&, const ParamDescriptor&, uint16_t r) {
    double deg = static_cast<int16_t>(r) * 0.0054931640625;
    deg = deg > 0 ? deg + 0.5 : deg - 0.5;
    return Decimal(static_cast<int>(std::trunc(deg)));
}
bool ParseHallAngle(const ControllerImage&, const std::string& t, uint16_t& w) {
    w = t == "60°" ? 1 : 0;
    return true;
}
bool ParsePhaseOffset(const ControllerImage&, const std::string& t, uint16_t& w) {
    // deg × 65536 / 360 = deg × 8192 / 45, split so that no product can overflow;
    // only the low 16 bits are kept, so the quotient part wraps harmlessly as unsigned.
    const long long deg = LeadingInteger(t);
    const unsigned long long whole = static_cast<unsigned long long>(deg / 45) * 8192u;
    const unsigned long long part = static_cast<unsigned long long>((deg % 45) * 8192 / 45);
    w = static_cast<uint16_t>((whole + part) & 0xFFFF);
    return true;
}
std::string ShowDate(const ControllerImage& s, const ParamDescriptor& d, uint16_t r) {
    return Decimal(r * 100 + s.block.ReadWord(d.word + 1) / 100);
}

#define DT_SHOW(expr)                                                             \
    [](const ControllerImage& s, const ParamDescriptor& d, uint16_t r) -> std::string { \
        (void)s;                                                                  \
        (void)d;                                                                  \
        (void)r;                                                                  \
        return expr;                                                              \
    }

// clang-format off
constexpr FormatCodec kFormatCodecs[] = {
    {FMT_DECIMAL,           ShowDecimal,      ParseInteger},
    {FMT_BATTERY_VOLTS,     ShowBatteryVolts, ParseScaled<BatteryCounts>},
    {FMT_EBS_VOLTS,         DT_SHOW(OneDecimal(r * F(s.calibration.EBS_REV))), ParseDivided<&Calibration::EBS_REV>},
    {FMT_BATTERY_VOLTS_ALT, ShowBatteryVolts, ParseScaled<BatteryCounts>},
    {FMT_AVERAGE_AMPS,      DT_SHOW(OneDecimal(r * F(s.calibration.AVG_REV))), ParseDivided<&Calibration::AVG_REV>},
    {FMT_TENTHS,            DT_SHOW(OneDecimal(r * kTenth)),              ParseScaled<Ten>},
    {FMT_PHASE_AMPS,        ShowPhaseAmps,    ParseScaled<PhaseCounts>},
    {FMT_HALL_ANGLE,        DT_SHOW(r == 1 ? "60°" : "120°"),             ParseHallAngle},
    {FMT_PHASE_OFFSET,      ShowPhaseOffset,  ParsePhaseOffset},
    {FMT_SECONDS_200,       DT_SHOW(OneDecimal(r * k005)),                ParseScaled<TwoHundred>},
    {FMT_SECONDS_2000,      DT_SHOW(OneDecimal(r * k0005)),               ParseScaled<TwoThousand>},
    {FMT_THROTTLE_VOLTS,    DT_SHOW(OneDecimal(r * kThrottleVolts)),      ParseScaled<ThrottleCounts>},
    {FMT_MILLI,             DT_SHOW(Format("%g", r * kMilli)),            ParseInteger},
    {FMT_MICRO,             DT_SHOW(StripTrailingZeros(Format("%f", r * kMicro))), ParseInteger},
    {FMT_TENTHS_SHORT,      DT_SHOW(Format("%g", r * kTenth)),            ParseInteger},
    {FMT_CURRENT_LOCK,      DT_SHOW(LockStateText((r >> 15) & 1)),        ParseInteger},
    {FMT_VOLTAGE_LOCK,      DT_SHOW(LockStateText((r >> 14) & 1)),        ParseInteger},
    {FMT_MOSFET_TYPE,       DT_SHOW(MosfetTypeText((r >> 8) & 0x1F)),     ParseInteger},
    {FMT_MOSFET_COUNT,      DT_SHOW(Decimal((r & 0x7F) * 6)),             ParseInteger},
    {FMT_CUSTOMER,          DT_SHOW(CustomerText(r >> 10)),               ParseInteger},
    {FMT_SOFTWARE_VERSION,  DT_SHOW(Decimal(r & 0x3FF)),                  ParseInteger},
    {FMT_DATE,              ShowDate,         ParseInteger},
    {FMT_FLAG_0X20,         DT_SHOW(LockStateText((r >> 13) & 1)),        ParseInteger},
    {FMT_MOSFET_PACKAGE,    DT_SHOW(MosfetPackageText((r >> 7) & 1)),     ParseInteger},
};
// clang-format on
#undef DT_SHOW

constexpr bool CodecsInIdOrder() {
    int i = 0;
    for (const FormatCodec& c : kFormatCodecs)
        if (c.id != i++) return false;
    return i == FMT_COUNT;
}
static_assert(CodecsInIdOrder(), "one codec per format, in id order");

const FormatCodec& CodecOf(int format) {
    return format > 0 && format < FMT_COUNT ? kFormatCodecs[format] : kFormatCodecs[FMT_DECIMAL];
}
}  // namespace

// clang-format off
constexpr const char* kFormatNames[] = {
    "decimal", "batteryVolts", "ebsVolts", "batteryVoltsAlt", "averageAmps", "tenths", "phaseAmps",
    "hallAngle", "phaseOffset", "seconds200", "seconds2000", "throttleVolts", "milli", "micro",
    "tenthsShort", "currentLock", "voltageLock", "mosfetType", "mosfetCount", "customer",
    "softwareVersion", "date", "flag0x20", "mosfetPackage",
};
// clang-format on
static_assert(sizeof kFormatNames / sizeof kFormatNames[0] == FMT_COUNT, "one name per format");

const char* FormatName(int format) {
    return format > 0 && format < FMT_COUNT ? kFormatNames[format] : kFormatNames[FMT_DECIMAL];
}

std::string FormatValue(const ControllerImage& s, const ParamDescriptor& d) {
    if (!s.dataValid) return std::string();
    return CodecOf(d.format).show(s, d, ReadWord(s, d));
}

void StoreText(ControllerImage& s, const ParamDescriptor& d, const std::string& text) {
    // An unchanged cell never drifts through a parse-and-display cycle.
    if (text == FormatValue(s, d)) return;
    uint16_t word = 0;
    if (CodecOf(d.format).parse(s, text, word)) WriteWord(s, d, word);
}

bool ShowsNumber(int format) {
    switch (format) {
        case FMT_CURRENT_LOCK:
        case FMT_VOLTAGE_LOCK:
        case FMT_MOSFET_TYPE:
        case FMT_CUSTOMER:
        case FMT_DATE:
        case FMT_FLAG_0X20:
        case FMT_MOSFET_PACKAGE:
            return false;
        default:
            return true;
    }
}

}  // namespace dt

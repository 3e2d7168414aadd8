#pragma once
// Between raw block words and the texts a technician sees.
#include <cstdint>
#include <string>

namespace dt {

struct ControllerImage;
struct ParamDescriptor;

// How a row's word is shown and parsed (the `format` field of a table row). Every id not
// listed shows and parses as a plain decimal.
enum ValueFormat : int16_t {
    FMT_DECIMAL = 0,
    FMT_BATTERY_VOLTS = 1,
    FMT_EBS_VOLTS = 2,
    FMT_BATTERY_VOLTS_ALT = 3,  // as FMT_BATTERY_VOLTS
    FMT_AVERAGE_AMPS = 4,
    FMT_TENTHS = 5,
    FMT_PHASE_AMPS = 6,
    FMT_HALL_ANGLE = 7,
    FMT_PHASE_OFFSET = 8,
    FMT_SECONDS_200 = 9,    // counts of 5 ms
    FMT_SECONDS_2000 = 10,  // counts of 0.5 ms
    FMT_THROTTLE_VOLTS = 11,
    FMT_MILLI = 12,
    FMT_MICRO = 13,
    FMT_TENTHS_SHORT = 14,
    FMT_CURRENT_LOCK = 15,
    FMT_VOLTAGE_LOCK = 16,
    FMT_MOSFET_TYPE = 17,
    FMT_MOSFET_COUNT = 18,
    FMT_CUSTOMER = 19,
    FMT_SOFTWARE_VERSION = 20,
    FMT_DATE = 21,
    FMT_FLAG_0X20 = 22,
    FMT_MOSFET_PACKAGE = 23,
    FMT_COUNT
};

// A format's name for machine-readable output ("batteryVolts"); unknown ids are "decimal".
const char* FormatName(int format);
// False for formats that show a name or a date rather than a number ("Locked", "IRF3205").
bool ShowsNumber(int format);

uint16_t ReadWord(const ControllerImage& s, const ParamDescriptor& d);
void WriteWord(ControllerImage& s, const ParamDescriptor& d, uint16_t value);
int ReadBit(const ControllerImage& s, const ParamDescriptor& d);
void WriteBit(ControllerImage& s, const ParamDescriptor& d, int flag);

// Text of a value cell ("" while dataValid is false).
std::string FormatValue(const ControllerImage& s, const ParamDescriptor& d);
// Parses text by the row's format and writes the word, unless the text equals the shown text.
void StoreText(ControllerImage& s, const ParamDescriptor& d, const std::string& text);

// Leading decimal integer as strtol reads it (white space, sign, digits) into 64 bits; 0 when
// none.
long long LeadingInteger(const std::string& text);
// Leading decimal number as atof reads it; 0 when none.
double LeadingNumber(const std::string& text);
// printf-style formatting helper.
std::string Format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
// Leading white space removed (spaces, tabs, line breaks).
std::string TrimLeft(const std::string& text);

}  // namespace dt

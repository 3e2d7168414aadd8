#pragma once
// Between raw block words and the texts a technician sees.
#include <cstdint>
#include <string>

namespace dt {

struct ToolState;
struct ParamDescriptor;

uint16_t ReadWord(const ToolState& s, const ParamDescriptor& d);
void WriteWord(ToolState& s, const ParamDescriptor& d, uint16_t value);
int ReadBit(const ToolState& s, const ParamDescriptor& d);
void WriteBit(ToolState& s, const ParamDescriptor& d, int flag);

// Text of a value cell ("" while dataValid is false).
std::string FormatValue(const ToolState& s, const ParamDescriptor& d);
// Parses text by the row's format and writes the word, unless the text equals the shown text.
void StoreText(ToolState& s, const ParamDescriptor& d, const std::string& text);

// Leading decimal integer as strtol reads it (white space, sign, digits); 0 when none.
long LeadingInteger(const std::string& text);
// Leading decimal number as atof reads it; 0 when none.
double LeadingNumber(const std::string& text);
// printf-style formatting helper.
std::string Format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
// Leading white space removed (spaces, tabs, line breaks).
std::string TrimLeft(const std::string& text);

}  // namespace dt

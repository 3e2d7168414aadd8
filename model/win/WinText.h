#pragma once
// UTF-8 (the tool's own text) to and from the UTF-16 of the Win32 calls, and the system's
// words for an error code.
#include <string>

namespace dt::win {

std::wstring Wide(const std::string& utf8);
std::string Utf8(const std::wstring& wide);
// "Access is denied", without the closing full stop and line end.
std::string ErrorText(unsigned long code);

}  // namespace dt::win

#pragma once
// GBK text from distributors' files.
#include <string>

namespace dt {

// GBK bytes to UTF-8; undecodable bytes become U+FFFD.
std::string GbkToUtf8(const std::string& gbk);
// UTF-8 to GBK bytes (characters GBK lacks become '?').
std::string Utf8ToGbk(const std::string& utf8);
// Longest prefix of at most maxBytes GBK bytes that does not split a character.
std::string CutGbk(const std::string& gbk, size_t maxBytes);
// Slot text from a GBK override: cut to slotSize-1 bytes on a character boundary, then UTF-8.
std::string SlotText(const std::string& gbk, size_t slotSize);

}  // namespace dt

#include "Gbk.h"

namespace dt {

std::string CutGbk(const std::string& gbk, size_t maxBytes) {
    size_t i = 0;
    while (i < gbk.size()) {
        unsigned char c = static_cast<unsigned char>(gbk[i]);
        size_t len = (c >= 0x81 && c <= 0xFE && i + 1 < gbk.size()) ? 2 : 1;
        if (i + len > maxBytes) break;
        i += len;
    }
    return gbk.substr(0, i);
}

std::string SlotText(const std::string& gbk, size_t slotSize) {
    // The slot is a C string: a NUL ends the text.
    std::string text = gbk.substr(0, gbk.find('\0'));
    return GbkToUtf8(CutGbk(text, slotSize - 1));
}

}  // namespace dt

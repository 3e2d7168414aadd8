// GBK conversions through Windows' code page 936, one character at a time so that bad bytes are
// replaced as iconv replaces them on Linux: one replacement each, the conversion going on after.
#include <windows.h>

#include "Gbk.h"

namespace dt {

namespace {

constexpr UINT kGbk = 936;
const char* const kReplacement = "\xEF\xBF\xBD";  // U+FFFD

void AppendUtf8(std::string& out, const wchar_t* wide, int n) {
    char buffer[16];
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, wide, n, buffer, sizeof buffer, nullptr, nullptr);
    out.append(buffer, static_cast<size_t>(bytes));
}

// Bytes of the UTF-8 sequence led by c (1 for a byte that leads none).
int Utf8Length(unsigned char c) {
    if (c >= 0xF0 && c <= 0xF4) return 4;
    if (c >= 0xE0) return c <= 0xEF ? 3 : 1;
    if (c >= 0xC2) return 2;
    return 1;
}

}  // namespace

std::string GbkToUtf8(const std::string& gbk) {
    std::string out;
    out.reserve(gbk.size() * 2);
    for (size_t i = 0; i < gbk.size();) {
        const unsigned char c = static_cast<unsigned char>(gbk[i]);
        if (c < 0x80) {
            out += static_cast<char>(c);
            ++i;
            continue;
        }
        wchar_t wide[2];
        const int n = c >= 0x81 && c <= 0xFE && i + 1 < gbk.size()
                          ? MultiByteToWideChar(kGbk, MB_ERR_INVALID_CHARS, &gbk[i], 2, wide, 2)
                          : 0;
        if (n > 0) {
            AppendUtf8(out, wide, n);
            i += 2;
        } else {
            out += kReplacement;
            ++i;
        }
    }
    return out;
}

std::string Utf8ToGbk(const std::string& utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x80) {
            out += static_cast<char>(c);
            ++i;
            continue;
        }
        const int length = Utf8Length(c);
        wchar_t wide[2];
        const int n = length > 1 && i + length <= utf8.size()
                          ? MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, &utf8[i], length, wide, 2)
                          : 0;
        char bytes[8];
        BOOL lossy = FALSE;
        const int m = n > 0 ? WideCharToMultiByte(kGbk, WC_NO_BEST_FIT_CHARS, wide, n, bytes, sizeof bytes, nullptr, &lossy)
                            : 0;
        if (m > 0 && !lossy) {
            out.append(bytes, static_cast<size_t>(m));
            i += static_cast<size_t>(length);
        } else {
            // One '?' for the character, its continuation bytes included.
            out += '?';
            ++i;
            while (i < utf8.size() && (static_cast<unsigned char>(utf8[i]) & 0xC0) == 0x80) ++i;
        }
    }
    return out;
}

}  // namespace dt

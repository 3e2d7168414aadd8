// GBK conversions through iconv (Linux).
#include <iconv.h>

#include <cerrno>

#include "Gbk.h"

namespace dt {

namespace {
std::string Convert(const std::string& in, const char* from, const char* to, const std::string& replacement) {
    const bool fromUtf8 = std::string(from) == "UTF-8";
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return in;
    std::string out;
    out.reserve(in.size() * 2);
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    char buf[1024];
    while (srcLeft > 0) {
        char* dst = buf;
        size_t dstLeft = sizeof buf;
        size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        out.append(buf, dst - buf);
        if (r == static_cast<size_t>(-1)) {
            if (errno == E2BIG) continue;
            // Invalid or unconvertible sequence: one replacement, then go on after it.
            out += replacement;
            ++src;
            --srcLeft;
            if (fromUtf8) {
                // The rest of this character's UTF-8 sequence belongs to the same replacement.
                while (srcLeft > 0 && (static_cast<unsigned char>(*src) & 0xC0) == 0x80) ++src, --srcLeft;
            }
        }
    }
    iconv_close(cd);
    return out;
}
}  // namespace

std::string GbkToUtf8(const std::string& gbk) { return Convert(gbk, "GBK", "UTF-8", "\xEF\xBF\xBD"); }

std::string Utf8ToGbk(const std::string& utf8) { return Convert(utf8, "UTF-8", "GBK", "?"); }

}  // namespace dt

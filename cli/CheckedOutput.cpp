#include "CheckedOutput.h"

#include <cerrno>
#include <cstring>

namespace dt::cli {

bool CheckedOutputBuf::Failed() {
    if (failure_.empty()) failure_ = errno != 0 ? std::strerror(errno) : "write error";
    return true;
}

CheckedOutputBuf::int_type CheckedOutputBuf::overflow(int_type c) {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    const char byte = traits_type::to_char_type(c);
    return xsputn(&byte, 1) == 1 ? c : traits_type::eof();
}

std::streamsize CheckedOutputBuf::xsputn(const char* s, std::streamsize n) {
    if (!failure_.empty()) return 0;
    errno = 0;
    const size_t written = std::fwrite(s, 1, static_cast<size_t>(n), file_);
    if (written != static_cast<size_t>(n)) Failed();
    return static_cast<std::streamsize>(written);
}

int CheckedOutputBuf::sync() {
    if (!failure_.empty()) return -1;
    errno = 0;
    // A buffer that filled up may have failed before: the C stream remembers it.
    if (std::fflush(file_) != 0 || std::ferror(file_)) return Failed() ? -1 : 0;
    return 0;
}

std::string OutputFailure(std::ostream& out) {
    out.flush();
    auto* checked = dynamic_cast<CheckedOutputBuf*>(out.rdbuf());
    if (checked && !checked->Failure().empty()) return checked->Failure();
    return out ? std::string() : "write error";
}

}  // namespace dt::cli

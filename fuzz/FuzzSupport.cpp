#include "FuzzSupport.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "ToolState.h"

namespace dt::fuzz {

void Fail(const std::string& what) {
    std::fprintf(stderr, "fuzz check failed: %s\n", what.c_str());
    std::abort();
}

Bytes SampleFile(const char* name) {
    const std::string path = std::string(DT_SOURCE_DIR) + "/samples/" + name;
    std::ifstream in(path, std::ios::binary);
    if (!in) Fail("missing sample " + path);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void ResetRunState(ToolState& s, const ToolState& from) {
    // The catalogue is shared, not copied.
    s = from;
}

InputRandom::InputRandom(const uint8_t* data, size_t size) : state_(1469598103934665603ull) {
    // FNV-1a over the input.
    for (size_t i = 0; i < size; ++i) state_ = (state_ ^ data[i]) * 1099511628211ull;
}

uint32_t InputRandom::Next() {
    // xorshift64*
    state_ ^= state_ >> 12;
    state_ ^= state_ << 25;
    state_ ^= state_ >> 27;
    return static_cast<uint32_t>((state_ * 2685821657736338717ull) >> 32);
}

}  // namespace dt::fuzz

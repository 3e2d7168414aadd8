#pragma once
// Shared pieces of the fuzzing harnesses: checks that stop the run (so the input is kept as a
// crash), sample files read once at start-up, and a stream that discards what it is given.
#include <cstddef>
#include <cstdint>
#include <ostream>
#include <streambuf>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace dt {
struct ToolState;
}

namespace dt::fuzz {

using Bytes = std::vector<unsigned char>;

// Prints what went wrong and aborts.
[[noreturn]] void Fail(const std::string& what);
inline void Require(bool ok, const char* what) {
    if (!ok) Fail(what);
}

// A file of samples/, read once; aborts when it is missing (a broken checkout, not an input).
Bytes SampleFile(const char* name);

// Puts back what loading a set or a controller's replies can change, so every input starts
// from the same state. The tables are copied only when the function variant changed: a whole
// copy costs more than the rest of most runs.
void ResetRunState(ToolState& s, const ToolState& from);

// Formats everything (so the printing code runs) and keeps nothing.
class NullStream : public std::ostream {
public:
    NullStream() : std::ostream(&buffer_) {}

private:
    struct Buffer : std::streambuf {
        char room[256];
        Buffer() { setp(room, room + sizeof room); }
        int overflow(int c) override {
            setp(room, room + sizeof room);
            return traits_type::not_eof(c);
        }
    } buffer_;
};

// Deterministic pseudo-random numbers seeded from the input itself, so a crash replays.
class InputRandom {
public:
    InputRandom(const uint8_t* data, size_t size);
    uint32_t Next();
    // 1..limit
    size_t Below(size_t limit) { return 1 + Next() % limit; }

private:
    uint64_t state_;
};

}  // namespace dt::fuzz

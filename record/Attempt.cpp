#include "Attempt.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <random>

namespace record {

namespace {

struct OutcomeName {
    Outcome outcome;
    const char* word;
};

constexpr OutcomeName kOutcomeNames[] = {
    {Outcome::Started, "started"},         {Outcome::Pass, "pass"}, {Outcome::Fail, "fail"}, {Outcome::Error, "error"},
    {Outcome::Interrupted, "interrupted"},
};

// Days since 1970-01-01 to a proleptic Gregorian date (H. Hinnant's algorithm): the standard
// library's gmtime is not thread-safe, and its safe forms differ per platform.
void CivilFromDays(long long z, int& y, int& m, int& d) {
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long doe = z - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(yoe + era * 400 + (m <= 2 ? 1 : 0));
}

}  // namespace

const char* OutcomeWord(Outcome o) {
    for (const OutcomeName& n : kOutcomeNames)
        if (n.outcome == o) return n.word;
    return "error";
}

bool OutcomeFromWord(const std::string& word, Outcome& out) {
    for (const OutcomeName& n : kOutcomeNames)
        if (word == n.word) {
            out = n.outcome;
            return true;
        }
    return false;
}

std::string NewAttemptId() {
    // The system's entropy source (the kernel's on Linux, the system's generator on Windows), never a
    // seeded pseudo-random sequence: two stations started at the same instant still differ.
    static std::random_device source;
    static std::mutex guard;
    static const char kHex[] = "0123456789abcdef";
    std::lock_guard<std::mutex> lock(guard);
    std::string id;
    for (int word = 0; word < 4; ++word) {
        const std::uint32_t bits = source();
        for (int shift = 28; shift >= 0; shift -= 4) id += kHex[(bits >> shift) & 15];
    }
    return id;
}

std::string UtcNow() {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const long long total = duration_cast<milliseconds>(now.time_since_epoch()).count();
    const long long secs = total / 1000, ms = total % 1000;
    int y = 0, m = 0, d = 0;
    CivilFromDays(secs / 86400, y, m, d);
    const long long daySec = secs % 86400;
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02lld:%02lld:%02lld.%03lldZ", y, m, d, daySec / 3600,
                  daySec / 60 % 60, daySec % 60, ms);
    return text;
}

}  // namespace record

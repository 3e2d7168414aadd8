#include "ReplyWriter.h"

#include <algorithm>
#include <cerrno>
#include <poll.h>
#include <thread>
#include <unistd.h>

#include "Frame.h"
#include "StopSignal.h"

namespace sim {

namespace {

constexpr auto kSplitPause = std::chrono::milliseconds(3);
constexpr auto kSleepSlice = std::chrono::milliseconds(20);

}  // namespace

bool SleepUntil(Clock::time_point t) {
    while (!StopRequested()) {
        auto now = Clock::now();
        if (now >= t) return true;
        std::this_thread::sleep_for(std::min<Clock::duration>(t - now, kSleepSlice));
    }
    return false;
}

ReplyWriter::ReplyWriter(int fd, const WireOptions& options)
    : fd_(fd), options_(options), random_(0x5EED) {}  // fixed seed: the same noise every run

Clock::duration ReplyWriter::ByteTime() const {
    long long baud = options_.baud > 0 ? options_.baud : 9600;
    return std::chrono::duration_cast<Clock::duration>(std::chrono::nanoseconds(10'000'000'000LL / baud));
}

bool ReplyWriter::AwaitRequest(int bytes, Clock::time_point arrival) {
    if (!options_.pace) return true;
    inFreeAt_ = std::max(arrival, inFreeAt_) + bytes * ByteTime();
    return SleepUntil(inFreeAt_);
}

bool ReplyWriter::Send(const std::vector<uint8_t>& frame) {
    if (options_.delayMs > 0 && !SleepUntil(Clock::now() + std::chrono::milliseconds(options_.delayMs)))
        return false;
    if (options_.garbage) {
        std::vector<uint8_t> noise = Noise();
        if (!WritePiece(noise.data(), noise.size())) return false;
    }
    if (!options_.split) return WritePiece(frame.data(), frame.size());

    size_t from = 0;
    std::vector<size_t> cuts = SplitPoints(frame.size());
    cuts.push_back(frame.size());
    for (size_t cut : cuts) {
        if (!WritePiece(frame.data() + from, cut - from)) return false;
        from = cut;
        if (cut < frame.size() && !SleepUntil(Clock::now() + kSplitPause)) return false;
    }
    return true;
}

std::vector<size_t> ReplyWriter::SplitPoints(size_t size) {
    std::vector<size_t> cuts = {1, 3, 3 + (size - 4) / 2, size - 1};
    std::vector<size_t> result;
    for (size_t cut : cuts)
        if (cut > 0 && cut < size && (result.empty() || cut > result.back())) result.push_back(cut);
    return result;
}

uint8_t ReplyWriter::NoiseByte() {
    for (;;) {
        uint8_t byte = static_cast<uint8_t>(random_() & 0xFF);
        if (byte != kFrameStart) return byte;
    }
}

std::vector<uint8_t> ReplyWriter::Noise() {
    std::vector<uint8_t> noise;
    int before = 1 + static_cast<int>(random_() % 5);
    for (int i = 0; i < before; ++i) noise.push_back(NoiseByte());
    switch (random_() % 3) {
    case 0: {  // start byte with a length no frame may have
        noise.push_back(kFrameStart);
        uint8_t length;
        do length = static_cast<uint8_t>(kMaxPayload + 1 + random_() % (255 - kMaxPayload));
        while (length == kFrameStart);
        noise.push_back(length);
        break;
    }
    case 1: {  // a whole empty frame with a wrong checksum
        uint8_t code = NoiseByte();
        uint8_t header[3] = {kFrameStart, code, 0};
        uint8_t wrong = static_cast<uint8_t>(FrameChecksum(header, 3) + 1 + random_() % 200);
        if (wrong == kFrameStart) wrong = static_cast<uint8_t>(wrong + 1);
        if (wrong == FrameChecksum(header, 3)) wrong = static_cast<uint8_t>(wrong + 1);
        noise.insert(noise.end(), {kFrameStart, code, 0, wrong});
        break;
    }
    default:
        break;
    }
    int after = static_cast<int>(random_() % 4);
    for (int i = 0; i < after; ++i) noise.push_back(NoiseByte());
    return noise;
}

bool ReplyWriter::WritePiece(const uint8_t* bytes, size_t count) {
    if (!options_.pace) return WriteAll(bytes, count);
    // Each byte leaves once its ten bit times have passed, back to back from the start of the
    // piece, so a late wake-up does not push the later bytes back.
    Clock::time_point start = std::max(outFreeAt_, Clock::now());
    for (size_t i = 0; i < count; ++i) {
        outFreeAt_ = start + static_cast<int>(i + 1) * ByteTime();
        if (!SleepUntil(outFreeAt_) || !WriteAll(bytes + i, 1)) return false;
    }
    return true;
}

bool ReplyWriter::WriteAll(const uint8_t* bytes, size_t count) {
    while (count > 0) {
        ssize_t written = write(fd_, bytes, count);
        if (written > 0) {
            bytes += written;
            count -= static_cast<size_t>(written);
            continue;
        }
        if (written < 0 && errno == EINTR) {
            if (StopRequested()) return false;
            continue;
        }
        if (written < 0 && errno == EAGAIN) {
            // Nobody reads the terminal: wait for room, but stay stoppable.
            pollfd p{fd_, POLLOUT, 0};
            poll(&p, 1, 50);
            if (StopRequested()) return false;
            continue;
        }
        return false;
    }
    return true;
}

}  // namespace sim

#pragma once
// Puts replies on the wire the way a troublesome line or controller would: late, in pieces,
// between noise, or at the real byte rate of the baud rate.
#include <chrono>
#include <cstdint>
#include <random>
#include <vector>

namespace sim {

using Clock = std::chrono::steady_clock;

struct WireOptions {
    int delayMs = 0;       // wait before each reply
    bool garbage = false;  // noise before each reply
    bool split = false;    // each reply in several writes with short pauses
    bool pace = false;     // 10 bits per byte at the baud rate, in both directions
    int baud = 9600;
};

// Sleeps until t in short slices; false when a stop was requested meanwhile.
bool SleepUntil(Clock::time_point t);

class ReplyWriter {
public:
    ReplyWriter(int fd, const WireOptions& options);

    // Sends one reply frame; false when stopped or the terminal failed.
    bool Send(const std::vector<uint8_t>& frame);
    // With pacing, waits until a request of `bytes` bytes whose first byte arrived at `arrival`
    // would have crossed the wire; returns at once otherwise.
    bool AwaitRequest(int bytes, Clock::time_point arrival);

    // Noise that never holds a valid frame, even followed by one: no start byte except in
    // decoys that are complete and invalid on their own (length above 32, or a wrong checksum).
    std::vector<uint8_t> Noise();
    // Where a reply of `size` bytes is cut with --split: after the start byte, after the
    // header, in the middle of the payload and before the checksum.
    static std::vector<size_t> SplitPoints(size_t size);

    Clock::duration ByteTime() const;

private:
    bool WritePiece(const uint8_t* bytes, size_t count);
    bool WriteAll(const uint8_t* bytes, size_t count);
    uint8_t NoiseByte();

    int fd_;
    WireOptions options_;
    std::mt19937 random_;
    Clock::time_point outFreeAt_{};
    Clock::time_point inFreeAt_{};
};

}  // namespace sim

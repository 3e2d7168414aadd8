#pragma once
// The two parameter images the tool keeps: the 1024-byte block of a standard controller
// and the 32-byte block of an FOC controller.
#include <array>
#include <cstdint>

namespace dt {

class ParameterBlock {
public:
    static constexpr int kSize = 1024;
    static constexpr int kSectionSize = 256;
    static constexpr int kBlockSize = 32;

    std::array<uint8_t, kSize> bytes{};

    // Word index i: word i mod 100 of section i div 100, big-endian.
    // Negative indexes read 0; out-of-range indexes read 0.
    uint16_t ReadWord(int index) const;
    // Indexes below 100 (identity section) and negative ones are never written.
    void WriteWord(int index, uint16_t value);

    // Word w (0..127) of section s, big-endian, without any write guard.
    uint16_t SectionWord(int section, int w) const;
    void SetSectionWord(int section, int w, uint16_t value);

    // Byte offset of block code n (0x10 + n replies, 0x20 + n writes); -1 when unused.
    static int BlockOffset(int code);
    uint8_t* Block(int code) {
        int o = BlockOffset(code);
        return o < 0 ? nullptr : bytes.data() + o;
    }
    const uint8_t* Block(int code) const {
        int o = BlockOffset(code);
        return o < 0 ? nullptr : bytes.data() + o;
    }

    void Clear() { bytes.fill(0); }
};

class FocBlock {
public:
    static constexpr int kSize = 32;
    std::array<uint8_t, kSize> bytes{};

    uint8_t Byte(int offset) const { return offset >= 0 && offset < kSize ? bytes[offset] : 0; }
    void SetByte(int offset, uint8_t v) {
        if (offset >= 0 && offset < kSize) bytes[offset] = v;
    }
    // Little-endian 16-bit word at a byte offset.
    uint16_t Word(int offset) const;
    void SetWord(int offset, uint16_t v);
    void Clear() { bytes.fill(0); }
};

}  // namespace dt

#include "Blocks.h"

namespace dt {

namespace {
int WordOffset(int index) {
    if (index < 0 || index >= 400) return -1;
    return (index / 100) * ParameterBlock::kSectionSize + (index % 100) * 2;
}
}  // namespace

uint16_t ParameterBlock::ReadWord(int index) const {
    int o = WordOffset(index);
    if (o < 0) return 0;
    return static_cast<uint16_t>((bytes[o] << 8) | bytes[o + 1]);
}

void ParameterBlock::WriteWord(int index, uint16_t value) {
    if (index < 100) return;  // the identity section is never written
    int o = WordOffset(index);
    if (o < 0) return;
    bytes[o] = static_cast<uint8_t>(value >> 8);
    bytes[o + 1] = static_cast<uint8_t>(value & 0xFF);
}

uint16_t ParameterBlock::SectionWord(int section, int w) const {
    if (section < 0 || section > 3 || w < 0 || w >= 128) return 0;
    int o = section * kSectionSize + w * 2;
    return static_cast<uint16_t>((bytes[o] << 8) | bytes[o + 1]);
}

void ParameterBlock::SetSectionWord(int section, int w, uint16_t value) {
    if (section < 0 || section > 3 || w < 0 || w >= 128) return;
    int o = section * kSectionSize + w * 2;
    bytes[o] = static_cast<uint8_t>(value >> 8);
    bytes[o + 1] = static_cast<uint8_t>(value & 0xFF);
}

int ParameterBlock::BlockOffset(int code) {
    switch (code & 0x0F) {
    case 0: return 0;  // section 0 block 0
    case 1:
    case 2:
    case 3:
    case 4:  // section 3 blocks 0..3
        return 3 * kSectionSize + ((code & 0x0F) - 1) * kBlockSize;
    case 8:
    case 9:
    case 10:  // section 2 blocks 0..2
        return 2 * kSectionSize + ((code & 0x0F) - 8) * kBlockSize;
    case 11:
    case 12:  // section 1 blocks 0..1
        return 1 * kSectionSize + ((code & 0x0F) - 11) * kBlockSize;
    default: return -1;
    }
}

uint16_t FocBlock::Word(int offset) const {
    if (offset < 0 || offset + 1 >= kSize) return 0;
    return static_cast<uint16_t>(bytes[offset] | (bytes[offset + 1] << 8));
}

void FocBlock::SetWord(int offset, uint16_t v) {
    if (offset < 0 || offset + 1 >= kSize) return;
    bytes[offset] = static_cast<uint8_t>(v & 0xFF);
    bytes[offset + 1] = static_cast<uint8_t>(v >> 8);
}

}  // namespace dt

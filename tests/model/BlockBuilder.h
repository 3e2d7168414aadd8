#pragma once
// Builds tool states that look like a controller just read: identity and calibration
// words as a real 72 V controller reports them, and a full set of parameter words.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "GridPasses.h"
#include "ToolState.h"

namespace dt::test {

// Section-0 words. The defaults are a customer-1 controller, version 300, eight MOSFETs of
// type 1 with the voltage limit open, voltage class 100.
struct IdentityWords {
    uint16_t modelWord = 0x052C;  // customer 1, version 300
    uint8_t kindByte = 8;         // MOSFET count code
    uint8_t variantByte = 0x41;   // 0x40 voltage limit open, type 1
    uint16_t hardwareClass = 90;  // word 11 (low byte of word 0 when the ModelWord is 0)
    uint16_t voltageClass = 100;  // word 12
    uint16_t extraId = 0;         // word 6
    uint16_t rdsOn = 3;           // word 4: 0.003
    uint16_t rdsOnGain = 100;     // word 5
    uint16_t avgRev = 125;        // word 8: 0.125 A per count
    uint16_t battRatio = 33;      // word 9: 0.033
    uint16_t ebsRev = 100;        // word 10: 0.1 V per count
};

inline void WriteIdentity(ParameterBlock& b, const IdentityWords& id) {
    const uint16_t w0 = id.modelWord == 0 ? static_cast<uint16_t>(id.kindByte << 8 | (id.hardwareClass & 0xFF))
                                          : static_cast<uint16_t>(id.variantByte << 8 | id.kindByte);
    b.SetSectionWord(0, 0, w0);
    b.SetSectionWord(0, 1, 12);   // RS 0.012
    b.SetSectionWord(0, 2, 150);  // LS 0.00015
    b.SetSectionWord(0, 4, id.rdsOn);
    b.SetSectionWord(0, 5, id.rdsOnGain);
    b.SetSectionWord(0, 6, id.extraId);
    b.SetSectionWord(0, 8, id.avgRev);
    b.SetSectionWord(0, 9, id.battRatio);
    b.SetSectionWord(0, 10, id.ebsRev);
    b.SetSectionWord(0, 11, id.hardwareClass);
    b.SetSectionWord(0, 12, id.voltageClass);
    b.SetSectionWord(0, 15, id.modelWord);
}

// Parameter and function words of a 72 V controller. Voltages were turned into raw words
// with BATT_RATIO 0.033 (raw = volts × 0.033 × 32768 / 3.3, cut toward zero).
inline const std::vector<std::pair<int, uint16_t>>& Reference72VWords() {
    static const std::vector<std::pair<int, uint16_t>> words = {
        {200, 1},      {201, 0xE000}, {202, 4},      {203, 4000},   {204, 2014},  {205, 1231},
        {206, 29491},  // 90.0 V
        {207, 28180},  // 86.0 V
        {208, 16383},  // 50.0 V: the minimum working voltage of a 72 V pack
        {209, 20643},  // 63.0 V
        {210, 655},    // 2.0 V
        {213, 21626},  // 66.0 V
        {214, 0xC800},  // blockage, over-temperature and soft under-voltage protection on
        {215, 30},     {216, 100},    {218, 238},    {219, 2000},   {220, 208},   {221, 480},
        {228, 130},    {229, 110},    {230, 100},    {231, 10},
        {232, 58167},  {233, 54109},  {234, 6763},   {235, 10821},  {236, 48698}, {237, 14880},
        {241, 300},    {243, 500},
        {100, 0x8A10}, // EBS, cruise, cruise automatic and throttle mode bits
        {101, 860},    {102, 47},     {106, 300},    {107, 100},    {110, 27054}, {111, 50},
        {112, 600},    {113, 100},    {114, 80},     {115, 60},     {116, 70},    {117, 50},
        {122, 0},      {124, 1200},   {125, 10},     {126, 120},
    };
    return words;
}

// As the completion of an upload leaves the state: identity parse, variant, list 0, and the
// voltage class its values give.
inline void CompleteUpload(ToolState& s) {
    s.dataValid = ParseIdentity(s);
    SelectFunctionVariant(s);
    FollowValues(s);
}

inline ToolState ReferenceController(const IdentityWords& id = {}) {
    ToolState s;
    WriteIdentity(s.block, id);
    for (const auto& [index, value] : Reference72VWords()) s.block.WriteWord(index, value);
    CompleteUpload(s);
    return s;
}

// A fresh temporary folder, removed with its files when the object goes.
class TempDir {
public:
    TempDir() {
        char tmpl[] = "/tmp/dt-modeltest-XXXXXX";
        const char* made = ::mkdtemp(tmpl);
        path_ = made ? made : "";
    }
    ~TempDir() {
        std::error_code ignored;
        if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

inline void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace dt::test

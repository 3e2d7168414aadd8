// The virtual controller's sets: what each kind holds, answers and writes, and the switches that
// choose one.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "ControllerSet.h"
#include "LinkFrame.h"
#include "SimOptions.h"

namespace sim {
namespace {

TEST(ControllerSet, EachKindHoldsAnswersAndNamesItsOwnBlocks) {
    ControllerSet standard = StandardController(Variant::B);
    ControllerSet foc = FocController();
    EXPECT_EQ(standard.Describe(), "standard controller, ModelWord 0x052C (customer 1, version 300)");
    EXPECT_EQ(foc.Describe(), "FOC controller");
    EXPECT_TRUE(standard.Calibrated());
    EXPECT_FALSE(foc.Calibrated());

    EXPECT_EQ(standard.BlockName(dt::kBlockIdentity), "identity");
    EXPECT_EQ(standard.BlockName(1), "section 3 block 0");
    EXPECT_EQ(foc.BlockName(1), "FOC block");
    EXPECT_EQ(standard.BlockName(9), "section 2 block 1");
    EXPECT_EQ(standard.BlockName(12), "section 1 block 1");
    EXPECT_EQ(standard.BlockName(5), "unused block 5");
    EXPECT_EQ(standard.LastReadBlock(), dt::kBlockLast);
    EXPECT_EQ(foc.LastReadBlock(), dt::kBlockFoc);

    EXPECT_EQ(standard.ReadData(dt::kBlockIdentity), standard.block.data());
    EXPECT_EQ(standard.ReadData(9), standard.block.data() + 2 * 256 + 32);
    EXPECT_EQ(standard.ReadData(5), nullptr);
    EXPECT_EQ(foc.ReadData(dt::kBlockIdentity), foc.block.data());
    EXPECT_EQ(foc.ReadData(dt::kBlockFoc), foc.focBlock.data());
    EXPECT_EQ(foc.ReadData(9), nullptr);
    EXPECT_EQ(standard.WriteTarget(dt::kBlockIdentity), nullptr) << "the identity is never written";
    EXPECT_EQ(standard.WriteTarget(11), standard.block.data() + 256);
    EXPECT_EQ(foc.WriteTarget(dt::kBlockIdentity), nullptr);
    EXPECT_EQ(foc.WriteTarget(dt::kBlockFoc), foc.focBlock.data());

    EXPECT_EQ(foc.WrittenBytes(), std::vector<uint8_t>(foc.focBlock.begin(), foc.focBlock.end()));
    const std::vector<uint8_t> written = standard.WrittenBytes();
    ASSERT_EQ(written.size(), 5u * dt::kBlockBytes);
    EXPECT_TRUE(std::equal(written.begin(), written.begin() + 96, standard.block.begin() + 2 * 256));
    EXPECT_TRUE(std::equal(written.begin() + 96, written.end(), standard.block.begin() + 256));
}

TEST(ControllerSet, ASetIsWrittenOnlyToItsKindsFile) {
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / ("dt-sim-set-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const ControllerSet standard = StandardController(Variant::A), foc = FocController();
    std::string error;
    EXPECT_FALSE(WriteSetFile((dir / "a.ged").string(), standard, error));
    EXPECT_EQ(error, (dir / "a.ged").string() + ": a standard controller's set is written as a .foc file");
    EXPECT_FALSE(WriteSetFile((dir / "a.foc").string(), foc, error));
    EXPECT_EQ(error, (dir / "a.foc").string() + ": an FOC controller's set is written as a .ged file");

    ControllerSet loaded;
    ASSERT_TRUE(WriteSetFile((dir / "a.foc").string(), standard, error)) << error;
    EXPECT_EQ(std::filesystem::file_size(dir / "a.foc"), 1024u);
    ASSERT_TRUE(LoadSetFile((dir / "a.foc").string(), loaded, error)) << error;
    EXPECT_EQ(loaded.block, standard.block);
    ASSERT_TRUE(WriteSetFile((dir / "b.GED").string(), foc, error)) << error;
    EXPECT_EQ(std::filesystem::file_size(dir / "b.GED"), 32u);
    ASSERT_TRUE(LoadSetFile((dir / "b.GED").string(), loaded, error)) << error;
    EXPECT_EQ(loaded.kind, dt::ControllerKind::Foc);
    EXPECT_EQ(loaded.focBlock, foc.focBlock);
    std::filesystem::remove_all(dir);
}

TEST(SimOptions, TheFocSwitchChoosesTheKindAndRefusesAStandardControllersSwitches) {
    struct Case {
        std::vector<std::string> args;
        SimParse parse;
        dt::ControllerKind kind;
        std::string text;
    } cases[] = {
        {{}, SimParse::Run, dt::ControllerKind::Standard, ""},
        {{"--foc"}, SimParse::Run, dt::ControllerKind::Foc, ""},
        {{"--variant-a"}, SimParse::Run, dt::ControllerKind::Standard, ""},
        {{"--uncalibrated"}, SimParse::Run, dt::ControllerKind::Standard, ""},
        {{"--foc", "--variant-a"}, SimParse::Error, dt::ControllerKind::Foc,
         "--variant-a is a standard controller; it cannot be combined with --foc"},
        {{"--uncalibrated", "--foc"}, SimParse::Error, dt::ControllerKind::Foc,
         "--uncalibrated applies to a standard controller only"},
    };
    for (const Case& c : cases) {
        SimOptions options;
        std::string text;
        EXPECT_EQ(ParseSimOptions(c.args, options, text), c.parse) << c.args.size();
        EXPECT_EQ(options.kind, c.kind) << text;
        EXPECT_EQ(text, c.text);
    }
}

}  // namespace
}  // namespace sim

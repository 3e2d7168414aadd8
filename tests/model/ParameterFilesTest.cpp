// Parameter files: which files import, the identity match, and what a refused file leaves.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "BlockBuilder.h"
#include "ParameterFiles.h"

namespace dt {
namespace {

using test::IdentityWords;
using test::ReferenceController;
using Bytes = std::vector<unsigned char>;

Bytes FocFile(const IdentityWords& id = {}, size_t size = 1024) {
    ToolState source = ReferenceController(id);
    Bytes bytes = ExportBytes(source);
    bytes.resize(size, 0xAA);
    return bytes;
}

TEST(ParameterFiles, KindByExactExtension) {
    const std::pair<const char*, const ControllerProfile*> cases[] = {
        {"/home/t/params.foc", &StandardProfile()}, {"x.tar.foc", &StandardProfile()},    {"c.ged", &FocProfile()},
        {"params.FOC", nullptr},       {"params.Foc", nullptr}, {"noext", nullptr},
        {"dir.foc/file", nullptr},     {"params.foc.bak", nullptr}, {"dir.foc/", nullptr},
        {"/home/t/.ged", &FocProfile()},
    };
    for (const auto& [path, kind] : cases) EXPECT_EQ(ProfileOfFile(path), kind) << path;

    ToolState s;
    const auto before = s.block.bytes;
    ImportOutcome out = ImportBytes(s, nullptr, FocFile());
    EXPECT_FALSE(out.handled);
    EXPECT_TRUE(s.block.bytes == before);
}

// An adopted set is the state's controller as a read leaves it; a download writes sections 2
// and 1 of a standard set (five blocks) and the whole FOC block.
TEST(ParameterFiles, AnAdoptedSetIsReadAndWrittenByItsKind) {
    ToolState s;
    StandardProfile().Adopt(s, FocFile());
    EXPECT_TRUE(s.link.identityReceived);
    EXPECT_EQ(s.kind, ControllerKind::Standard);
    EXPECT_EQ(StandardProfile().WrittenBytes(s).size(), 160u);
    EXPECT_EQ(StandardProfile().WrittenBytes(s).back(), s.block.bytes[319]) << "section 1 block 1 ends it";
    s.block.bytes[319] = 0x77;
    StandardProfile().ClearWritten(s);
    EXPECT_EQ(StandardProfile().WrittenBytes(s), Bytes(160, 0)) << "a read back shows only what the controller holds";

    ToolState f;
    FocProfile().Adopt(f, Bytes(32, 0x5A));
    EXPECT_TRUE(f.link.identityReceived);
    EXPECT_EQ(f.kind, ControllerKind::Foc);
    EXPECT_EQ(FocProfile().WrittenBytes(f), Bytes(32, 0x5A));
}

TEST(ParameterFiles, ExportWritesTheBlockOfTheControllerKind) {
    ToolState s;
    EXPECT_EQ(ExportBytes(s), Bytes(1024, 0));  // nothing read yet
    s.kind = ControllerKind::Foc;
    s.foc.SetByte(2, 48);
    Bytes ged = ExportBytes(s);
    ASSERT_EQ(ged.size(), 32u);
    EXPECT_EQ(ged[2], 48);
}

TEST(ParameterFiles, ImportRightAfterStartAlwaysMatches) {
    ToolState s;
    Bytes file = FocFile({}, 2000);  // longer files are fine: only 1024 bytes count
    ImportOutcome out = ImportBytes(s, &StandardProfile(), file);
    EXPECT_TRUE(out.accepted);
    EXPECT_EQ(out.message, MSG_IMPORT_OK);
    EXPECT_EQ(out.kind, MessageKind::Info);
    EXPECT_TRUE(s.dataValid);
    EXPECT_TRUE(std::equal(s.block.bytes.begin(), s.block.bytes.end(), file.begin()));
    EXPECT_EQ(s.identity.kindByte, 8);
    EXPECT_EQ(s.variant, FunctionVariant::B);  // the variant is not reselected by an import
}

TEST(ParameterFiles, ShortFilesChangeNothing) {
    ToolState s = ReferenceController();
    const auto block = s.block.bytes;
    ImportOutcome out = ImportBytes(s, &StandardProfile(), FocFile({}, 1023));
    EXPECT_FALSE(out.accepted);
    EXPECT_EQ(out.message, MSG_IMPORT_LENGTH_ERROR);
    EXPECT_EQ(out.kind, MessageKind::Error);
    EXPECT_TRUE(s.block.bytes == block);

    s.foc.SetByte(0, 3);
    out = ImportBytes(s, &FocProfile(), Bytes(31, 0x55));
    EXPECT_EQ(out.message, MSG_IMPORT_LENGTH_ERROR);
    EXPECT_EQ(s.foc.Byte(0), 3);

    out = ImportBytes(s, &FocProfile(), Bytes(40, 0x55));
    EXPECT_TRUE(out.accepted);
    EXPECT_TRUE(out.rebuildTree);
    EXPECT_EQ(s.foc.Word(30), 0x5555);
    EXPECT_TRUE(s.block.bytes == block);  // section 0 is parsed again, unchanged
    EXPECT_TRUE(s.dataValid);
}

TEST(ParameterFiles, IdentityMatchComparesEveryIdentityValue) {
    const std::pair<const char*, std::function<void(IdentityWords&)>> changes[] = {
        {"hardware class", [](IdentityWords& w) { w.hardwareClass = 91; }},
        {"voltage class", [](IdentityWords& w) { w.voltageClass = 130; }},
        {"MOSFET count", [](IdentityWords& w) { w.kindByte = 4; }},
        {"flags", [](IdentityWords& w) { w.variantByte = 0x01; }},
        {"RdsON", [](IdentityWords& w) { w.rdsOn = 4; }},
        {"RdsON_GAIN", [](IdentityWords& w) { w.rdsOnGain = 101; }},
        {"AVG_REV", [](IdentityWords& w) { w.avgRev = 126; }},
        {"BATT_RATIO", [](IdentityWords& w) { w.battRatio = 34; }},
        {"EBS_REV", [](IdentityWords& w) { w.ebsRev = 99; }},
    };
    for (const auto& [what, change] : changes) {
        ToolState s = ReferenceController();
        const auto block = s.block.bytes;
        IdentityWords other;
        change(other);
        ImportOutcome out = ImportBytes(s, &StandardProfile(), FocFile(other));
        EXPECT_FALSE(out.accepted) << what;
        EXPECT_EQ(out.message, MSG_IMPORT_MISMATCH) << what;
        EXPECT_EQ(out.kind, MessageKind::Warning) << what;
        EXPECT_TRUE(s.block.bytes == block) << what;
    }

    // The file's ModelWord counts only through its function variant; words outside the identity not at all.
    ToolState s = ReferenceController();
    IdentityWords newer;
    newer.modelWord = 0x0539;
    Bytes file = FocFile(newer);
    file[3] = 99;  // word 1 (RS)
    EXPECT_TRUE(ImportBytes(s, &StandardProfile(), file).accepted);
    EXPECT_EQ(s.modelWord, 0x0539);
}

TEST(ParameterFiles, AFileOfTheOtherFunctionVariantIsRefused) {
    IdentityWords variantA;
    variantA.modelWord = 0x04D2;  // customer 1, version 210
    IdentityWords variantB;       // customer 1, version 300
    const std::pair<IdentityWords, IdentityWords> cases[] = {{variantA, variantB}, {variantB, variantA}};
    for (const auto& [controller, file] : cases) {
        ToolState s = ReferenceController(controller);
        const auto block = s.block.bytes;
        ImportOutcome out = ImportBytes(s, &StandardProfile(), FocFile(file));
        EXPECT_FALSE(out.accepted);
        EXPECT_EQ(out.message, MSG_IMPORT_MISMATCH);
        EXPECT_TRUE(s.block.bytes == block);
        const char* expected = controller.modelWord == 0x04D2
                                   ? "The file is of function variant B; the controller is of variant A"
                                   : "The file is of function variant A; the controller is of variant B";
        EXPECT_EQ(out.detail, expected);
    }
    ToolState fresh;  // nothing read: nothing to compare with
    EXPECT_TRUE(ImportBytes(fresh, &StandardProfile(), FocFile(variantA)).accepted);
    ToolState same = ReferenceController(variantA);
    const ImportOutcome out = ImportBytes(same, &StandardProfile(), FocFile(variantA));
    EXPECT_TRUE(out.accepted);
    EXPECT_EQ(out.detail, "");
}

TEST(ParameterFiles, ModelWordZeroFilesCompareTheOlderIdentity) {
    IdentityWords old;
    old.modelWord = 0;
    old.kindByte = 4;
    old.hardwareClass = 90;
    old.extraId = 250;
    ToolState s = ReferenceController(old);
    EXPECT_TRUE(ImportBytes(s, &StandardProfile(), FocFile(old)).accepted);

    IdentityWords otherShunt = old;
    otherShunt.extraId = 251;
    EXPECT_EQ(ImportBytes(s, &StandardProfile(), FocFile(otherShunt)).message, MSG_IMPORT_MISMATCH);
    IdentityWords otherVoltage = old;
    otherVoltage.voltageClass = 7;  // not part of an older controller's identity
    EXPECT_TRUE(ImportBytes(s, &StandardProfile(), FocFile(otherVoltage)).accepted);
}

TEST(ParameterFiles, ExportedFileImportsBackThroughTheDisk) {
    test::TempDir dir;
    ToolState s = ReferenceController();
    s.block.WriteWord(203, 3500);
    const std::string path = dir.File("bike.foc");
    const Bytes exported = ExportBytes(s);
    test::WriteFile(path, std::string(exported.begin(), exported.end()));
    s.block.WriteWord(203, 1);

    Bytes content;
    ASSERT_TRUE(ReadParameterFile(path, content));
    ImportOutcome out = ImportBytes(s, ProfileOfFile(path), content);
    EXPECT_TRUE(out.accepted);
    EXPECT_EQ(s.block.ReadWord(203), 3500);
    EXPECT_FALSE(ReadParameterFile(dir.File("missing.foc"), content));
}

}  // namespace
}  // namespace dt

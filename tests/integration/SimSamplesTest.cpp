// The virtual controller's sets, as the tool sees them after an upload: every shown value is
// inside its range, so a download of an unedited upload is accepted and sends the same blocks.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "GridPasses.h"
#include "ParamTables.h"
#include "RangeRules.h"
#include "ToolState.h"
#include "ValueCodec.h"

namespace {

using dt::ToolState;

std::vector<unsigned char> Sample(const std::string& name) {
    std::ifstream in(std::string(DT_SOURCE_DIR "/samples/") + name, std::ios::binary);
    return std::vector<unsigned char>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// The standard completion of an upload: identity parse, variant, the voltage class, shown values.
dt::ValueCells UploadStandard(ToolState& s, const std::vector<unsigned char>& image) {
    std::copy(image.begin(), image.begin() + dt::ParameterBlock::kSize, s.block.bytes.begin());
    s.kind = dt::ControllerKind::Standard;
    s.link.identityReceived = true;
    s.dataValid = dt::ParseIdentity(s);
    dt::SelectFunctionVariant(s);
    dt::FollowValues(s);
    return dt::ShowValues(s);
}

TEST(SimSamples, StandardControllersShowEveryValueInRange) {
    struct Case {
        const char* file;
        dt::FunctionVariant variant;
        int functionRows;
    } cases[] = {
        {"standard-b.foc", dt::FunctionVariant::B, 39},
        {"standard-a.foc", dt::FunctionVariant::A, 31},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        std::vector<unsigned char> image = Sample(c.file);
        ASSERT_EQ(image.size(), 1024u);
        ToolState s;
        dt::ValueCells cells = UploadStandard(s, image);
        ASSERT_TRUE(s.dataValid);
        EXPECT_TRUE(dt::VersionMatches(s.modelWord));
        EXPECT_EQ(s.variant, c.variant);
        EXPECT_EQ(s.FunctionSettings().rowCount, c.functionRows);
        EXPECT_EQ(cells.at(6), "60");
        EXPECT_EQ(s.voltage.nominalVoltage, 60);

        std::vector<dt::GridRow> layout = dt::GridLayout(s);
        ASSERT_EQ(layout.size(), cells.size());
        for (size_t row = 1; row < layout.size(); ++row) {
            if (layout[row].desc->kind < 1) continue;
            EXPECT_FALSE(cells[row].empty()) << "grid row " << row;
        }

        dt::ValidationResult result = dt::ValidateAll(s, cells);
        EXPECT_FALSE(result.refused) << result.message;

        // The words no grid row shows are realistic too.
        const dt::ParamTableSet& pro = s.Tables().ProfessionalSettings();
        for (int r = 1; r < pro.rowCount; ++r) {
            const dt::ParamDescriptor& d = pro.rows[r];
            if (d.kind != 1 || d.range == 0) continue;
            dt::CheckResult check = dt::CheckValue(s, d, dt::FormatValue(s, d));
            EXPECT_TRUE(check.valid) << d.Name(dt::LANG_ENGLISH) << ": " << check.hint;
        }

        // Written back unedited, nothing changes: a download sends what was read.
        dt::StoreValues(s, cells);
        EXPECT_TRUE(std::equal(image.begin(), image.begin() + 1024, s.block.bytes.begin()));
    }
}

TEST(SimSamples, UncalibratedControllerIsNotValidData) {
    ToolState s;
    UploadStandard(s, Sample("invalid.foc"));
    EXPECT_FALSE(s.dataValid);
    EXPECT_EQ(s.calibration.BATT_RATIO, 0.0f);
}

TEST(SimSamples, FocSetIsInsideTheFocBounds) {
    std::vector<unsigned char> ged = Sample("foc.ged");
    ASSERT_EQ(ged.size(), 32u);
    ToolState s;
    std::copy(ged.begin(), ged.end(), s.foc.bytes.begin());
    s.kind = dt::ControllerKind::Foc;
    s.modelWord = dt::kFocModelWord;
    s.dataValid = false;  // an FOC upload runs no identity parse
    dt::ValueCells cells = dt::ShowValues(s);
    ASSERT_EQ(cells.size(), 15u);
    EXPECT_EQ(cells[5], "48");
    EXPECT_EQ(cells[9], "50");
    dt::ValidationResult result = dt::ValidateAll(s, cells);
    EXPECT_FALSE(result.refused) << result.message;
}

}  // namespace

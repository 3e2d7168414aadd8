// The colours a download's range check leaves on the value cells: red where refused, the
// section palette's value colour where accepted.
#include <gtest/gtest.h>

#include "QtTestApp.h"

#include "DriveTuneView.h"
#include "GridCtrl.h"
#include "GridPasses.h"
#include "ToolState.h"

namespace {

constexpr int P = 51;  // parameter rows before the function rows

struct CheckedView {
    QApplication* app = dttest::GuiApp();  // before the widget
    dt::ToolState state;
    CDriveTuneView view{state};
    std::vector<std::string> shown;

    explicit CheckedView(bool foc) {
        state.kind = foc ? dt::ControllerKind::Foc : dt::ControllerKind::Standard;
        view.SetMessageSink([this](const std::string& text, dt::MessageKind) { shown.push_back(text); });
        view.OnInitialUpdate();
    }
    QColor Colour(int row) { return view.Grid()->GetItemBkColour(row, 2); }
};

TEST(CheckColours, AcceptedStandardCellsTakeTheirSectionsColourByRowParity) {
    CheckedView v(false);
    dt::ValidationResult r;
    r.acceptedRows = {P + 3, P + 4, 2, 3};
    r.refusedRows = {46};
    r.refused = true;
    r.message = "refused";
    v.view.ShowCheck(r);
    EXPECT_EQ(v.Colour(P + 3), QColor(225, 230, 220));  // sage, even grid row
    EXPECT_EQ(v.Colour(P + 4), QColor(170, 200, 190));  // sage, odd
    EXPECT_EQ(v.Colour(2), QColor(235, 240, 220));      // green, even
    EXPECT_EQ(v.Colour(3), QColor(210, 220, 170));      // green, odd
    EXPECT_EQ(v.Colour(46), QColor(255, 0, 0));
    EXPECT_EQ(v.shown, (std::vector<std::string>{"refused"}));

    // Accepted, the red goes and nothing is shown.
    r = dt::ValidationResult();
    r.acceptedRows = {46};
    v.view.ShowCheck(r);
    EXPECT_EQ(v.Colour(46), QColor(235, 240, 220));
    EXPECT_EQ(v.shown.size(), 1u);
}

// A title that appears twice (text.ini may do that) leads to its first place, as the sheet reads.
TEST(CheckColours, ATreeTitleLeadsToItsFirstPlaceInTheGrid) {
    QApplication* app = dttest::GuiApp();
    (void)app;
    dt::ToolState state;
    const std::string title = state.Tables().ParameterSettings().groups[1].title_en;
    state.ChangeCatalogue([&](dt::Catalogue& c) { c.tables.EditSets().FunctionSettingsB.groups[0].title_en = title; });
    CDriveTuneView view{state};
    view.OnInitialUpdate();
    view.GoToGroup(title);
    EXPECT_EQ(view.Grid()->GetFocusCell().row, state.Tables().ParameterSettings().GroupFirstRow(1));
    view.GoToGroup(state.FunctionSettings().groups[1].title_en);
    EXPECT_EQ(view.Grid()->GetFocusCell().row, P + state.FunctionSettings().GroupFirstRow(1));
}

TEST(CheckColours, AcceptedFocCellsAreTheEvenColourButTheNominalVoltage) {
    CheckedView v(true);
    dt::ValidationResult r;
    r.acceptedRows = {4, 5, 7};
    v.view.ShowCheck(r);
    EXPECT_EQ(v.Colour(4), QColor(235, 240, 220));
    EXPECT_EQ(v.Colour(5), QColor(210, 220, 170));
    EXPECT_EQ(v.Colour(7), QColor(235, 240, 220));
}

}  // namespace

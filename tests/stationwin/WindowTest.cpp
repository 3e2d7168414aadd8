// The station window without controllers: its languages, the names controls give to screen
// readers, the recipe's refusals and the slots it remembers.
#include <QAbstractButton>
#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include "SlotTile.h"
#include "StationFixture.h"
#include "TileGrid.h"

using namespace stationtest;

namespace {

// Controls a screen reader or an automation tool cannot find by name.
QStringList Unnamed(QWidget& w) {
    QStringList out;
    for (QWidget* c : w.findChildren<QWidget*>()) {
        const bool control = qobject_cast<QAbstractButton*>(c) || qobject_cast<QLineEdit*>(c) ||
                             qobject_cast<QComboBox*>(c) || qobject_cast<QAbstractItemView*>(c);
        // The parts of a composite control (a table's header, a date's edit line) go by its name.
        const QWidget* p = c->parentWidget();
        const bool part = p->inherits("QComboBox") || p->inherits("QAbstractSpinBox") || p->inherits("QAbstractItemView");
        if (control && !part && c->accessibleName().isEmpty())
            out << c->metaObject()->className() + QString(" ") + c->objectName();
    }
    return out;
}

}  // namespace

TEST_F(StationTest, BothLanguagesFollowTheMainWindowsRuleAndEveryControlIsNamed) {
    struct Case {
        bool chinese;
        const char *title, *start, *history, *none, *tip;
    } cases[] = {
        {false, "DriveTune Station", "Start", "History", "No recipe chosen",
         "Optional: the SHA-256 the recipe file must have; any other does not start"},
        {true, "DriveTune 工位", "开始", "记录", "未选择配方", "可选：配方文件应有的 SHA-256；不符时不能开始"},
    };
    for (const Case& c : cases) {
        auto w = MakeWindow(c.chinese);
        EXPECT_EQ(w->windowTitle().toStdString(), c.title);
        EXPECT_EQ(w->StartButton()->text().toStdString(), c.start);
        EXPECT_EQ(w->Tabs()->tabText(1).toStdString(), c.history);
        EXPECT_EQ(w->RecipeFile()->text().toStdString(), c.none);
        EXPECT_EQ(w->Expected()->toolTip().toStdString(), c.tip);
        EXPECT_FALSE(w->StartButton()->isEnabled()) << "no recipe, no slots";
        for (QPushButton* b : {w->StartButton(), w->StopButton()}) {
            EXPECT_TRUE(b->font().bold()) << "Start and Stop stand out";
            EXPECT_GT(b->font().pointSizeF(), w->OpenButton()->font().pointSizeF());
        }
        EXPECT_TRUE(Unnamed(*w).isEmpty()) << Unnamed(*w).join(", ").toStdString();
    }
}

TEST_F(StationTest, ARecipeWithAnotherHashIsRefusedAndNothingStarts) {
    window_ = MakeWindow();
    chosenFile_ = Sample("standard-b.foc");
    window_->OpenButton()->click();
    window_->Start();
    EXPECT_FALSE(window_->Running());
    EXPECT_EQ(window_->MessageLine()->text(), "Choose the slots' ports first");
    window_->SetSlotDevices({"/dev/null"});
    window_->resize(1024, 600);
    window_->show();
    QTest::qWait(20);
    // The recipe's facts stand in a row after its button.
    EXPECT_GT(window_->RecipeFile()->x(), window_->OpenButton()->geometry().right());
    EXPECT_GT(window_->RecipeValues()->x(), window_->RecipeSha()->geometry().right());
    EXPECT_GT(window_->Totals()->x(), window_->StopButton()->geometry().right());
    EXPECT_EQ(window_->RecipeFile()->text(), "standard-b.foc");
    EXPECT_EQ(window_->RecipeKind()->text(), "Standard controller, variant B");
    EXPECT_EQ(window_->RecipeValues()->text(), "62 values");
    const QString sha = window_->RecipeSha()->toolTip();
    EXPECT_EQ(window_->RecipeSha()->text(), "SHA-256 " + sha.left(12) + "…");
    EXPECT_TRUE(window_->StartButton()->isEnabled());

    window_->SetExpectedHash("00ff");
    EXPECT_FALSE(window_->StartButton()->isEnabled());
    EXPECT_EQ(window_->MessageLine()->text().toStdString(),
              "Recipe refused: the file's SHA-256 is " + sha.toStdString() + ", not 00ff; nothing sent");
    EXPECT_EQ(window_->RecipeKind()->text(), "") << "a refused recipe shows nothing that could be taken for it";
    window_->Start();
    EXPECT_FALSE(window_->Running());

    // Typed into the field: checked as soon as the field is left.
    window_->Expected()->setText(sha.toUpper());
    emit window_->Expected()->editingFinished();
    EXPECT_TRUE(window_->StartButton()->isEnabled());
    EXPECT_EQ(window_->MessageLine()->text(), "");
}

TEST_F(StationTest, TheSlotsAndTheOperatorComeBackWithTheNextWindow) {
    window_ = MakeWindow();
    window_->SetSlotDevices({"/dev/a", "/dev/b", "/dev/c"});
    window_->Operator()->setText(" ann ");
    emit window_->Operator()->editingFinished();
    window_.reset();
    window_ = MakeWindow();
    EXPECT_EQ(window_->Operator()->text(), "ann");
    ASSERT_EQ(window_->Tiles().size(), 3u);
    EXPECT_EQ(window_->Tiles()[2]->Port(), "/dev/c");
    EXPECT_EQ(window_->Tiles()[0]->StateWord(), "waiting for a controller");
}

TEST_F(StationTest, TilesFillTheWindowAtBothScreenSizes) {
    struct Case {
        int count, width, height, columns;
    } cases[] = {{8, 1024, 600, 4}, {32, 1920, 1080, 8}};
    for (const Case& c : cases) {
        window_ = MakeWindow();
        std::vector<std::string> devices;
        for (int i = 0; i < c.count; ++i) devices.push_back("/dev/slot" + std::to_string(i));
        window_->SetSlotDevices(devices);
        window_->resize(c.width, c.height);
        window_->show();
        QTest::qWait(50);
        EXPECT_EQ(window_->Grid()->Columns(), c.columns);
        const QWidget* last = window_->Tiles().back();
        const QRect grid = window_->Grid()->rect();
        // The last tile ends near the grid's far corner: no large empty band.
        EXPECT_GT(last->geometry().right(), grid.width() - 20) << c.count;
        EXPECT_GT(last->geometry().bottom(), grid.height() - 20) << c.count;
        EXPECT_GT(last->height(), 100) << c.count;
    }
}

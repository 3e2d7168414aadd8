// CMessageDlg and ShowMessage: layout figures, button sets, keys, sounds, and answering a box.
#include <gtest/gtest.h>

#include "QtTestApp.h"
#include "WindowHarness.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <memory>
#include <vector>

#include "MessageDlg.h"
#include "Texts.h"

namespace {

QApplication* App() {
    EnsureQtApplication();
    return qApp;
}

// The control of the box that has (or will get) the keyboard focus.
QWidget* FocusIn(CMessageDlg& dlg)
{
    return dlg.focusWidget() ? dlg.focusWidget() : &dlg;
}

class MessageDlgTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        App();
        CMessageDlg::SetSoundHook([this](CMessageDlg::Sound s) { sounds.push_back(s); });
    }
    void TearDown() override
    {
        CMessageDlg::SetSoundHook(nullptr);
        SetMessageHook(nullptr);
    }
    std::unique_ptr<CMessageDlg> Make(const QString& text, int type)
    {
        return std::make_unique<CMessageDlg>(nullptr, "BRISKWHEELS", text, type, "OK", "Cancel");
    }
    // Runs the box modally and answers it with a key sent to whatever has the focus.
    int RunWithKey(CMessageDlg& dlg, Qt::Key key)
    {
        QTimer::singleShot(0, &dlg, [&dlg, key] {
            QTest::keyClick(FocusIn(dlg), key);
        });
        dlg.exec();
        return dlg.Result();
    }
    std::vector<CMessageDlg::Sound> sounds;
};

TEST_F(MessageDlgTest, LabelSitsRightOfTheIconAndIsOneLineTallerThanTheText)
{
    struct Case {
        QString text;
        int lines;    // n
        int topGap;   // below the icon's top
    } cases[] = {
        {"no response because of timeout", 2, 10},
        {"Input data is not legitimate\n\nRated voltage(V): 48 ~ 120", 4, 2},
        {"", 2, 10},
        {"打开串口失败 COM3 9600", 2, 10},
        {"a\nb", 3, 2},
    };
    for (const Case& c : cases) {
        auto dlg = Make(c.text, dt::MB_ICON_ERROR);
        const auto& L = dlg->GetLayout();
        const QFontMetrics fm(dlg->MeasuringFont());
        int widest = 0;
        for (const QString& line : c.text.split('\n'))
            widest = qMax(widest, fm.horizontalAdvance(line));
        EXPECT_EQ(L.lineCount, c.lines);
        EXPECT_EQ(L.lineHeight, fm.height());
        EXPECT_EQ(L.textWidth, widest);
        EXPECT_EQ(L.labelRect.x(), L.iconRect.x() + L.iconRect.width() + 20) << c.text.toStdString();
        EXPECT_EQ(L.labelRect.y(), L.iconRect.y() + c.topGap) << c.text.toStdString();
        EXPECT_EQ(L.labelRect.width(), widest);
        EXPECT_EQ(L.labelRect.height(), c.lines * fm.height());
        EXPECT_EQ(dlg->TextLabel()->geometry(), L.labelRect);
        EXPECT_EQ(dlg->TextLabel()->text(), c.text);
        EXPECT_EQ(L.dialogSize.height(), L.labelRect.y() + L.labelRect.height() + 60);
        EXPECT_EQ(L.dialogSize.width(),
                  qMax(L.labelRect.x() + L.labelRect.width() + 40, 3 * L.buttonWidth + 55));
        EXPECT_EQ(dlg->size(), L.dialogSize);
    }
}

TEST_F(MessageDlgTest, TemplateSizesConvertThroughTheDialogFont)
{
    auto dlg = Make("x", dt::MB_ICON_INFO);
    const auto& L = dlg->GetLayout();
    const QFontMetrics fm(dlg->font());
    EXPECT_EQ(L.baseHeight, fm.height());
    EXPECT_GT(L.baseWidth, 3);
    EXPECT_EQ(L.buttonWidth, (39 * L.baseWidth + 2) / 4);
    EXPECT_EQ(L.buttonHeight, (14 * L.baseHeight + 4) / 8);
    EXPECT_EQ(L.iconRect.topLeft(), QPoint(dlg->DuToPixelsX(15), dlg->DuToPixelsY(15)));
}

TEST_F(MessageDlgTest, ShortMessageIsStillThreeButtonsPlus55Wide)
{
    auto dlg = Make("OK", dt::MB_ICON_INFO);
    const auto& L = dlg->GetLayout();
    EXPECT_LT(L.labelRect.x() + L.labelRect.width() + 40, 3 * L.buttonWidth + 55);
    EXPECT_EQ(L.dialogSize.width(), 3 * L.buttonWidth + 55);

    auto wide = Make(QString(120, QLatin1Char('W')), dt::MB_ICON_INFO);
    const auto& W = wide->GetLayout();
    EXPECT_EQ(W.dialogSize.width(), W.labelRect.x() + W.labelRect.width() + 40);
}

TEST_F(MessageDlgTest, ButtonSetsShowTheirButtonsCentredWithTheirGaps)
{
    using D = CMessageDlg;
    struct Case {
        int set;
        std::vector<int> visible;
        int focus;  // 0: none set
        bool closeEnabled;
        int gap;
    } cases[] = {
        {0, {D::IDC_OK}, 0, true, 0},
        {1, {D::IDC_OK, D::IDC_CANCEL}, 0, true, 10},
        {2, {D::IDC_ABORT, D::IDC_RETRY, D::IDC_IGNORE}, D::IDC_ABORT, false, 5},
        {3, {D::IDC_YES, D::IDC_NO, D::IDC_CANCEL}, D::IDC_YES, true, 5},
        {4, {D::IDC_YES, D::IDC_NO}, D::IDC_YES, false, 10},
        {5, {D::IDC_RETRY, D::IDC_CANCEL}, D::IDC_RETRY, true, 10},
    };
    const int all[] = {D::IDC_OK, D::IDC_CANCEL, D::IDC_YES, D::IDC_NO, D::IDC_ABORT, D::IDC_RETRY, D::IDC_IGNORE};
    for (const Case& c : cases) {
        auto dlg = Make("Question?", dt::MB_ICON_WARNING | c.set);
        dlg->show();
        QApplication::processEvents();
        const auto& L = dlg->GetLayout();
        EXPECT_EQ(L.buttonIds, c.visible) << "set " << c.set;
        for (int id : all) {
            const bool shown = std::find(c.visible.begin(), c.visible.end(), id) != c.visible.end();
            EXPECT_EQ(dlg->Button(id)->isVisible(), shown) << "set " << c.set << " button " << id;
        }
        EXPECT_EQ(dlg->CloseEnabled(), c.closeEnabled);
        EXPECT_EQ(bool(dlg->windowFlags() & Qt::WindowCloseButtonHint), c.closeEnabled);
        if (c.focus) {
            EXPECT_TRUE(dlg->Button(c.focus)->hasFocus()) << "set " << c.set;
        }

        const int h = L.dialogSize.height();
        int left = L.buttonRects.front().left();
        int right = L.buttonRects.back().left() + L.buttonRects.back().width();
        EXPECT_LE(std::abs((left + right) - L.dialogSize.width()), 1) << "set " << c.set;  // centred
        for (size_t i = 0; i < L.buttonRects.size(); ++i) {
            const QRect r = L.buttonRects[i];
            EXPECT_EQ(r.y() + r.height(), h - 20);
            EXPECT_EQ(r.size(), QSize(L.buttonWidth, L.buttonHeight));
            EXPECT_EQ(dlg->Button(c.visible[i])->geometry(), r);
            if (i > 0) {
                const QRect prev = L.buttonRects[i - 1];
                EXPECT_EQ(r.left() - (prev.left() + prev.width()), c.gap) << "set " << c.set;
            }
        }
        dlg->done(0);
    }
}

TEST_F(MessageDlgTest, CaptionsComeFromTheLabelTableExceptTheFixedEnglishOnes)
{
    CMessageDlg dlg(nullptr, "BRISKWHEELS", "x", 3, "确定", "取消");
    EXPECT_EQ(dlg.windowTitle(), "BRISKWHEELS");
    EXPECT_EQ(dlg.Button(CMessageDlg::IDC_OK)->text(), "确定");
    EXPECT_EQ(dlg.Button(CMessageDlg::IDC_CANCEL)->text(), "取消");
    EXPECT_EQ(dlg.Button(CMessageDlg::IDC_YES)->text(), "Yes");
    EXPECT_EQ(dlg.Button(CMessageDlg::IDC_NO)->text(), "No");
    EXPECT_EQ(dlg.Button(CMessageDlg::IDC_ABORT)->text(), "Abort");
    EXPECT_EQ(dlg.Button(CMessageDlg::IDC_RETRY)->text(), "Retry");
    EXPECT_EQ(dlg.Button(CMessageDlg::IDC_IGNORE)->text(), "Ignore");
}

TEST_F(MessageDlgTest, EnterIsOkAndEscapeIsCancelWhateverTheButtons)
{
    for (int set = 0; set <= 5; ++set) {
        auto enter = Make("x", dt::MB_ICON_WARNING | set);
        EXPECT_EQ(RunWithKey(*enter, Qt::Key_Return), 1) << "set " << set;
        auto escape = Make("x", dt::MB_ICON_WARNING | set);
        EXPECT_EQ(RunWithKey(*escape, Qt::Key_Escape), 2) << "set " << set;
    }
}

// A question whose pre-selected answer is No: Enter on the focused No button, or anywhere in the
// box, answers No, never OK or Yes; the same box without the No default keeps Enter as OK.
TEST_F(MessageDlgTest, EnterInAQuestionWithNoPreselectedAnswersNo)
{
    auto question = Make("Close anyway?", dt::MB_YESNO | dt::MB_ICON_QUESTION | dt::MB_DEFBUTTON2);
    QPushButton* no = question->Button(CMessageDlg::IDC_NO);
    QTimer::singleShot(0, question.get(), [&] {
        EXPECT_EQ(question->focusWidget(), no);
        QTest::keyClick(no, Qt::Key_Return);
    });
    question->exec();
    EXPECT_EQ(question->Result(), CMessageDlg::IDNO);
    auto enter = Make("Close anyway?", dt::MB_YESNO | dt::MB_ICON_QUESTION | dt::MB_DEFBUTTON2);
    EXPECT_EQ(RunWithKey(*enter, Qt::Key_Enter), CMessageDlg::IDNO);
    auto plain = Make("Close anyway?", dt::MB_YESNO | dt::MB_ICON_QUESTION);
    EXPECT_EQ(RunWithKey(*plain, Qt::Key_Return), CMessageDlg::IDOK);
}

TEST_F(MessageDlgTest, ButtonsGiveTheirResults)
{
    using D = CMessageDlg;
    struct Case {
        int set;
        int button;
        int result;
    } cases[] = {
        {0, D::IDC_OK, 1},    {1, D::IDC_CANCEL, 2}, {2, D::IDC_ABORT, 3}, {2, D::IDC_RETRY, 4},
        {2, D::IDC_IGNORE, 5}, {3, D::IDC_YES, 6},   {4, D::IDC_NO, 7},     {5, D::IDC_CANCEL, 2},
    };
    for (const Case& c : cases) {
        auto dlg = Make("x", c.set);
        QPushButton* b = dlg->Button(c.button);
        QTimer::singleShot(0, b, [b] { QTest::mouseClick(b, Qt::LeftButton); });
        dlg->exec();
        EXPECT_EQ(dlg->Result(), c.result) << "set " << c.set << " button " << c.button;
    }
}

TEST_F(MessageDlgTest, CloseBoxGivesCancelUnlessCloseIsGreyed)
{
    auto dlg = Make("x", dt::MB_ICON_ERROR);
    EXPECT_EQ(dlg->Result(), 0);
    dlg->show();
    dlg->close();
    EXPECT_EQ(dlg->Result(), 2);
    EXPECT_FALSE(dlg->isVisible());

    auto yesNo = Make("x", 4);
    yesNo->show();
    yesNo->close();
    EXPECT_TRUE(yesNo->isVisible());
    EXPECT_EQ(yesNo->Result(), 0);
    yesNo->done(0);
}

TEST_F(MessageDlgTest, IconsAndSounds)
{
    using S = CMessageDlg::Sound;
    struct Case {
        int type;
        std::vector<S> sounds;
        bool icon;
    } cases[] = {
        {dt::MB_ICON_ERROR, {S::Default, S::Stop}, true},
        {dt::MB_ICON_WARNING, {S::Default, S::Exclamation}, true},
        {dt::MB_ICON_INFO, {S::Default, S::Information}, true},
        {dt::MB_ICON_QUESTION | 4, {S::Question}, true},
        {1, {}, false},
    };
    for (const Case& c : cases) {
        sounds.clear();
        auto dlg = Make("x", c.type);
        EXPECT_TRUE(sounds.empty());  // sounds belong to the showing
        dlg->show();
        EXPECT_EQ(sounds, c.sounds) << "type " << c.type;
        EXPECT_EQ(!dlg->IconLabel()->pixmap().isNull(), c.icon);
        dlg->hide();
        dlg->show();
        EXPECT_EQ(sounds.size(), c.sounds.size());
        dlg->done(0);
    }
}

TEST_F(MessageDlgTest, ShowMessageRunsAModalBoxWithTheTextUnchanged)
{
    QString seenText, seenTitle, seenOk;
    SetMessageHook([&](CMessageDlg& dlg) {
        seenText = dlg.Text();
        seenTitle = dlg.windowTitle();
        seenOk = dlg.Button(CMessageDlg::IDC_OK)->text();
        QTimer::singleShot(0, &dlg, [&dlg] {
            EXPECT_TRUE(dlg.isModal());
            EXPECT_TRUE(dlg.isVisible());
            QTest::keyClick(FocusIn(dlg), Qt::Key_Escape);
        });
        return -1;
    });
    EXPECT_EQ(ShowMessage(nullptr, "上传参数成功", dt::MB_ICON_INFO, "确定", "取消"), 2);
    EXPECT_EQ(seenText, "上传参数成功");
    EXPECT_EQ(seenTitle, "BRISKWHEELS");
    EXPECT_EQ(seenOk, "确定");

    EXPECT_EQ(ShowMessage(nullptr, "", dt::MB_ICON_ERROR, "OK", "Cancel"), 2);
    EXPECT_EQ(seenText, "");

    // A hook may answer without running the box.
    SetMessageHook([](CMessageDlg&) { return 1; });
    EXPECT_EQ(ShowMessage(nullptr, "x", dt::MB_ICON_ERROR, "OK", "Cancel"), 1);
}

}  // namespace

// The window on small and large screens, the port box's list width, one device scan per
// action, and what the support log keeps of a session.
#include <QAbstractItemView>
#include <QApplication>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include "GridCtrl.h"
#include "MainFrame.h"
#include "MessageDlg.h"
#include "PortBox.h"
#include "PortNumbering.h"
#include "StatusLine.h"
#include "SupportLog.h"
#include "Version.h"
#include "WindowHarness.h"

namespace {

TEST(WindowPlacement, TheFrameStaysInsideTheFreeAreaAndRoomyScreensCentre1070x720) {
    struct Case { QRect available; QMargins frame; QRect geometry; };
    const QMargins twm(4, 24, 4, 4);
    const Case cases[] = {
        {QRect(0, 0, 1024, 600), QMargins(), QRect(0, 0, 1024, 600)},
        {QRect(0, 0, 1024, 600), twm, QRect(4, 24, 1016, 572)},
        {QRect(0, 27, 1366, 714), twm, QRect(148, 51, 1070, 686)},            // a panel leaves 714 of 768
        {QRect(0, 0, 1280, 720), QMargins(2, 20, 2, 2), QRect(105, 20, 1070, 698)},  // 2560 x 1440 at scale 2
        {QRect(0, 0, 1280, 720), QMargins(), QRect(105, 0, 1070, 720)},
        {QRect(0, 0, 1078, 754), QMargins(4, 30, 4, 4), QRect(4, 30, 1070, 720)},  // just fits
        {QRect(0, 0, 1077, 753), QMargins(4, 30, 4, 4), QRect(4, 30, 1069, 719)},  // one pixel short
        {QRect(0, 0, 1920, 1080), QMargins(), QRect(425, 180, 1070, 720)},
        {QRect(0, 0, 1921, 1081), QMargins(), QRect(425, 180, 1070, 720)},  // the odd pixel right and below
        {QRect(0, 0, 1920, 1080), twm, QRect(425, 190, 1070, 720)},
        {QRect(1920, 30, 1920, 1050), QMargins(), QRect(2345, 195, 1070, 720)},  // a second screen, a top panel
        {QRect(), twm, QRect(0, 0, 1070, 720)},                                // no screen known
    };
    for (const Case& c : cases) {
        const QRect geometry = CMainFrame::ChoosePlacement(c.available, c.frame);
        EXPECT_EQ(geometry, c.geometry) << c.available.width() << "x" << c.available.height();
        if (c.available.isValid()) {
            EXPECT_TRUE(c.available.contains(geometry.marginsAdded(c.frame)));
        }
    }
}

// The real window placed on the test screens (tests/app/DesktopScreen.json): a desktop, a
// 1024 x 600 netbook and a 2560 x 1440 screen at scale 2; the offscreen frame is 2 pixels wide.
class WindowFitTest : public WindowTest {
protected:
    const QScreen* ScreenNamed(const QString& name) {
        for (const QScreen* s : QGuiApplication::screens())
            if (s->name() == name) return s;
        return nullptr;
    }
    void ExpectInside(const QScreen& screen) {
        const QRect area = screen.availableGeometry();
        EXPECT_TRUE(area.contains(Frame().frameGeometry())) << screen.name().toStdString();
        const QWidget* status = Frame().StatusLine();
        const QRect statusOnScreen(status->mapToGlobal(QPoint(0, 0)), status->size());
        EXPECT_TRUE(area.contains(statusOnScreen)) << screen.name().toStdString();
        EXPECT_TRUE(status->isVisible());
    }
};

TEST_F(WindowFitTest, SmallAndScaledScreensHoldTheWholeWindowRoomyOnesItsOwnSizeCentred) {
    ASSERT_TRUE(StartSim());
    StartApp();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Frame()));
    // A full status line: port, controller, a change and a cell edited with its range.
    ASSERT_TRUE(ConnectAndUpload());
    TypeValue(kAccelerationRow, CellText(kAccelerationRow) == "600" ? "700" : "600");
    Grid().setFocus();
    Grid().SetFocusCell(kDecelerationRow, 2);
    QTest::keyClick(&Grid(), Qt::Key_F2);
    ASSERT_FALSE(Frame().StatusLine()->EditingRangeText().isEmpty());
    ASSERT_FALSE(Frame().StatusLine()->ChangedText().isEmpty());
    const QScreen* desktop = ScreenNamed("desktop");
    const QScreen* netbook = ScreenNamed("netbook");
    const QScreen* hidpi = ScreenNamed("hidpi");
    ASSERT_TRUE(desktop && netbook && hidpi);
    ASSERT_EQ(hidpi->availableGeometry().size(), QSize(1280, 720));
    ASSERT_NE(Frame().frameGeometry(), Frame().geometry()) << "the window has a frame";

    EXPECT_EQ(Frame().size(), QSize(1070, 720));
    ExpectInside(*desktop);
    EXPECT_EQ(Frame().frameGeometry().center(), desktop->availableGeometry().center());

    Frame().PlaceOn(*netbook);
    EXPECT_TRUE(QTest::qWaitFor([&] { return Frame().screen() == netbook; }, 2000));
    ExpectInside(*netbook);
    EXPECT_EQ(Frame().frameGeometry().size(), QSize(1024, 600));  // all of it

    Frame().PlaceOn(*hidpi);
    EXPECT_TRUE(QTest::qWaitFor([&] { return Frame().screen() == hidpi; }, 2000));
    ExpectInside(*hidpi);
    EXPECT_EQ(Frame().width(), 1070);  // the width fits; only the height gives way

    Frame().PlaceOn(*desktop);
    EXPECT_EQ(Frame().size(), QSize(1070, 720));
}

TEST_F(WindowFitTest, NoTextWidensTheWindowPastASmallScreen) {
    ASSERT_TRUE(StartSim());
    const std::string longPort =
        "COM1 (/dev/serial/by-id/usb-1a86_USB2.0-Serial-if00-port0-with-a-very-long-adapter-name, USB2.0-Serial QinHeng)";
    StartApp([&] { return std::vector<std::string>{longPort}; });
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Frame()));
    const QScreen* netbook = ScreenNamed("netbook");
    ASSERT_TRUE(netbook);
    Frame().PlaceOn(*netbook);
    EXPECT_TRUE(QTest::qWaitFor([&] { return Frame().screen() == netbook; }, 2000));
    ASSERT_TRUE(ConnectAndUpload());
    // The count of changes, a find with its text, and a cell edited with its range, all at once.
    TypeValue(kAccelerationRow, "5000");
    TypeValue(kDecelerationRow, CellText(kDecelerationRow) == "600" ? "700" : "600");
    QTest::keyClick(&Grid(), Qt::Key_F, Qt::ControlModifier);
    QTest::keyClicks(QApplication::focusWidget(), "Maximum phase current");
    Grid().setFocus();
    Grid().SetFocusCell(kAccelerationRow, 2);
    QTest::keyClick(&Grid(), Qt::Key_F2);
    QApplication::processEvents();
    EXPECT_LE(Frame().minimumSizeHint().width(), 1024);
    EXPECT_TRUE(QTest::qWaitFor([&] { return netbook->availableGeometry().contains(Frame().frameGeometry()); }, 2000));
    ExpectInside(*netbook);
    EXPECT_EQ(Frame().frameGeometry().size(), QSize(1024, 600));
    // The grid's scroll bar is on the screen.
    const QWidget* bar = Grid().verticalScrollBar();
    EXPECT_TRUE(netbook->availableGeometry().contains(QRect(bar->mapToGlobal(QPoint(0, 0)), bar->size())));
    // The pane cuts a long topic title with the screen's fonts: each shows whole in its tooltip.
    QTreeWidget* tree = Frame().findChild<QTreeWidget*>("groupTree");
    for (QTreeWidgetItemIterator it(tree); *it; ++it)
        if ((*it)->parent()) {
            EXPECT_EQ((*it)->toolTip(0), (*it)->text(0));
        }
}

TEST_F(WindowFitTest, AWindowShownWithItsFrameOverTheEdgeIsBroughtInside) {
    StartApp();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Frame()));
    const QScreen* netbook = ScreenNamed("netbook");
    ASSERT_TRUE(netbook);
    Frame().hide();
    // The whole area for the window itself, as a placement that knew no frame would give it.
    Frame().setGeometry(netbook->availableGeometry());
    Frame().show();
    EXPECT_TRUE(QTest::qWaitFor([&] { return netbook->availableGeometry().contains(Frame().frameGeometry()); }, 3000));
    ExpectInside(*netbook);
}

TEST(PortBoxList, WideEnoughForTheLongestEntryWhileTheBoxKeepsItsSize) {
    EnsureQtApplication();
    const std::string longest = "COM33 (/dev/serial/by-id/usb-1a86_USB2.0-Serial-if00-port0, USB2.0-Serial QinHeng)";
    CPortBox box([&] { return std::vector<std::string>{"COM1 (/dev/ttyS0)", longest}; });
    box.setGeometry(0, 0, 80, box.sizeHint().height());
    box.RefreshPortList();
    EXPECT_EQ(box.width(), 80);
    const int text = box.view()->fontMetrics().horizontalAdvance(QString::fromStdString(longest));
    EXPECT_GT(box.view()->minimumWidth(), text);
    box.show();
    box.showPopup();  // refills, and the open list takes the width
    EXPECT_GT(box.view()->window()->width(), text);
    EXPECT_EQ(box.width(), 80);
    box.hidePopup();
    EXPECT_EQ(dt::TakePortFromList(box.itemText(1).toStdString()), 33);
}

// The window against drivetune-sim, with the device list counted and the log in a temp folder.
class SessionTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        oldState_ = qgetenv("XDG_STATE_HOME");
        qputenv("XDG_STATE_HOME", state_.path().toLocal8Bit());
        dt::StartSupportLog("drivetune");
    }
    void TearDown() override {
        app_.reset();
        SetMessageHook(nullptr);
        dt::StopSupportLog();
        qputenv("XDG_STATE_HOME", oldState_);
        WindowTest::TearDown();
    }
    void Start(const std::string& device) {
        app_ = std::make_unique<CDriveTuneApp>();
        app_->SetPortNumbering(dt::PortNumbering(dt::SettingsFolder(dt::DefaultSettingsPath()) + "/ports", [this, device] {
            ++scans_;
            return std::vector<dt::SerialDevice>{{device, "USB-Serial CH340", ""}};
        }));
        SetMessageHook([this](CMessageDlg& dlg) {
            shown_.push_back(dlg.Text().toStdString());
            return 1;
        });
        ASSERT_TRUE(app_->InitInstance(false));
    }
    CControlPanel& Panel() { return *app_->MainFrame()->Panel(); }
    bool Press(int id) {
        const size_t before = shown_.size();
        Panel().Button(id)->click();
        return QTest::qWaitFor([&] { return shown_.size() > before; }, 5000);
    }
    QString Log() const {
        QFile f(state_.path() + "/DriveTune/drivetune.log");
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }

    QTemporaryDir state_;
    QByteArray oldState_;
    std::unique_ptr<CDriveTuneApp> app_;
    std::vector<std::string> shown_;
    int scans_ = 0;
};

TEST_F(SessionTest, OneScanAtStartUpNoneForConnectAndTheSessionLogged) {
    ASSERT_TRUE(StartSim({}));
    Start(SimDevice().toStdString());
    const std::string entry = "COM97 (" + SimDevice().toStdString() + ", USB-Serial CH340)";
    EXPECT_EQ(Panel().PortBox()->currentText().toStdString(), entry);
    EXPECT_TRUE(app_->Port().IsOpen());
    EXPECT_EQ(scans_, 1);  // the box's list and the opening share it

    ASSERT_TRUE(Press(CControlPanel::IDC_CONNECT));
    EXPECT_EQ(shown_.back(), "Upload parameters successfully");
    EXPECT_EQ(scans_, 1);  // the port is still where the scan found it
    Panel().PortBox()->showPopup();
    Panel().PortBox()->hidePopup();
    EXPECT_EQ(scans_, 2);

    const QString log = Log();
    for (const QString& line : {QString("drivetune " DRIVETUNE_VERSION " started"),
                                "port COM97 opened: " + SimDevice() + " at 9600 baud",
                                "command: Connect " + QString::fromStdString(entry),
                                QString("message: Upload parameters successfully")})
        EXPECT_TRUE(log.contains(line)) << line.toStdString() << "\n" << log.toStdString();
    EXPECT_FALSE(log.contains("sent 66")) << "frames only with the trace on";
}

TEST_F(SessionTest, APortThatDoesNotOpenIsLoggedWithItsReason) {
    Start("/nonexistent/ttyUSB7");
    ASSERT_EQ(shown_.size(), 1u);
    EXPECT_EQ(shown_[0], "fail to open the serial port COM40 9600\nNothing answers at /nonexistent/ttyUSB7: check the "
                         "cable and the adapter,\nthen choose the port again from the list.");
    EXPECT_TRUE(Log().contains("port did not open: /nonexistent/ttyUSB7: missing")) << Log().toStdString();
    EXPECT_TRUE(Log().contains("message: fail to open the serial port COM40 9600 / Nothing answers")) << Log().toStdString();
}

}  // namespace

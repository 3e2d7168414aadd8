// The window as it comes up: title, size, language by text.ini, settings, tree, panel, port.
#include <QDockWidget>
#include <QFontInfo>
#include <QImageReader>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

#include "AppResources.h"
#include "DriveTuneView.h"
#include "GridCtrl.h"
#include "GroupTree.h"
#include "MessageDlg.h"
#include "MainFrame.h"
#include "PanelButton.h"
#include "PortBox.h"
#include "QtText.h"
#include "WindowHarness.h"

namespace {

const char* const kEnglishLabels[] = {"Connect", "Upload ", "Download", "Store  ",
                                      "Default", "Import ", "Export ",  "switch language"};

class StartUpTest : public WindowTest {};

TEST_F(StartUpTest, WithoutSettingsOrTextIniComesUpInEnglishOnTheVirtualController) {
    ASSERT_TRUE(StartSim());
    StartApp();

    EXPECT_EQ(Frame().windowTitle().toStdString(), dt::kWindowTitle);
    EXPECT_EQ(Frame().size(), QSize(CMainFrame::kWidth, CMainFrame::kHeight));
    EXPECT_EQ(Frame().menuWidget(), nullptr);
    EXPECT_EQ(State().language, dt::LANG_ENGLISH);
    EXPECT_FALSE(State().dataValid);
    EXPECT_TRUE(messages.empty()) << messages.front().text;

    // The bound virtual controller is the first port in sorted order, taken, saved and opened.
    const QString entry = Panel().PortBox()->currentText();
    EXPECT_EQ(entry, QStringLiteral("COM1 (%1)").arg(SimDevice()));
    EXPECT_TRUE(App().Port().IsOpen());
    EXPECT_EQ(App().Port().PortNumber(), 1);
    EXPECT_EQ(ReadSettings(), "[Tavo GUI]\nUartPort=1\nBaudrate=9600\nLanguage=1\n");

    // Panel: six visible icon buttons labelled from the English table, two hidden ones.
    for (int i = 0; i < CControlPanel::kButtonCount; ++i) {
        QToolButton* b = Panel().Button(CControlPanel::IDC_CONNECT + i);
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(b->toolTip(), kEnglishLabels[i]);
        EXPECT_EQ(b->accessibleName(), kEnglishLabels[i]);
        EXPECT_FALSE(b->icon().isNull());
        const bool hidden = i == 3 || i == 7;
        EXPECT_EQ(b->isVisible(), !hidden) << i;
        EXPECT_TRUE(b->isEnabled());
    }
    EXPECT_EQ(Panel().geometry(), QRect(0, 0, View().width() + 1000, 40));
    // Dialog units of 宋体 12 pt: 2 px each at 96 dpi; Upload sits at 80, 0 (20 x 20).
    const QRect upload = Panel().DialogRect(80, 0, 20, 20);
    EXPECT_EQ(Panel().Button(CControlPanel::IDC_UPLOAD)->geometry(), upload);

    // Empty standard grid below the panel.
    const int rows = State().Tables().ParameterSettings().rowCount + State().FunctionSettings().rowCount;
    EXPECT_EQ(Grid().GetRowCount(), rows);
    EXPECT_EQ(Grid().GetColumnCount(), 3);
    EXPECT_EQ(Grid().geometry().top(), 40);
    for (int r = 0; r < rows; ++r) EXPECT_TRUE(Grid().GetItemText(r, 2).isEmpty()) << r;

    // Tree: product title, the parameter title expanded with its 8 groups, functions collapsed.
    QTreeWidget& tree = *Frame().Tree();
    ASSERT_EQ(tree.topLevelItemCount(), 1);
    QTreeWidgetItem* root = tree.topLevelItem(0);
    EXPECT_EQ(root->text(0), "FOC Controller");
    ASSERT_EQ(root->childCount(), 2);
    EXPECT_EQ(root->child(0)->text(0), Q(State().Tables().ParameterSettings().Title(dt::LANG_ENGLISH)));
    EXPECT_EQ(root->child(0)->childCount(), 8);
    EXPECT_TRUE(root->isExpanded());
    EXPECT_TRUE(root->child(0)->isExpanded());
    EXPECT_FALSE(root->child(1)->isExpanded());
    EXPECT_EQ(root->child(1)->childCount(), State().FunctionSettings().groupCount);
    EXPECT_EQ(tree.visualItemRect(root).height(), CGroupTree::kItemHeight);
    EXPECT_EQ(tree.palette().color(QPalette::Base), QColor(255, 255, 224));
    EXPECT_EQ(tree.font().family(), QStringLiteral("宋体"));
    EXPECT_EQ(tree.font().pointSizeF(), 11.0);
    EXPECT_EQ(Frame().TreePane()->windowTitle(), QStringLiteral("控制窗口"));
    EXPECT_EQ(Frame().dockWidgetArea(Frame().TreePane()), Qt::LeftDockWidgetArea);

    // Built-in logo at the bottom left.
    EXPECT_FALSE(Frame().Tree()->LogoFromFile());
    EXPECT_FALSE(Frame().Tree()->Logo().isNull());
    const QRect logo = Frame().Tree()->LogoRect();
    EXPECT_EQ(logo.left(), 20);
    EXPECT_EQ(logo.bottom() + 1, qMax(logo.height(), Frame().Tree()->viewport()->height() - 20));
}

// A logo file is read by the decoder its suffix names, or by its content when the suffix lies;
// anything unreadable leaves the built-in logo.
TEST_F(StartUpTest, LogoFromFileWhateverItsSuffix) {
    QTemporaryDir dir;
    QImage picture(30, 20, QImage::Format_RGB32);
    picture.fill(Qt::red);
    const QString png = dir.filePath(QStringLiteral("logo.png")), named = dir.filePath(QStringLiteral("logo.jpg"));
    ASSERT_TRUE(picture.save(png, "PNG"));
    ASSERT_TRUE(QFile::copy(png, named));
    const QString text = dir.filePath(QStringLiteral("text.png"));
    QFile f(text);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write("not a picture") > 0);
    f.close();

    CGroupTree tree;
    for (const QString& path : {png, named}) {
        tree.LoadLogo(path);
        EXPECT_TRUE(tree.LogoFromFile()) << path.toStdString();
        EXPECT_EQ(tree.Logo().size(), QSize(30, 20));
    }
    for (const QString& path : {text, dir.path()}) {
        tree.LoadLogo(path);
        EXPECT_FALSE(tree.LogoFromFile()) << path.toStdString();
        EXPECT_FALSE(tree.Logo().isNull());
    }
}

// The pictures decoded ahead on another thread are the ones Qt decodes, pixel for pixel; each is
// taken once, and a picture that could not be decoded ahead is read as before.
TEST_F(StartUpTest, PicturesDecodedAheadMatchQtsAndAreTakenOnce) {
    DecodedPictures ahead = DecodeBuiltInPictures();
    ASSERT_EQ(ahead.size(), 11);
    for (auto it = ahead.cbegin(); it != ahead.cend(); ++it) {
        const QImage qt = QImageReader(it.key()).read().convertToFormat(QImage::Format_ARGB32);
        ASSERT_FALSE(it->isNull()) << it.key().toStdString();
        EXPECT_EQ(it->convertToFormat(QImage::Format_ARGB32), qt) << it.key().toStdString();
    }

    QImage marker(2, 2, QImage::Format_ARGB32);
    marker.fill(Qt::red);
    ahead[kBuiltInLogo] = marker;
    ahead[kAppIcon48] = QImage();
    std::promise<DecodedPictures> handed;
    handed.set_value(ahead);
    UseDecodedPictures(handed.get_future());
    EXPECT_EQ(ReadPicture(kBuiltInLogo).size(), QSize(2, 2));
    EXPECT_EQ(ReadPicture(kBuiltInLogo).size(), QSize(240, 80));
    EXPECT_EQ(ReadPicture(kAppIcon48).size(), QSize(48, 48));
}

TEST_F(StartUpTest, TextIniChoosesTheChineseSlotWithItsOverridesAndSettingsAreRepaired) {
    ASSERT_TRUE(StartSim());
    WriteSettings("[Tavo GUI]\nUartPort=0\nBaudrate=-5\nLanguage=1\n");
    // A byte-order mark makes the file UTF-8; ids 1000, 1001 and 2003 are overridden.
    WriteFile("text.ini", QByteArray("\xEF\xBB\xBF") + QStringLiteral("1000=我的控制器\r\n1001=Link up\r\n=1\n2003=读完了\n")
                                                          .toUtf8());
    StartApp();

    EXPECT_EQ(State().language, dt::LANG_CHINESE);
    EXPECT_EQ(State().settings.Baudrate, 9600);
    EXPECT_EQ(Frame().Tree()->topLevelItem(0)->text(0), QStringLiteral("我的控制器"));
    EXPECT_EQ(Panel().Button(CControlPanel::IDC_CONNECT)->toolTip(), "Link up");
    EXPECT_EQ(Panel().Button(CControlPanel::IDC_UPLOAD)->toolTip(), QStringLiteral("从控制器上传"));
    EXPECT_EQ(ReadSettings(), "[Tavo GUI]\nUartPort=1\nBaudrate=9600\nLanguage=0\n");
    EXPECT_EQ(Grid().GetItemText(0, 0), Q(State().Tables().ParameterSettings().Title(dt::LANG_CHINESE)));

    ASSERT_TRUE(ConnectAndUpload());
    EXPECT_EQ(messages.back().text, "读完了");
}

TEST_F(StartUpTest, PortThatCannotBeOpenedIsReportedAndNoPortAtAllIsSilent) {
    StartApp([] { return std::vector<std::string>{"COM7 (/dev/nothing-here)"}; });
    ASSERT_EQ(messages.size(), 1u);
    // The port message, then why: no device has the number.
    EXPECT_EQ(messages[0].text, "fail to open the serial port COM7 9600\nNothing answers at COM7: check the cable and "
                                "the adapter,\nthen choose the port again from the list.");
    EXPECT_EQ(messages[0].type, dt::MB_ICON_ERROR);
    EXPECT_FALSE(App().Port().IsOpen());
    EXPECT_EQ(State().settings.UartPort, 7);

    // Connect with an empty box: port 0, the failure names COM0.
    Panel().PortBox()->clear();
    Panel().PortBox()->setEditText(QString());
    Press(CControlPanel::IDC_CONNECT);
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1].text.rfind("fail to open the serial port COM0 9600\n", 0), 0u);
    EXPECT_EQ(ReadSettings(), "[Tavo GUI]\nUartPort=0\nBaudrate=9600\nLanguage=1\n");
}

TEST_F(StartUpTest, WithoutPortsNothingIsOpenedAndPortZeroIsSaved) {
    StartApp([] { return std::vector<std::string>{}; });
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(Panel().PortBox()->currentText(), QString());
    EXPECT_EQ(State().settings.UartPort, 0);
    EXPECT_FALSE(App().Port().IsOpen());
    // Upload without a port is refused.
    Press(CControlPanel::IDC_UPLOAD);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "Please connect the device first");
    EXPECT_EQ(messages[0].type, dt::MB_ICON_WARNING);
}

TEST_F(StartUpTest, PortBoxRefillsOnDropDownAndSelectsTheFirstEntry) {
    std::vector<std::string> ports = {"COM3 (/dev/ttyS2)", "COM10 (/dev/x)"};
    StartApp([&ports] { return ports; });
    CPortBox& box = *Panel().PortBox();
    ASSERT_EQ(box.count(), 2);
    EXPECT_EQ(box.itemText(0), "COM10 (/dev/x)");  // sorted by text
    box.setEditText("COM5");
    ports.push_back("COM2 (/dev/y)");
    box.showPopup();
    EXPECT_EQ(box.count(), 3);
    EXPECT_EQ(box.currentText(), "COM10 (/dev/x)");
    box.hidePopup();
}

TEST_F(StartUpTest, PointedAtColourLiftsEveryChannelAlikeUpTo30) {
    EXPECT_EQ(CControlPanel::HotColour(QColor(100, 150, 200)), QColor(130, 180, 230));
    EXPECT_EQ(CControlPanel::HotColour(QColor(240, 200, 100)), QColor(255, 215, 115));
    EXPECT_EQ(CControlPanel::HotColour(QColor(255, 0, 0)), QColor(255, 0, 0));
}

// What a panel button paints beside its icon: the face at rest, lifted while pointed at (not
// when greyed), darker while pressed.
TEST_F(StartUpTest, PanelButtonFaceFollowsPointerAndPress) {
    CPanelButton b;
    b.resize(40, 40);
    b.setIconSize(QSize(32, 32));
    const QColor face = b.palette().color(QPalette::Button);
    auto painted = [&b] { return b.grab().toImage().pixel(2, b.height() / 2); };
    EXPECT_EQ(painted(), face.rgb());
    b.setAttribute(Qt::WA_UnderMouse);
    EXPECT_EQ(painted(), CControlPanel::HotColour(face).rgb());
    b.setDown(true);
    EXPECT_EQ(painted(), face.darker(115).rgb());
    b.setDown(false);
    b.setEnabled(false);
    EXPECT_EQ(painted(), face.rgb());
}

TEST_F(StartUpTest, ToggleLanguageKeepsTheFileRuleAndSaves) {
    StartApp([] { return std::vector<std::string>{}; });
    Panel().ToggleLanguage();
    EXPECT_EQ(State().language, dt::LANG_ENGLISH);
    EXPECT_EQ(Panel().Button(CControlPanel::IDC_CONNECT)->toolTip(), "Connect");
    EXPECT_EQ(ReadSettings(), "[Tavo GUI]\nUartPort=0\nBaudrate=9600\nLanguage=1\n");
}

}  // namespace

namespace {

TEST_F(StartUpTest, MessagesComeInTheToolsOwnBoxInTheCurrentLanguage) {
    struct Seen {
        QString caption, text, ok;
        int type;
    };
    std::vector<Seen> seen;
    SetMessageHook([&seen](CMessageDlg& dlg) {
        seen.push_back({dlg.windowTitle(), dlg.Text(), dlg.Button(CMessageDlg::IDC_OK)->text(), dlg.Type()});
        return int(CMessageDlg::IDOK);
    });
    StartApp([] { return std::vector<std::string>{"COM9 (/dev/nothing-here)"}; }, false);
    SetMessageHook(nullptr);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].caption, "BRISKWHEELS");
    EXPECT_EQ(seen[0].text.section('\n', 0, 0), "fail to open the serial port COM9 9600");
    EXPECT_EQ(seen[0].ok, "OK");
    EXPECT_EQ(seen[0].type, dt::MB_ICON_ERROR);
}

}  // namespace

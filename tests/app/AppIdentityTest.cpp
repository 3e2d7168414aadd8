// The window's identity on the desktop: the icon comes from the program's resources at both
// drawn sizes, and the desktop entry's name matches the installed drivetune.desktop. The
// program's first step.
#include <gtest/gtest.h>

#include "WindowHarness.h"

#include <QFile>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QIcon>
#include <QTemporaryDir>
#include <QThread>
#include <chrono>
#include <future>
#include <thread>

#include "AppIdentity.h"
#include "AppResources.h"
#include "ScopedXdgHome.h"
#include "SupportLog.h"
#include "Version.h"

TEST(AppIdentityTest, IconDesktopEntryAndVersion) {
    EnsureQtApplication();  // with the desktop-sized screen, whichever test comes first
    dt::SetApplicationIdentity();

    const QIcon icon = QGuiApplication::windowIcon();
    ASSERT_FALSE(icon.isNull()) << "the icon resources are missing";
    const QList<QSize> sizes = icon.availableSizes();
    EXPECT_TRUE(sizes.contains(QSize(48, 48)));
    EXPECT_TRUE(sizes.contains(QSize(128, 128)));

    EXPECT_EQ(QGuiApplication::desktopFileName(), QStringLiteral("drivetune"));
    EXPECT_TRUE(QFile::exists(QStringLiteral(DT_SOURCE_DIR "/packaging/%1.desktop").arg(dt::kDesktopFileName)));
    EXPECT_EQ(QCoreApplication::applicationVersion(), QStringLiteral(DRIVETUNE_VERSION));
}

// The program's first steps: fontconfig started and the font list read on other threads, the
// log started.
TEST(AppIdentityTest, WindowProgramStartReadsFontsAndStartsTheLog) {
    EnsureQtApplication();  // with the desktop-sized screen, whichever test comes first
    QTemporaryDir home;
    const dttest::ScopedXdgHome xdg(home.path().toStdString());
    std::future<void> fontList = dt::StartWindowProgram(dt::PrepareWindowProgram());
    ASSERT_TRUE(fontList.valid());
    EXPECT_EQ(fontList.wait_for(std::chrono::seconds(30)), std::future_status::ready);
    EXPECT_FALSE(QFontDatabase::families().isEmpty());
    dt::StopSupportLog();
    QFile log(QString::fromStdString(dt::SupportLogPath()));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_TRUE(log.readAll().contains("drivetune " DRIVETUNE_VERSION " started"));
}

// Qt takes the first thread that touches it for its main thread. The program's first step runs
// before the application exists and starts a second core: the application must still be made
// on the main thread, whatever that core touches. Run in a fresh process, with no application.
void StartAsTheProgramDoesWithAThreadThatTouchesQt() {
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& text) {
        if (text.contains(QLatin1String("not created in the main() thread"))) std::_Exit(1);
    });
    std::future<void> prepared = dt::PrepareWindowProgram();
    std::promise<void> touched, made;
    std::thread second([&] {
        QThread::currentThread();
        touched.set_value();
        made.get_future().wait();
    });
    touched.get_future().wait();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int argc = 1;
    char name[] = "drivetune-tests";
    char* argv[] = {name, nullptr};
    QGuiApplication app(argc, argv);
    made.set_value();
    second.join();
    prepared.wait();
    std::_Exit(0);
}

TEST(AppIdentityDeathTest, ApplicationIsMadeOnTheMainThreadAfterTheFirstStep) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(StartAsTheProgramDoesWithAThreadThatTouchesQt(), ::testing::ExitedWithCode(0), "");
}

// The window's identity on the desktop: the icon comes from the program's resources at both
// drawn sizes, and the desktop entry's name matches the installed drivetune.desktop.
#include <gtest/gtest.h>

#include "QtTestApp.h"

#include <QFile>
#include <QGuiApplication>
#include <QIcon>

#include "AppIdentity.h"
#include "AppResources.h"
#include "Version.h"

TEST(AppIdentityTest, IconDesktopEntryAndVersion) {
    dttest::GuiApp();
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

// A status text too long for its place: cut with "…", whole in the tooltip, never widening.
#include <gtest/gtest.h>

#include "ElidedLabel.h"
#include "WindowHarness.h"

namespace {

TEST(ElidedLabel, ALongTextIsCutAndShownWholeInTheTooltip) {
    EnsureQtApplication();
    CElidedLabel label;
    label.show();
    label.SetTip("Click for the list");
    const QString text = "COM33 (/dev/serial/by-id/usb-1a86_USB2.0-Serial-if00-port0) open";
    label.SetText(text);
    EXPECT_LT(label.minimumSizeHint().width(), label.fontMetrics().horizontalAdvance(text) / 4);
    label.resize(label.fontMetrics().horizontalAdvance(text) / 2, label.sizeHint().height());
    EXPECT_TRUE(label.ShownText().endsWith(QChar(0x2026))) << label.ShownText().toStdString();
    EXPECT_EQ(label.text(), text);
    EXPECT_EQ(label.toolTip(), text + "\nClick for the list");

    label.resize(label.fontMetrics().horizontalAdvance(text) + 20, label.sizeHint().height());
    EXPECT_EQ(label.ShownText(), text);
    EXPECT_EQ(label.toolTip(), "Click for the list");
    label.SetTip(QString());
    label.resize(40, label.sizeHint().height());
    EXPECT_EQ(label.toolTip(), text);
}

}  // namespace

// Export and Import through the file dialog: round trip, identity mismatch, short and long files.
#include <QFile>

#include "DriveTuneView.h"
#include "GridCtrl.h"
#include "MainFrame.h"
#include "ToolState.h"
#include "WindowHarness.h"

namespace {

class FilesTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        ASSERT_TRUE(StartSim());
        StartApp();
        ASSERT_TRUE(ConnectAndUpload());
        messages.clear();
    }

    QByteArray Exported() {
        fileAnswers.push_back(WorkPath("set.foc").toStdString());
        Press(CControlPanel::IDC_EXPORT);
        QFile f(WorkPath("set.foc"));
        if (!f.open(QIODevice::ReadOnly)) return QByteArray();
        return f.readAll();
    }

    void Import(const QString& name) {
        fileAnswers.push_back(WorkPath(name).toStdString());
        Press(CControlPanel::IDC_IMPORT);
    }
};

TEST_F(FilesTest, ExportThenImportRestoresTheGrid) {
    const QByteArray bytes = Exported();
    ASSERT_EQ(bytes.size(), 1024);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "Export file successfully");
    ASSERT_EQ(fileQuestions.size(), 1u);
    EXPECT_TRUE(fileQuestions[0].save);
    EXPECT_EQ(fileQuestions[0].title, "Export the parameters to a file");
    EXPECT_EQ(fileQuestions[0].filter, "DriveTune file(*.foc)");
    EXPECT_EQ(fileQuestions[0].defaultExt, "foc");

    const QString shown = CellText(kAccelerationRow);
    Grid().SetItemText(kAccelerationRow, 2, "    1");
    Import("set.foc");
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1].text, "Import file successfully");
    EXPECT_FALSE(fileQuestions[1].save);
    EXPECT_EQ(fileQuestions[1].title, "Import parameters from a file");
    EXPECT_EQ(CellText(kAccelerationRow), shown);
}

TEST_F(FilesTest, ForeignShortAndLongFilesAreTreatedByTheirRules) {
    QByteArray bytes = Exported();
    ASSERT_EQ(bytes.size(), 1024);
    const QString shown = CellText(kAccelerationRow);

    // Another controller: the identity words of section 0 differ.
    QByteArray foreign = bytes;
    foreign[0] = static_cast<char>(foreign[0] ^ 0x01);
    foreign[1] = static_cast<char>(foreign[1] ^ 0x01);
    WriteFile("foreign.foc", foreign);
    Grid().SetItemText(kAccelerationRow, 2, "    1");
    Import("foreign.foc");
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1].text, "File does not match with the controller");
    EXPECT_EQ(messages[1].type, dt::MB_ICON_WARNING);
    EXPECT_EQ(CellText(kAccelerationRow), "1");  // the grid is not refreshed

    WriteFile("short.foc", bytes.left(1023));
    Import("short.foc");
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[2].text, "Unable to import, file length error");
    EXPECT_EQ(messages[2].type, dt::MB_ICON_ERROR);

    WriteFile("long.foc", bytes + QByteArray(976, '\x55'));
    Import("long.foc");
    ASSERT_EQ(messages.size(), 4u);
    EXPECT_EQ(messages[3].text, "Import file successfully");
    EXPECT_EQ(CellText(kAccelerationRow), shown);

    // Capitals are not "foc": nothing happens; a cancelled dialog neither.
    WriteFile("upper.FOC", bytes);
    Import("upper.FOC");
    fileAnswers.push_back("");
    Press(CControlPanel::IDC_IMPORT);
    EXPECT_EQ(messages.size(), 4u);
}

// drivetune FILE: the file is imported once the window is up, exactly as Import does it.
TEST_F(FilesTest, AFileNamedAtStartIsImportedAsImportDoes) {
    const QByteArray bytes = Exported();
    ASSERT_EQ(bytes.size(), 1024);
    const QString shown = CellText(kAccelerationRow);
    Grid().SetItemText(kAccelerationRow, 2, "    1");
    messages.clear();
    App().ImportAtStart(WorkPath("set.foc").toStdString());
    ASSERT_TRUE(WaitForMessages(1));
    EXPECT_EQ(messages[0].text, "Import file successfully");
    EXPECT_EQ(CellText(kAccelerationRow), shown);
    EXPECT_EQ(fileQuestions.size(), 1u) << "no file dialog for a named file";

    App().ImportAtStart(WorkPath("missing.foc").toStdString());
    ASSERT_TRUE(WaitForMessages(2));
    EXPECT_EQ(messages[1].text, State().Message(dt::MSG_IMPORT_OPEN_FAILED));
}

}  // namespace

#pragma once
// The real window against drivetune-sim on a pseudo-terminal, in a private settings folder
// and working directory, with the message box and the file dialogs answered by the test.
#include <gtest/gtest.h>

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ControlPanel.h"
#include "DriveTuneApp.h"
#include "MessageDlg.h"
#include "ScopedXdgHome.h"

class CDriveTuneView;
class QWidget;
class CGridCtrl;
class CMainFrame;

// Rows of the standard controller's grid that the tests edit.
constexpr int kNominalRow = 6;
constexpr int kSoftUndervoltageRow = 14;  // choice of list 1
constexpr int kAccelerationRow = 46;      // numeric, integer, rule 41 (50..1200)
constexpr int kDecelerationRow = 47;      // numeric, integer, rule 42 (100..1200)

// The QApplication shared by every test of this executable (made on first use).
void EnsureQtApplication();

struct ShownMessage {
    std::string text;
    int type;
};

struct FileQuestion {
    bool save;
    std::string title;
    std::string filter;
    std::string defaultExt;
};


class WindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // drivetune-sim with these arguments; false when it did not come up.
    bool StartSim(const QStringList& args = {"--bind", "COM1"});
    void StopSim();
    const QString& SimDevice() const { return simDevice_; }

    // The window, started as the program starts it. lister replaces the system's port list;
    // answerMessages = false lets the real message box come up.
    void StartApp(CControlPanel::PortLister lister = {}, bool answerMessages = true);

    CDriveTuneApp& App() { return *app_; }
    CMainFrame& Frame();
    CDriveTuneView& View();
    CGridCtrl& Grid();
    CControlPanel& Panel();
    dt::ToolState& State() { return app_->State(); }

    // Presses a panel button with the mouse (hidden ones are clicked programmatically).
    void Press(int id);
    // Waits until at least count messages were shown.
    bool WaitForMessages(size_t count, int timeoutMs = 5000);
    // Connect, then the full upload up to its message. True when it said so.
    bool ConnectAndUpload();

    // A value cell edited the way a user does it: focus, type, Enter.
    void TypeValue(int row, const QString& text);
    // A choice cell opened, moved by arrow keys until text is selected, closed with Enter.
    bool PickChoice(int row, const QString& text);
    QString CellText(int row) const;

    std::string SettingsPath() const;
    std::string ReadSettings() const;
    void WriteSettings(const std::string& text);
    void WriteFile(const QString& name, const QByteArray& bytes);
    // A text.ini in the working directory: the window starts in Chinese. A byte-order mark makes
    // it UTF-8; one override shows that the file is read.
    void UseChinese();
    QString WorkPath(const QString& name) const;

    std::vector<ShownMessage> messages;
    std::deque<int> messageAnswers;       // next answers of the message boxes (else 1, OK)
    std::deque<std::string> fileAnswers;  // next answers of the file dialogs ("" cancels)
    std::vector<FileQuestion> fileQuestions;

private:
    std::unique_ptr<QTemporaryDir> config_;
    std::unique_ptr<QTemporaryDir> work_;
    QString oldCwd_;
    std::unique_ptr<dttest::ScopedXdgHome> xdg_;
    std::unique_ptr<QProcess> sim_;
    QString simDevice_;
    std::unique_ptr<CDriveTuneApp> app_;
};

// Typed into w character by character, any script (QTest's own typing knows ASCII only).
void TypeText(QWidget* w, const QString& text);

// Path of drivetune-sim in the build tree.
QString SimBinary();

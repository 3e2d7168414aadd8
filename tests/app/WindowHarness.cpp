#include "WindowHarness.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QTest>
#include <QToolButton>

#include <cstdlib>

#include "DriveTuneView.h"
#include "QtTestApp.h"
#include "GridCellCombo.h"
#include "GridCtrl.h"
#include "MainFrame.h"
#include "MessageDlg.h"
#include "Settings.h"

void EnsureQtApplication() {
    if (QApplication::instance()) return;
    // The offscreen screen is 800 x 800 unless told otherwise, too small for the window to
    // open at its own size: give it a desktop's.
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (!platform || std::string(platform) == "offscreen")
        setenv("QT_QPA_PLATFORM", "offscreen:configfile=" DT_SOURCE_DIR "/tests/app/DesktopScreen.json", 1);
    dttest::GuiApp();
}

void TypeText(QWidget* w, const QString& text) {
    for (const QChar ch : text) QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(ch), Qt::NoModifier);
}

QString SimBinary() { return QStringLiteral(DT_BINARY_DIR "/sim/drivetune-sim"); }

void WindowTest::SetUp() {
    EnsureQtApplication();
    config_ = std::make_unique<QTemporaryDir>();
    work_ = std::make_unique<QTemporaryDir>();
    ASSERT_TRUE(config_->isValid() && work_->isValid());
    xdg_ = std::make_unique<dttest::ScopedXdgHome>(config_->path().toStdString(), true);
    oldCwd_ = QDir::currentPath();
    QDir::setCurrent(work_->path());
}

void WindowTest::TearDown() {
    app_.reset();
    SetMessageHook(nullptr);
    StopSim();
    QDir::setCurrent(oldCwd_);
    xdg_.reset();
}

bool WindowTest::StartSim(const QStringList& args) {
    if (!QFile::exists(SimBinary())) {
        ADD_FAILURE() << "drivetune-sim is not built: " << SimBinary().toStdString();
        return false;
    }
    sim_ = std::make_unique<QProcess>();
    sim_->setProcessChannelMode(QProcess::SeparateChannels);
    sim_->start(SimBinary(), args);
    if (!sim_->waitForStarted(3000)) return false;
    for (int i = 0; i < 50 && !sim_->canReadLine(); ++i) sim_->waitForReadyRead(100);
    if (!sim_->canReadLine()) return false;
    simDevice_ = QString::fromLocal8Bit(sim_->readLine()).trimmed();
    return !simDevice_.isEmpty();
}

void WindowTest::StopSim() {
    if (!sim_) return;
    sim_->terminate();
    if (!sim_->waitForFinished(2000)) {
        sim_->kill();
        sim_->waitForFinished(1000);
    }
    sim_.reset();
}

void WindowTest::StartApp(CControlPanel::PortLister lister, bool answerMessages) {
    app_ = std::make_unique<CDriveTuneApp>(AppPaths::Default(), std::move(lister));
    // answerMessages = false leaves the hook as the test set it (or none: the real box).
    if (answerMessages) SetMessageHook([this](CMessageDlg& dlg) {
        messages.push_back({dlg.Text().toStdString(), dlg.Type()});
        if (messageAnswers.empty()) return 1;
        const int answer = messageAnswers.front();
        messageAnswers.pop_front();
        return answer;
    });
    app_->SetFileHook(
        [this](bool save, const std::string& title, const std::string& filter, const std::string& ext) {
            fileQuestions.push_back({save, title, filter, ext});
            if (fileAnswers.empty()) return std::string();
            std::string answer = fileAnswers.front();
            fileAnswers.pop_front();
            return answer;
        });
    ASSERT_TRUE(app_->InitInstance(true));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Frame()));
}

CMainFrame& WindowTest::Frame() { return *app_->MainFrame(); }
CDriveTuneView& WindowTest::View() { return *Frame().View(); }
CGridCtrl& WindowTest::Grid() { return *View().Grid(); }
CControlPanel& WindowTest::Panel() { return *Frame().Panel(); }

void WindowTest::Press(int id) {
    QToolButton* b = Panel().Button(id);
    ASSERT_NE(b, nullptr);
    if (b->isVisible()) QTest::mouseClick(b, Qt::LeftButton);
    else b->click();
}

bool WindowTest::WaitForMessages(size_t count, int timeoutMs) {
    return QTest::qWaitFor([&] { return messages.size() >= count; }, timeoutMs);
}

bool WindowTest::ConnectAndUpload() {
    const size_t before = messages.size();
    Press(CControlPanel::IDC_CONNECT);
    if (!WaitForMessages(before + 1)) return false;
    return messages.back().text == State().Message(dt::MSG_UPLOAD_OK);
}

void WindowTest::TypeValue(int row, const QString& text) {
    CGridCtrl& grid = Grid();
    grid.setFocus();
    grid.SetFocusCell(row, 2);
    grid.EnsureVisible(row, 2);
    QTest::keyClick(&grid, Qt::Key_F2);
    QWidget* editor = grid.InPlaceEditor();
    ASSERT_NE(editor, nullptr) << "no editor on row " << row;
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(editor, Qt::Key_Backspace);
    QTest::keyClicks(editor, text);
    QTest::keyClick(editor, Qt::Key_Return);
}

bool WindowTest::PickChoice(int row, const QString& text) {
    CGridCtrl& grid = Grid();
    grid.setFocus();
    grid.SetFocusCell(row, 2);
    grid.EnsureVisible(row, 2);
    QTest::keyClick(&grid, Qt::Key_F2);
    auto* list = qobject_cast<CGridInPlaceList*>(grid.InPlaceEditor());
    if (!list) return false;
    const int target = list->List()->count() > 0 ? [&] {
        for (int i = 0; i < list->List()->count(); ++i)
            if (list->List()->item(i)->text() == text) return i;
        return -1;
    }() : -1;
    if (target < 0) return false;
    QWidget* keys = list->List()->isVisible() ? static_cast<QWidget*>(list->List()) : static_cast<QWidget*>(list);
    // No option is selected while the cell carries its indent; the first Down selects option 0.
    for (int guard = 0; guard < 20 && list->CurrentIndex() != target; ++guard)
        QTest::keyClick(keys, list->CurrentIndex() < target ? Qt::Key_Down : Qt::Key_Up);
    if (list->CurrentIndex() != target) return false;
    QTest::keyClick(keys, Qt::Key_Return);
    return !grid.IsEditing();
}

QString WindowTest::CellText(int row) const { return app_->MainFrame()->View()->Grid()->GetItemText(row, 2); }

std::string WindowTest::SettingsPath() const { return dt::DefaultSettingsPath(); }

std::string WindowTest::ReadSettings() const {
    QFile f(QString::fromStdString(SettingsPath()));
    if (!f.open(QIODevice::ReadOnly)) return std::string();
    return f.readAll().toStdString();
}

void WindowTest::WriteSettings(const std::string& text) {
    const QString path = QString::fromStdString(SettingsPath());
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(text.c_str(), static_cast<qint64>(text.size()));
}

void WindowTest::WriteFile(const QString& name, const QByteArray& bytes) {
    QFile f(WorkPath(name));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

void WindowTest::UseChinese() {
    WriteFile("text.ini", QByteArray("\xEF\xBB\xBF") + QStringLiteral("1000=演示控制器\n").toUtf8());
}

QString WindowTest::WorkPath(const QString& name) const { return QDir(work_->path()).filePath(name); }

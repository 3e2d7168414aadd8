#include "StationFixture.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <fstream>

#include "Journal.h"
#include "SlotTile.h"

namespace stationtest {

std::string Sample(const std::string& name) { return std::string(DT_SOURCE_DIR) + "/samples/" + name; }

Batch::~Batch() {
    if (process_.state() == QProcess::NotRunning) return;
    process_.terminate();
    if (!process_.waitForFinished(3000)) process_.kill();
}

bool Batch::Start(int count) {
    process_.start(DT_BINARY_DIR "/sim/drivetune-sim", {"--count", QString::number(count)});
    if (!process_.waitForStarted()) return false;
    for (int i = 0; i < count; ++i) paths_.push_back(Line());
    return !paths_.back().empty();
}

bool Batch::Control(const std::string& line) {
    process_.write((line + "\n").c_str());
    process_.waitForBytesWritten(2000);
    return Line() == "ok";
}

std::string Batch::Line() {
    while (!process_.canReadLine())
        if (!process_.waitForReadyRead(5000)) return std::string();
    return process_.readLine().trimmed().toStdString();
}

StationTest::StationTest() : home_(dir_.path().toStdString()) { dttest::GuiApp(); }

std::unique_ptr<dt::station::StationWindow> StationTest::MakeWindow(bool chinese) {
    dt::station::StationEnv env;
    env.paths.settingsPath = Dir() + "/config/DriveTune/DriveTune.ini";
    env.paths.textIniPath = Dir() + "/text.ini";
    if (chinese) std::ofstream(env.paths.textIniPath) << "\n";
    env.paths.backupDir = Dir() + "/backups";
    env.journalPath = JournalPath();
    env.station = "bench 1";
    // The batch's terminals as bound ports COM1, COM2, ...
    env.ports = [this] {
        std::vector<dt::PortEntry> entries;
        for (size_t i = 0; i < batch_.Paths().size(); ++i) entries.push_back({int(i) + 1, batch_.Paths()[i], ""});
        return entries;
    };
    env.bell = [this] { ++bells_; };
    env.openFile = [this] { return chosenFile_; };
    return std::make_unique<dt::station::StationWindow>(env);
}

dt::station::StationWindow& StationTest::StartOn(int units, bool chinese) {
    EXPECT_TRUE(batch_.Start(units));
    window_ = MakeWindow(chinese);
    window_->resize(1024, 600);
    window_->show();
    EXPECT_TRUE(window_->OpenRecipe(Sample("standard-b.foc")));
    window_->SetSlotDevices(batch_.Paths());
    return *window_;
}

std::vector<record::Attempt> StationTest::Record() {
    record::Journal journal;
    std::string why;
    EXPECT_TRUE(journal.Open(JournalPath(), why)) << why;
    return journal.List(record::JournalFilter{}, why);
}

bool Eventually(const std::function<bool()>& done, int ms) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms) QTest::qWait(20);
    return done();
}

bool StationTest::AllTiles(const QString& word, int ms) {
    return Eventually(
        [&] {
            for (const dt::station::SlotTile* t : window_->Tiles())
                if (t->StateWord() != word) return false;
            return !window_->Tiles().empty();
        },
        ms);
}

bool StationTest::SlotsShow(const std::vector<int>& which, const QString& word) const {
    for (int s : which)
        if (window_->Tiles().at(s)->StateWord() != word) return false;
    return true;
}

void StationTest::StopRun() {
    QSignalSpy finished(window_.get(), &dt::station::StationWindow::RunFinished);
    QTest::mouseClick(window_->StopButton(), Qt::LeftButton);
    EXPECT_TRUE(finished.wait(10000));
}

}  // namespace stationtest

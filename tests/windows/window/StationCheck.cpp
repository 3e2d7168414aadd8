// The station window under Wine: opened as `drivetune --station RECIPE` opens it, on the system's
// port list, its slots set to the COM ports given, one batch run to its end. Prints each tile's
// port and state and the totals once every slot passed, saves a picture of the screen, prints
// "shown" and keeps the run up until the release file exists (or 60 s have passed), then stops it.
// Exits 0 when every slot passed and the run stopped.
//   drivetune-station-check <picture.png> <release file> <recipe> <COMn>...
#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLabel>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

#include <cstdio>

#include "AppIdentity.h"
#include "AppResources.h"
#include "SlotTile.h"
#include "StationWindow.h"

namespace {

bool AllShow(const dt::station::StationWindow& w, const QString& word) {
    for (const dt::station::SlotTile* t : w.Tiles())
        if (t->StateWord() != word) return false;
    return !w.Tiles().empty();
}

void Print(const dt::station::StationWindow& w) {
    for (const dt::station::SlotTile* t : w.Tiles())
        std::printf("tile %s: %s\n", t->Port().toStdString().c_str(), t->StateWord().toStdString().c_str());
    std::printf("totals: %s\n", w.Totals()->text().toStdString().c_str());
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 5) return 2;
    std::future<void> prepared = dt::PrepareWindowProgram();
    QApplication qt(argc, argv);
    const std::future<void> fontList = dt::StartWindowProgram(std::move(prepared));
    LoadAppResources();
    dt::station::StationWindow w;
    if (!w.OpenRecipe(argv[3])) {
        std::fprintf(stderr, "the recipe did not open: %s\n", w.MessageLine()->text().toStdString().c_str());
        return 1;
    }
    w.SetSlotDevices(std::vector<std::string>(argv + 4, argv + argc));
    w.resize(1024, 600);
    w.show();
    if (!QTest::qWaitForWindowExposed(&w, 10000)) return 1;
    w.Start();
    const bool passed = QTest::qWaitFor([&] { return AllShow(w, "PASS"); }, 60000);
    QTest::qWait(300);
    QGuiApplication::primaryScreen()->grabWindow(0).save(QString::fromLocal8Bit(argv[1]));
    Print(w);
    std::printf("shown\n");
    std::fflush(stdout);
    const QString release = QString::fromLocal8Bit(argv[2]);
    static_cast<void>(QTest::qWaitFor([&] { return QFileInfo::exists(release); }, 60000));
    QSignalSpy finished(&w, &dt::station::StationWindow::RunFinished);
    w.Stop();
    const bool stopped = finished.wait(20000);
    if (!stopped) std::fprintf(stderr, "the run did not stop\n");
    return passed && stopped ? 0 : 1;
}

#pragma once
// The station window against drivetune-sim --count N, in a folder of its own: its settings,
// journal and backups, never the real home.
#include <gtest/gtest.h>

#include <QProcess>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "QtTestApp.h"
#include "ScopedXdgHome.h"
#include "StationWindow.h"

// gtest prints texts as texts.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace stationtest {

// N virtual controllers on pseudo-terminals, removed, inserted and given faults on its input.
class Batch {
public:
    ~Batch();
    bool Start(int count);
    const std::vector<std::string>& Paths() const { return paths_; }
    // "remove 2", "insert 2 wrong-model": true when the simulator took it.
    bool Control(const std::string& line);

private:
    std::string Line();
    QProcess process_;
    std::vector<std::string> paths_;
};

class StationTest : public ::testing::Test {
protected:
    StationTest();
    // The window in English, or in Chinese (a text.ini beside it).
    std::unique_ptr<dt::station::StationWindow> MakeWindow(bool chinese = false);
    // Starts the batch and a window on its slots with the standard-b recipe.
    dt::station::StationWindow& StartOn(int units, bool chinese = false);
    std::string Dir() const { return dir_.path().toStdString(); }
    std::string JournalPath() const { return Dir() + "/production.sqlite"; }
    std::vector<record::Attempt> Record();
    // Waits (events running) until every tile's state word is word; false after ms.
    bool AllTiles(const QString& word, int ms);
    // Every tile of `which` shows word now.
    bool SlotsShow(const std::vector<int>& which, const QString& word) const;
    // Stops the run and waits for the window to say so.
    void StopRun();

    QTemporaryDir dir_;
    dttest::ScopedXdgHome home_;
    std::string chosenFile_;  // what the recipe's file dialog answers
    Batch batch_;
    int bells_ = 0;
    std::unique_ptr<dt::station::StationWindow> window_;
};

std::string Sample(const std::string& name);

// Runs events until done() holds; false after ms.
bool Eventually(const std::function<bool()>& done, int ms);

}  // namespace stationtest

#pragma once
// drivetune-cli run in this process against drivetune-sim in its own, each test with its own
// settings, data (backups) and state (log) folders, never the real home.
#include <gtest/gtest.h>

#include <QProcess>
#include <QTemporaryDir>
#include <memory>
#include <string>
#include <vector>

#include "CliMain.h"
#include "ScopedXdgHome.h"

namespace clitest {

using Bytes = std::vector<unsigned char>;

struct CliResult {
    int rc = -1;
    std::string out;
    std::string err;
};

// A running virtual controller.
class SimProcess {
public:
    ~SimProcess();
    // Starts drivetune-sim with args and the given settings folder; false when it printed no path.
    bool Start(const std::vector<std::string>& args, const std::string& configHome);
    const std::string& Path() const { return path_; }
    qint64 Pid() const;
    // Waits until its --verbose log holds part; false after ms without it.
    bool WaitForLog(const std::string& part, int ms);
    // Stops it and returns what it wrote on standard error (its --verbose log).
    std::string StopAndLog();

private:
    std::unique_ptr<QProcess> process_;
    std::string path_;
    std::string log_;  // read so far
};

Bytes ReadFile(const std::string& path);
void WriteFile(const std::string& path, const Bytes& bytes);
std::string Sample(const std::string& name);

// A standard block with the big-endian word at index (section*100 + word) set to value.
Bytes WithWord(Bytes block, int index, int value);

// One controller kind: how the simulator plays it, its file, and one value a download changes.
struct Kind {
    const char* name;
    std::vector<std::string> simArgs;
    const char* sample;   // the simulator's own set
    const char* heading;  // first line of its sheet
    const char* otherExtension;
    Bytes (*edit)(Bytes);
    const char* editedRow;     // the row the edit changes
    const char* factoryValue;  // its value before the edit
    const char* editedValue;   // and after it
};
// The standard controller and the FOC one.
const std::vector<Kind>& Kinds();
// ".foc" or ".ged"
std::string Extension(const Kind& k);

// Frames in the simulator's --verbose log that write or store values.
bool WroteAnything(const std::string& log);

class CliOnline : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts a simulator for this test; its path is sim().Path().
    void StartSim(const std::vector<std::string>& args);
    SimProcess& sim() { return *sim_; }
    CliResult Cli(const std::vector<std::string>& args, const dt::cli::Console& console = dt::cli::Console());
    // The same with input as its standard input.
    CliResult CliWithInput(const std::vector<std::string>& args, const Bytes& input);
    // drivetune-cli as a process of its own, with this test's folders; started, not awaited.
    std::unique_ptr<QProcess> StartCliProcess(const std::vector<std::string>& args);
    std::string Dir() const { return dir_->path().toStdString(); }
    std::string WriteTemp(const std::string& name, const Bytes& bytes);

private:
    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<SimProcess> sim_;
    std::unique_ptr<dttest::ScopedXdgHome> xdg_;
};

bool Contains(const std::string& text, const std::string& part);
// True when the JSON sheet in text has a row of this name showing this value.
bool ShowsValue(const std::string& text, const std::string& name, const std::string& value);

}  // namespace clitest

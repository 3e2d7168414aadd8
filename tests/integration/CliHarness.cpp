#include "CliHarness.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcessEnvironment>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

#include "CliMain.h"
#include "Json.h"
#include "QtTestApp.h"

namespace clitest {

namespace {

// The command line's port and time-out run on Qt's event loop: one application object for
// the whole test run.
const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new dttest::QtCoreEnvironment);

}  // namespace

SimProcess::~SimProcess() { StopAndLog(); }

bool SimProcess::Start(const std::vector<std::string>& args, const std::string& configHome) {
    process_ = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CONFIG_HOME", QString::fromStdString(configHome));
    env.insert("XDG_DATA_HOME", QString::fromStdString(configHome + "/data"));
    env.insert("XDG_STATE_HOME", QString::fromStdString(configHome + "/state"));
    process_->setProcessEnvironment(env);
    QStringList list;
    for (const std::string& a : args) list << QString::fromStdString(a);
    process_->start(DT_BINARY_DIR "/sim/drivetune-sim", list);
    if (!process_->waitForStarted(5000)) return false;
    while (!process_->canReadLine())
        if (!process_->waitForReadyRead(5000)) return false;
    path_ = process_->readLine().trimmed().toStdString();
    return !path_.empty();
}

qint64 SimProcess::Pid() const { return process_ ? process_->processId() : 0; }

bool SimProcess::WaitForLog(const std::string& part, int ms) {
    QElapsedTimer waited;
    waited.start();
    // waitForReadyRead wakes for the read channel only.
    process_->setReadChannel(QProcess::StandardError);
    while (true) {
        log_ += process_->readAllStandardError().toStdString();
        if (log_.find(part) != std::string::npos) return true;
        const int left = ms - static_cast<int>(waited.elapsed());
        if (left <= 0) return false;
        process_->waitForReadyRead(left);
    }
}

std::string SimProcess::StopAndLog() {
    if (!process_) return "";
    process_->terminate();  // lets it remove its ports/ link
    if (!process_->waitForFinished(3000)) {
        process_->kill();
        process_->waitForFinished(1000);
    }
    std::string log = log_ + process_->readAllStandardError().toStdString();
    log_.clear();
    process_.reset();
    return log;
}

Bytes ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteFile(const std::string& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::string Sample(const std::string& name) { return std::string(DT_SOURCE_DIR) + "/samples/" + name; }

Bytes WithWord(Bytes block, int index, int value) {
    const size_t o = static_cast<size_t>((index / 100) * 256 + (index % 100) * 2);
    block.at(o) = static_cast<unsigned char>(value >> 8);
    block.at(o + 1) = static_cast<unsigned char>(value & 0xFF);
    return block;
}

namespace {

Bytes FasterMotor(Bytes b) { return WithWord(std::move(b), 203, 1500); }  // rated motor speed

Bytes FasterFoc(Bytes b) {  // maximum forward speed, little-endian at offset 6
    b.at(6) = 600 & 0xFF;
    b.at(7) = 600 >> 8;
    return b;
}

}  // namespace

const std::vector<Kind>& Kinds() {
    static const std::vector<Kind> kKinds = {
        {"standard", {}, "standard-b.foc", "== Controller Parameter settings ==", "ged", FasterMotor,
         "Rated motor speed (rpm)", "1000", "1500"},
        {"foc", {"--foc"}, "foc.ged", "== FOC Controller setting ==", "foc", FasterFoc,
         "Maximum Forward speed (rpm)", "500", "600"},
    };
    return kKinds;
}

std::string Extension(const Kind& k) { return std::string(k.sample).substr(std::string(k.sample).rfind('.')); }

bool WroteAnything(const std::string& log) {
    for (const char* code : {"rx 0x21", "rx 0x28", "rx 0x29", "rx 0x2A", "rx 0x2B", "rx 0x2C", "rx 0x80"})
        if (Contains(log, code)) return true;
    return false;
}

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

bool ShowsValue(const std::string& text, const std::string& name, const std::string& value) {
    const dt::cli::Json sheet = dt::cli::Json::parse(text, nullptr, false);
    if (!sheet.is_object() || !sheet.contains("rows")) return false;
    for (const dt::cli::Json& row : sheet.at("rows"))
        if (row.at("name") == name && row.at("value") == value) return true;
    return false;
}

void CliOnline::SetUp() {
    dir_ = std::make_unique<QTemporaryDir>();
    ASSERT_TRUE(dir_->isValid());
    xdg_ = std::make_unique<dttest::ScopedXdgHome>(Dir(), true);
}

void CliOnline::TearDown() {
    sim_.reset();
    xdg_.reset();
}

void CliOnline::StartSim(const std::vector<std::string>& args) {
    sim_ = std::make_unique<SimProcess>();
    ASSERT_TRUE(sim_->Start(args, Dir())) << "drivetune-sim did not start";
}

CliResult CliOnline::Cli(const std::vector<std::string>& args, const dt::cli::Console& console) {
    std::ostringstream out, err;
    CliResult r;
    // No text.ini in the test folder: English unless --lang says otherwise.
    r.rc = dt::cli::Run(args, out, err, Dir() + "/text.ini", 80, nullptr, console);
    r.out = out.str();
    r.err = err.str();
    return r;
}

CliResult CliOnline::CliWithInput(const std::vector<std::string>& args, const Bytes& input) {
    std::ostringstream out, err;
    std::istringstream in(std::string(input.begin(), input.end()));
    CliResult r;
    r.rc = dt::cli::Run(args, out, err, Dir() + "/text.ini", 80, &in);
    r.out = out.str();
    r.err = err.str();
    return r;
}

std::unique_ptr<QProcess> CliOnline::StartCliProcess(const std::vector<std::string>& args) {
    auto process = std::make_unique<QProcess>();
    // The test's XDG folders are in this process's environment.
    process->setProcessEnvironment(QProcessEnvironment::systemEnvironment());
    process->setWorkingDirectory(QString::fromStdString(Dir()));
    QStringList list;
    for (const std::string& a : args) list << QString::fromStdString(a);
    process->start(DT_BINARY_DIR "/cli/drivetune-cli", list);
    EXPECT_TRUE(process->waitForStarted(5000));
    return process;
}

std::string CliOnline::WriteTemp(const std::string& name, const Bytes& bytes) {
    const std::string path = Dir() + "/" + name;
    WriteFile(path, bytes);
    return path;
}

}  // namespace clitest

// A full upload and a full download (with its store) against drivetune-sim --pace over a
// pseudo-terminal, timed against the wire time of the frames both ways (10 bits a byte).
//
//   UploadDownloadBench [--baud N] [--rounds N] [--port COM<n>]
// With --port, a simulator already running --pace on that port is used (the Windows build under
// Wine, whose COM port leads to the pseudo-terminal of a Linux drivetune-sim).
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "ConsoleHost.h"
#include "OnlineSession.h"
#include "ToolState.h"

namespace {

// Counts the bytes the link writes and reads on its way to the real port.
class CountingPort : public dt::BytePort {
public:
    explicit CountingPort(dt::BytePort& inner) : inner_(inner) {
        inner_.SetReceivedHandler([this](int n) { NotifyReceived(n); });
    }
    ~CountingPort() override { inner_.SetReceivedHandler({}); }
    bool OpenPort(int number, int baud) override { return inner_.OpenPort(number, baud); }
    void Close() override { inner_.Close(); }
    bool IsOpen() const override { return inner_.IsOpen(); }
    int PortNumber() const override { return inner_.PortNumber(); }
    int Write(const uint8_t* data, int count) override {
        int n = inner_.Write(data, count);
        bytes += n;
        return n;
    }
    int Read(uint8_t* buffer, int maxBytes) override {
        int n = inner_.Read(buffer, maxBytes);
        bytes += n;
        return n;
    }
    int BytesAvailable() const override { return inner_.BytesAvailable(); }

    long long bytes = 0;

private:
    dt::BytePort& inner_;
};

struct Sample {
    double elapsedMs;
    double wireMs;
    double Ratio() const { return elapsedMs / wireMs; }
};

void Report(const char* what, std::vector<Sample> samples) {
    std::sort(samples.begin(), samples.end(), [](const Sample& a, const Sample& b) { return a.Ratio() < b.Ratio(); });
    const Sample& best = samples.front();
    const Sample& median = samples[samples.size() / 2];
    const Sample& worst = samples.back();
    std::printf("%-9s wire %7.1f ms  elapsed: best %7.1f  median %7.1f  worst %7.1f ms  ratio: best %.3f  median %.3f  worst %.3f\n",
                what, median.wireMs, best.elapsedMs, median.elapsedMs, worst.elapsedMs, best.Ratio(), median.Ratio(),
                worst.Ratio());
}

bool StartSim(QProcess& sim, const QString& configDir, int baud, std::string& device) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CONFIG_HOME", configDir);
    sim.setProcessEnvironment(env);
    sim.start(DT_BINARY_DIR "/sim/drivetune-sim", {"--pace", "--baud", QString::number(baud)});
    if (!sim.waitForStarted(5000)) {
        std::fprintf(stderr, "cannot start %s\n", DT_BINARY_DIR "/sim/drivetune-sim");
        return false;
    }
    while (!sim.canReadLine()) {
        if (!sim.waitForReadyRead(5000)) {
            std::fprintf(stderr, "drivetune-sim printed no device: %s\n", sim.readAllStandardError().constData());
            return false;
        }
    }
    device = sim.readLine().trimmed().toStdString();
    return true;
}

struct Options {
    int baud = 9600;
    int rounds = 5;
    int portNumber = 0;  // 0: a simulator of the bench's own
};

Options ParseOptions(int argc, char** argv) {
    Options o;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--baud")) o.baud = std::atoi(argv[i + 1]);
        else if (!std::strcmp(argv[i], "--rounds")) o.rounds = std::max(1, std::atoi(argv[i + 1]));
        else if (!std::strcmp(argv[i], "--port") && !std::strncmp(argv[i + 1], "COM", 3))
            o.portNumber = std::atoi(argv[i + 1] + 3);
    }
    return o;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const Options options = ParseOptions(argc, argv);
    const int baud = options.baud, rounds = options.rounds, portNumber = options.portNumber;

    QTemporaryDir config;
    QProcess sim;
    std::string device;
    if (portNumber == 0 && !StartSim(sim, config.path(), baud, device)) return 1;

    dt::ToolState s;
    s.settings.Baudrate = baud;
    std::ostringstream out, err;
    dt::cli::ConsoleHost host(s, out, err);
    dt::SerialPort serial;
    CountingPort counting(serial);
    dt::cli::OnlineSession session(s, host, err, serial, counting);
    if (!session.Open({portNumber, device})) {
        std::fprintf(stderr, "%s", err.str().c_str());
        return 1;
    }
    auto& commands = session.Link().commands;
    const double msPerByte = 10.0 * 1000.0 / baud;

    // One exchange, timed from its first request to its final message.
    auto measure = [&](const std::function<bool()>& start, bool& ok) {
        counting.bytes = 0;
        const int completions = session.Reads();
        session.ResetOutcome();
        QElapsedTimer clock;
        clock.start();
        session.Run(start);
        Sample sample{clock.nsecsElapsed() / 1e6, counting.bytes * msPerByte};
        ok = session.Reads() > completions || session.LastOutcome() == dt::cli::OnlineSession::Outcome::Stored;
        return sample;
    };

    std::vector<Sample> uploads, downloads;
    for (int r = 0; r < rounds; ++r) {
        bool ok = false;
        uploads.push_back(measure([&] { return commands.StartConnect(); }, ok));
        if (!ok) {
            std::fprintf(stderr, "upload failed: %s", err.str().c_str());
            return 1;
        }
        downloads.push_back(measure([&] { return commands.Download(); }, ok));
        if (!ok) {
            std::fprintf(stderr, "download failed: %s%s", out.str().c_str(), err.str().c_str());
            return 1;
        }
    }
    std::printf("drivetune-sim --pace at %d Bd, %d rounds, %s; goal: ratio at most 1.05\n", baud, rounds,
                portNumber ? ("COM" + std::to_string(portNumber)).c_str() : device.c_str());
    Report("upload", uploads);
    Report("download", downloads);
    sim.terminate();
    sim.waitForFinished(3000);
    return 0;
}

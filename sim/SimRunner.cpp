#include "SimRunner.h"

#include <cerrno>
#include <cstdio>
#include <poll.h>
#include <unistd.h>

#include "Frame.h"
#include "PortBinding.h"
#include "PseudoTerminal.h"
#include "ReplyWriter.h"
#include "StopSignal.h"
#include "VirtualController.h"

namespace sim {

namespace {

constexpr auto kIdleReset = std::chrono::milliseconds(200);

class Log {
public:
    explicit Log(bool verbose) : verbose_(verbose), start_(Clock::now()) {}
    void Line(const std::string& text) const {
        if (!verbose_) return;
        double seconds = std::chrono::duration<double>(Clock::now() - start_).count();
        std::fprintf(stderr, "drivetune-sim %9.3f %s\n", seconds, text.c_str());
    }

private:
    bool verbose_;
    Clock::time_point start_;
};

}  // namespace

// Serves requests until a stop signal; false when the terminal fails.
bool Serve(int master, const RequestHandler& handle, ReplyWriter& writer, bool verbose) {
    const Log log(verbose);
    FrameReader reader;
    int dropped = 0;
    auto logDropped = [&]() {
        if (reader.droppedBytes() == dropped) return;
        log.Line("rx skipped " + std::to_string(reader.droppedBytes() - dropped) + " byte(s): noise, bad frames");
        dropped = reader.droppedBytes();
    };
    uint8_t buffer[1024];
    Clock::time_point idleSince = Clock::now();  // when the last bytes were handled
    for (;;) {
        pollfd fds[2] = {{master, POLLIN, 0}, {StopWakeFd(), POLLIN, 0}};
        int ready = poll(fds, 2, -1);
        if (StopRequested()) return true;
        if (ready < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (fds[0].revents & (POLLERR | POLLNVAL)) return false;
        if (!(fds[0].revents & POLLIN)) {
            if (fds[0].revents & POLLHUP) usleep(10000);  // no slave side at the moment
            continue;
        }
        ssize_t n = read(master, buffer, sizeof buffer);
        if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
        if (n < 0 && errno == EIO) {  // no slave side at the moment; not expected while we hold one
            usleep(10000);
            continue;
        }
        if (n <= 0) return false;
        Clock::time_point arrival = Clock::now();
        // Like a UART receiver, an idle line ends a frame: the rest of a request that a client
        // abandoned must not swallow the next client's request.
        // The gap counts from the end of the last handling, not from its start: bytes that came
        // while a reply was going out are not late.
        if (reader.pendingBytes() > 0 && arrival - idleSince > kIdleReset) reader.DropPending();
        reader.Append(buffer, static_cast<int>(n));

        Frame request;
        while (reader.Next(request)) {
            logDropped();
            if (!writer.AwaitRequest(static_cast<int>(request.payload.size()) + 4, arrival)) return true;
            Reply reply = handle(request);
            log.Line("rx " + reply.request);
            if (reply.frame.empty()) continue;
            if (!writer.Send(reply.frame)) return StopRequested();
            log.Line("tx " + reply.answer);
        }
        logDropped();
        idleSince = Clock::now();
    }
}

bool BuildControllerSet(const SimOptions& options, ControllerSet& set, std::string& error) {
    if (!options.file.empty()) {
        if (!LoadSetFile(options.file, set, error)) return false;
    } else {
        set = BuiltInController(options.kind, options.variantA ? Variant::A : Variant::B);
    }
    if (options.uncalibrated) set.SetWord(9, 0);
    return true;
}

int RunSimulator(const SimOptions& options) {
    if (options.count > 0) return RunBatch(options);
    ControllerSet set;
    std::string error;
    if (!BuildControllerSet(options, set, error)) {
        std::fprintf(stderr, "drivetune-sim: %s\n", error.c_str());
        return 2;  // as the command line: a file that cannot be used is a usage error
    }
    if (!options.writeSample.empty()) {
        if (!WriteSetFile(options.writeSample, set, error)) {
            std::fprintf(stderr, "drivetune-sim: %s\n", error.c_str());
            return 1;
        }
        return 0;
    }

    if (!InstallStopHandlers()) {
        std::perror("drivetune-sim: pipe");
        return 1;
    }
    PseudoTerminal terminal;
    if (!terminal.Open(options.wire.baud, error)) {
        std::fprintf(stderr, "drivetune-sim: cannot open a pseudo-terminal: %s\n", error.c_str());
        return 1;
    }
    // Bound before the path is printed: whoever reads the path can use COM<n> at once.
    PortBinding binding;
    if (options.bindCom > 0 && !binding.Create(SettingsFolder(), options.bindCom, terminal.slavePath(), error)) {
        std::fprintf(stderr, "drivetune-sim: cannot bind COM%d: %s\n", options.bindCom, error.c_str());
        return 1;
    }
    std::printf("%s\n", terminal.slavePath().c_str());
    std::fflush(stdout);

    std::string where = terminal.slavePath();
    if (!binding.linkPath().empty())
        where += " as COM" + std::to_string(options.bindCom) + " (" + binding.linkPath() + ")";
    std::fprintf(stderr, "drivetune-sim: %s on %s\n", set.Describe().c_str(), where.c_str());

    VirtualController controller(set, options.behaviour);
    ReplyWriter writer(terminal.master(), options.wire);
    bool ok = Serve(
        terminal.master(), [&](const Frame& request) { return controller.Handle(request); }, writer, options.verbose);
    binding.Remove();
    terminal.Close();
    if (!ok) {
        std::fprintf(stderr, "drivetune-sim: the terminal failed\n");
        return 1;
    }
    return 0;
}

}  // namespace sim

// drivetune-sim as a client sees it: raw frames over its pseudo-terminal.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <map>
#include <poll.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>
#include <vector>

#include "Version.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Clock = std::chrono::steady_clock;

const char* const kSimPath = DT_BINARY_DIR "/sim/drivetune-sim";

Bytes Encode(uint8_t code, const Bytes& payload = {}) {
    Bytes frame;
    frame.reserve(payload.size() + 4);
    frame.push_back(0x66);
    frame.push_back(code);
    frame.push_back(static_cast<uint8_t>(payload.size()));
    for (uint8_t b : payload) frame.push_back(b);
    unsigned sum = 0;
    for (uint8_t b : frame) sum += b;
    frame.push_back(static_cast<uint8_t>(sum));
    return frame;
}

Bytes ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteFile(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::string TempDir() {
    char pattern[] = "/tmp/dt-sim-test-XXXXXX";
    const char* dir = mkdtemp(pattern);
    return dir ? dir : "/tmp";
}

struct RunResult {
    int status = -1;
    std::string out;
};

// Runs the simulator to completion (for --help, --write-sample and refused command lines).
RunResult RunToEnd(const std::vector<std::string>& args) {
    // A line taken by mistake would serve forever: bounded, it ends as a failure.
    std::string command = "timeout 20 " + std::string(kSimPath);
    for (const std::string& a : args) command += " '" + a + "'";
    command += " 2>&1";
    RunResult result;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return result;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) result.out.append(buffer, n);
    int status = pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

// A running drivetune-sim and the client end of its terminal.
class Sim {
public:
    Sim() = default;
    Sim(const Sim&) = delete;
    Sim& operator=(const Sim&) = delete;
    ~Sim() {
        if (fd_ >= 0) close(fd_);
        Stop(SIGKILL);
    }

    // Starts the simulator and reads the device path from its first output line.
    bool Start(const std::vector<std::string>& args, const std::map<std::string, std::string>& env = {}) {
        int out[2];
        if (pipe(out) != 0) return false;
        pid_ = fork();
        if (pid_ == 0) {
            dup2(out[1], STDOUT_FILENO);
            int null = open("/dev/null", O_WRONLY);
            dup2(null, STDERR_FILENO);
            close(out[0]);
            close(out[1]);
            for (const auto& [name, value] : env) setenv(name.c_str(), value.c_str(), 1);
            std::vector<char*> argv = {const_cast<char*>(kSimPath)};
            for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
            argv.push_back(nullptr);
            execv(kSimPath, argv.data());
            _exit(127);
        }
        close(out[1]);
        std::string line;
        auto deadline = Clock::now() + std::chrono::seconds(5);
        while (Clock::now() < deadline) {
            pollfd p{out[0], POLLIN, 0};
            if (poll(&p, 1, 100) <= 0) continue;
            char c;
            if (read(out[0], &c, 1) != 1) break;
            if (c == '\n') {
                path = line;
                break;
            }
            line += c;
        }
        close(out[0]);
        return !path.empty();
    }

    // Opens the terminal as a serial client would: raw, no controlling terminal.
    bool Open(const std::string& device = {}) {
        fd_ = open(device.empty() ? path.c_str() : device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (fd_ < 0) return false;
        termios tio{};
        tcgetattr(fd_, &tio);
        cfmakeraw(&tio);
        tcsetattr(fd_, TCSANOW, &tio);
        tcflush(fd_, TCIOFLUSH);
        return true;
    }

    bool StartAndOpen(const std::vector<std::string>& args) { return Start(args) && Open(); }

    void Send(const Bytes& bytes) { ASSERT_EQ(write(fd_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size())); }

    // Reads until a valid frame is complete (noise before it is kept in `skipped`) or time runs out.
    bool ReadFrame(Bytes& frame, int timeoutMs = 1000) {
        auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
        for (;;) {
            if (CutFrame(frame)) return true;
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
            if (left <= 0) return false;
            pollfd p{fd_, POLLIN, 0};
            if (poll(&p, 1, static_cast<int>(left)) <= 0) continue;
            uint8_t buffer[512];
            ssize_t n = read(fd_, buffer, sizeof buffer);
            if (n > 0) {
                pending_.insert(pending_.end(), buffer, buffer + n);
                ++reads;
            }
        }
    }

    Bytes Exchange(const Bytes& request, int timeoutMs = 1000) {
        Send(request);
        Bytes reply;
        ReadFrame(reply, timeoutMs);
        return reply;
    }

    // The 32 payload bytes of a block reply, or nothing.
    Bytes ReadBlock(uint8_t code) {
        Bytes reply = Exchange(Encode(code));
        if (reply.size() != 36 || reply[1] != code) return {};
        return Bytes(reply.begin() + 3, reply.end() - 1);
    }

    // True when nothing at all arrives within the time.
    bool Quiet(int ms) {
        pollfd p{fd_, POLLIN, 0};
        return poll(&p, 1, ms) == 0 && pending_.empty();
    }

    // Sends a signal and returns the exit status (-1 when it did not exit normally).
    int Stop(int signal = SIGTERM) {
        if (pid_ <= 0) return -1;
        kill(pid_, signal);
        int status = 0;
        for (int i = 0; i < 300; ++i) {
            if (waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            }
            usleep(10000);
        }
        kill(pid_, SIGKILL);
        waitpid(pid_, &status, 0);
        pid_ = -1;
        return -1;
    }

    std::string path;
    int reads = 0;       // read() calls that returned data
    size_t skipped = 0;  // bytes dropped before frames

private:
    // The client's own frame finder: skip to a start byte, accept lengths up to 32 and a matching sum.
    bool CutFrame(Bytes& frame) {
        for (;;) {
            while (!pending_.empty() && pending_[0] != 0x66) {
                pending_.erase(pending_.begin());
                ++skipped;
            }
            if (pending_.size() < 3) return false;
            size_t length = pending_[2];
            bool bad = length > 32;
            if (!bad) {
                if (pending_.size() < length + 4) return false;
                unsigned sum = 0;
                for (size_t i = 0; i < length + 3; ++i) sum += pending_[i];
                bad = static_cast<uint8_t>(sum) != pending_[length + 3];
            }
            if (bad) {
                pending_.erase(pending_.begin());
                ++skipped;
                continue;
            }
            frame.assign(pending_.begin(), pending_.begin() + static_cast<long>(length) + 4);
            pending_.erase(pending_.begin(), pending_.begin() + static_cast<long>(length) + 4);
            return true;
        }
    }

    pid_t pid_ = -1;
    int fd_ = -1;
    Bytes pending_;
};

// 0 when the block is too short for the word (no reply at all): a failed expectation, not a crash.
uint16_t BigEndianWord(const Bytes& block, int word) {
    if (block.size() < static_cast<size_t>(2 * word + 2)) return 0;
    return static_cast<uint16_t>(block[2 * word] << 8 | block[2 * word + 1]);
}

const uint8_t kReadChain[] = {0x10, 0x11, 0x12, 0x13, 0x14, 0x18, 0x19, 0x1A, 0x1B, 0x1C};

// Offset in the 1024-byte image of the block a read or write code names.
int ImageOffset(uint8_t code) {
    int n = code & 0x0F;
    if (n == 0) return 0;
    if (n <= 4) return 768 + (n - 1) * 32;
    if (n <= 10) return 512 + (n - 8) * 32;
    return 256 + (n - 11) * 32;
}

TEST(SimController, AnswersConnectWithItsOwnCode) {
    Sim sim;
    ASSERT_TRUE(sim.StartAndOpen({}));
    EXPECT_EQ(sim.Exchange(Encode(0x02)), (Bytes{0x66, 0x02, 0x00, 0x68}));
}

TEST(SimController, IdentityCarriesTheModelWordOfEachKind) {
    struct Case {
        std::vector<std::string> args;
        uint16_t modelWord;
    } cases[] = {
        {{}, 0x0400 | 300},
        {{"--variant-a"}, 0x0400 | 260},
        {{"--foc"}, 0xFFFE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.empty() ? "default" : c.args[0]);
        Sim sim;
        ASSERT_TRUE(sim.StartAndOpen(c.args));
        Bytes identity = sim.ReadBlock(0x10);
        ASSERT_EQ(identity.size(), 32u);
        EXPECT_EQ(BigEndianWord(identity, 15), c.modelWord);
    }
}

TEST(SimController, ReadChainDeliversTheSampleImage) {
    Sim sim;
    ASSERT_TRUE(sim.StartAndOpen({}));
    Bytes sample = ReadFile(DT_SOURCE_DIR "/samples/standard-b.foc");
    ASSERT_EQ(sample.size(), 1024u);
    for (uint8_t code : kReadChain) {
        SCOPED_TRACE(code);
        Bytes block = sim.ReadBlock(code);
        ASSERT_EQ(block.size(), 32u);
        EXPECT_EQ(block, Bytes(sample.begin() + ImageOffset(code), sample.begin() + ImageOffset(code) + 32));
    }
}

TEST(SimController, FocControllerSendsItsBlockForRequest11) {
    Sim sim;
    ASSERT_TRUE(sim.StartAndOpen({"--foc"}));
    ASSERT_EQ(sim.ReadBlock(0x10).size(), 32u);
    EXPECT_EQ(sim.ReadBlock(0x11), ReadFile(DT_SOURCE_DIR "/samples/foc.ged"));
    // It has no further blocks.
    sim.Send(Encode(0x12));
    EXPECT_TRUE(sim.Quiet(150));
}

TEST(SimController, WrittenBlocksBecomeTheStoredSetOnStore) {
    Sim sim;
    ASSERT_TRUE(sim.StartAndOpen({}));
    Bytes original = sim.ReadBlock(0x18);
    ASSERT_EQ(original.size(), 32u);
    Bytes changed = original;
    changed[7] ^= 0x55;  // word 203, rated speed

    EXPECT_EQ(sim.Exchange(Encode(0x28, changed)), (Bytes{0x66, 0x28, 0x00, 0x8E}));
    EXPECT_EQ(sim.ReadBlock(0x18), original) << "held, not stored yet";
    EXPECT_EQ(sim.Exchange(Encode(0x80)), (Bytes{0x66, 0x03, 0x00, 0x69}));
    EXPECT_EQ(sim.ReadBlock(0x18), changed);
}

TEST(SimController, RestoreDefaultsTakesEffectOnTheNextStore) {
    Sim sim;
    ASSERT_TRUE(sim.StartAndOpen({}));
    Bytes factory = sim.ReadBlock(0x1B);
    Bytes changed = factory;
    changed[0] ^= 0x80;  // word 100, EBS enable
    sim.Exchange(Encode(0x2B, changed));
    sim.Exchange(Encode(0x80));
    ASSERT_EQ(sim.ReadBlock(0x1B), changed);

    EXPECT_EQ(sim.Exchange(Encode(0x81)), (Bytes{0x66, 0x81, 0x00, 0xE7}));
    EXPECT_EQ(sim.Exchange(Encode(0x80)), (Bytes{0x66, 0x03, 0x00, 0x69}));
    EXPECT_EQ(sim.ReadBlock(0x1B), factory);
    // Once restored, a plain store keeps the set as it is.
    EXPECT_EQ(sim.Exchange(Encode(0x80)), (Bytes{0x66, 0x03, 0x00, 0x69}));
    EXPECT_EQ(sim.ReadBlock(0x1B), factory);
}

TEST(SimController, FocBlockWriteStoreAndReread) {
    Sim sim;
    ASSERT_TRUE(sim.StartAndOpen({"--foc"}));
    Bytes block = sim.ReadBlock(0x11);
    ASSERT_EQ(block.size(), 32u);
    block[1] = 70;  // PAS ratio
    EXPECT_EQ(sim.Exchange(Encode(0x21, block)), (Bytes{0x66, 0x21, 0x00, 0x87}));
    EXPECT_EQ(sim.Exchange(Encode(0x80)), (Bytes{0x66, 0x03, 0x00, 0x69}));
    EXPECT_EQ(sim.ReadBlock(0x11), block);
}

TEST(SimController, IdentityAndShortWritesAreNotAccepted) {
    Sim sim;
    ASSERT_TRUE(sim.StartAndOpen({}));
    Bytes identity = sim.ReadBlock(0x10);
    sim.Send(Encode(0x20, Bytes(32, 0)));   // identity section: read only
    sim.Send(Encode(0x28, Bytes(16, 0)));   // a block is 32 bytes
    EXPECT_TRUE(sim.Quiet(150));
    sim.Exchange(Encode(0x80));
    EXPECT_EQ(sim.ReadBlock(0x10), identity);
    EXPECT_NE(sim.ReadBlock(0x18), Bytes(32, 0));
}

TEST(SimController, BadChecksumIsIgnoredAndNoiseSkipped) {
    Sim sim;
    ASSERT_TRUE(sim.StartAndOpen({}));
    sim.Send({0x66, 0x02, 0x00, 0x69});
    EXPECT_TRUE(sim.Quiet(150));
    // Noise, a start byte with an impossible length, then a good request in two writes.
    sim.Send({0x01, 0x02, 0x66, 0xFF, 0x66});
    usleep(20000);
    EXPECT_EQ(sim.Exchange({0x02, 0x00, 0x68}), (Bytes{0x66, 0x02, 0x00, 0x68}));
}

TEST(SimController, AnAbandonedPartialRequestDoesNotSwallowTheNext) {
    Sim sim;
    ASSERT_TRUE(sim.StartAndOpen({}));
    sim.Send({0x66});  // a client that gave up after the start byte
    usleep(300000);
    EXPECT_EQ(sim.Exchange(Encode(0x02)), (Bytes{0x66, 0x02, 0x00, 0x68}));
}

TEST(SimController, LoadsParameterFiles) {
    std::string dir = TempDir();
    Bytes image = ReadFile(DT_SOURCE_DIR "/samples/standard-a.foc");
    ASSERT_EQ(image.size(), 1024u);
    image[512 + 2 * 3 + 1] = 0x42;  // word 203
    image.resize(1100, 0xAA);         // longer files are accepted
    WriteFile(dir + "/set.foc", image);
    {
        Sim sim;
        ASSERT_TRUE(sim.StartAndOpen({"--file", dir + "/set.foc"}));
        EXPECT_EQ(sim.ReadBlock(0x18), Bytes(image.begin() + 512, image.begin() + 544));
        EXPECT_EQ(BigEndianWord(sim.ReadBlock(0x10), 15), 0x0400 | 260);
    }
    Bytes ged = ReadFile(DT_SOURCE_DIR "/samples/foc.ged");
    ged[5] = 12;
    WriteFile(dir + "/set.ged", ged);
    {
        Sim sim;
        ASSERT_TRUE(sim.StartAndOpen({"--file", dir + "/set.ged"}));
        EXPECT_EQ(BigEndianWord(sim.ReadBlock(0x10), 15), 0xFFFE);
        EXPECT_EQ(sim.ReadBlock(0x11), ged);
    }
    WriteFile(dir + "/short.foc", Bytes(1023, 0));
    WriteFile(dir + "/short.ged", Bytes(31, 0));
    for (const char* name : {"/short.foc", "/short.ged", "/missing.foc"}) {
        RunResult r = RunToEnd({"--file", dir + name});
        EXPECT_EQ(r.status, 2) << name;  // a file that cannot be used, as for the command line
        EXPECT_NE(r.out.find(name + 1), std::string::npos) << r.out;
    }
    std::system(("rm -rf " + dir).c_str());
}

TEST(SimController, WritesTheCommittedSamples) {
    std::string dir = TempDir();
    struct Case {
        std::vector<std::string> args;
        const char* name;
    } cases[] = {
        {{}, "standard-b.foc"},
        {{"--variant-a"}, "standard-a.foc"},
        {{"--uncalibrated"}, "invalid.foc"},
        {{"--foc"}, "foc.ged"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> args = c.args;
        args.insert(args.end(), {"--write-sample", dir + "/" + c.name});
        ASSERT_EQ(RunToEnd(args).status, 0);
        EXPECT_EQ(ReadFile(dir + "/" + c.name), ReadFile(std::string(DT_SOURCE_DIR "/samples/") + c.name));
    }
    // The extension must fit the controller kind, so a sample is never written in the wrong format.
    EXPECT_EQ(RunToEnd({"--foc", "--write-sample", dir + "/x.foc"}).status, 1);
    EXPECT_EQ(RunToEnd({"--write-sample", dir + "/x.ged"}).status, 1);
    std::system(("rm -rf " + dir).c_str());
}

TEST(SimFailureModes, SilentNeverAnswers) {
    Sim sim;
    ASSERT_TRUE(sim.StartAndOpen({"--silent"}));
    for (uint8_t code : {0x02, 0x10, 0x80, 0x81}) sim.Send(Encode(code));
    EXPECT_TRUE(sim.Quiet(300));
}

TEST(SimFailureModes, Answer00RefusesTheFirstConnects) {
    Sim sim;
    ASSERT_TRUE(sim.StartAndOpen({"--answer-00", "2"}));
    const Bytes zero = {0x66, 0x00, 0x00, 0x66};
    EXPECT_EQ(sim.Exchange(Encode(0x02)), zero);
    EXPECT_EQ(sim.Exchange(Encode(0x02)), zero);
    EXPECT_EQ(sim.Exchange(Encode(0x02)), (Bytes{0x66, 0x02, 0x00, 0x68}));
    EXPECT_EQ(sim.ReadBlock(0x10).size(), 32u) << "other requests are answered all along";
}

TEST(SimFailureModes, DelayPostponesEachReply) {
    Sim sim;
    ASSERT_TRUE(sim.StartAndOpen({"--delay-ms", "150"}));
    for (int i = 0; i < 2; ++i) {
        auto start = Clock::now();
        EXPECT_EQ(sim.Exchange(Encode(0x02)).size(), 4u);
        EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(145));
    }
}

TEST(SimFailureModes, SplitRepliesArriveInPiecesAndComplete) {
    Sim sim;
    ASSERT_TRUE(sim.StartAndOpen({"--split"}));
    // How many reads the pieces take depends on how busy the machine is; the pauses between the
    // five pieces of a 36-byte reply (3 ms each, never shorter) do not.
    const auto start = Clock::now();
    Bytes reply = sim.Exchange(Encode(0x10));
    const auto elapsed = Clock::now() - start;
    ASSERT_EQ(reply.size(), 36u);
    EXPECT_EQ(reply[1], 0x10);
    EXPECT_GE(elapsed, std::chrono::milliseconds(12)) << "four pauses between five pieces";
    EXPECT_EQ(sim.skipped, 0u);
}

TEST(SimFailureModes, ShortBlockRepliesCarry16Bytes) {
    Sim sim;
    ASSERT_TRUE(sim.StartAndOpen({"--short-block"}));
    for (uint8_t code : {0x10, 0x11, 0x1C}) {
        Bytes reply = sim.Exchange(Encode(code));
        ASSERT_EQ(reply.size(), 20u);
        EXPECT_EQ(reply[1], code);
        EXPECT_EQ(reply[2], 16);
    }
}

TEST(SimFailureModes, FailStoreAnswers04AndKeepsTheOldSet) {
    Sim sim;
    ASSERT_TRUE(sim.StartAndOpen({"--fail-store"}));
    Bytes original = sim.ReadBlock(0x19);
    Bytes changed = original;
    changed[0] ^= 0x01;
    sim.Exchange(Encode(0x29, changed));
    EXPECT_EQ(sim.Exchange(Encode(0x80)), (Bytes{0x66, 0x04, 0x00, 0x6A}));
    EXPECT_EQ(sim.ReadBlock(0x19), original);
    EXPECT_EQ(sim.Exchange(Encode(0x81)), (Bytes{0x66, 0x81, 0x00, 0xE7}));
    EXPECT_EQ(sim.Exchange(Encode(0x80)), (Bytes{0x66, 0x04, 0x00, 0x6A}));
}

TEST(SimFailureModes, GarbageComesBetweenFramesButNeverFormsOne) {
    Sim sim;
    ASSERT_TRUE(sim.StartAndOpen({"--garbage"}));
    for (int i = 0; i < 12; ++i) {
        uint8_t code = kReadChain[i % 10];
        Bytes reply = sim.Exchange(Encode(code));
        ASSERT_EQ(reply.size(), 36u) << i;
        EXPECT_EQ(reply[1], code);
    }
    EXPECT_GE(sim.skipped, 12u) << "noise precedes every reply";
    EXPECT_TRUE(sim.Quiet(100)) << "nothing that reads as a further frame";
}

TEST(SimFailureModes, PaceTakesTheWireTime) {
    Sim sim;
    ASSERT_TRUE(sim.StartAndOpen({"--pace", "--baud", "9600"}));
    sim.Exchange(Encode(0x02));  // let the process settle
    auto start = Clock::now();
    for (uint8_t code : {0x10, 0x11, 0x12}) ASSERT_EQ(sim.ReadBlock(code).size(), 32u);
    double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    double wire = 3 * (4 + 36) * 10 / 9600.0;  // 125 ms
    EXPECT_GE(seconds, wire * 0.95);
    EXPECT_LE(seconds, wire + 0.15);
}

TEST(SimBinding, LinkNamesTheTerminalUntilTheSimulatorStops) {
    for (int signal : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(signal);
        std::string config = TempDir();
        std::string ports = config + "/DriveTune/ports";
        std::system(("mkdir -p " + ports).c_str());
        std::string link = ports + "/com7";
        ASSERT_EQ(symlink("/dev/pts/no-such-terminal", link.c_str()), 0);  // left over from a crash

        Sim sim;
        ASSERT_TRUE(sim.Start({"--bind", "COM7"}, {{"XDG_CONFIG_HOME", config}}));
        char target[256] = {};
        ASSERT_GT(readlink(link.c_str(), target, sizeof target - 1), 0);
        EXPECT_EQ(std::string(target), sim.path);
        ASSERT_TRUE(sim.Open(link));
        EXPECT_EQ(sim.Exchange(Encode(0x02)), (Bytes{0x66, 0x02, 0x00, 0x68}));

        EXPECT_EQ(sim.Stop(signal), 0);
        struct stat st {};
        EXPECT_NE(lstat(link.c_str(), &st), 0) << "link removed on exit";
        std::system(("rm -rf " + config).c_str());
    }
}

TEST(SimBinding, AFileOfThatNameIsLeftAlone) {
    std::string config = TempDir();
    std::string ports = config + "/DriveTune/ports";
    std::system(("mkdir -p " + ports).c_str());
    WriteFile(ports + "/com8", {'x'});
    const char* saved = std::getenv("XDG_CONFIG_HOME");
    std::string previous = saved ? saved : "";
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    RunResult r = RunToEnd({"--bind", "com8"});
    if (saved)
        setenv("XDG_CONFIG_HOME", previous.c_str(), 1);
    else
        unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(ReadFile(ports + "/com8"), Bytes{'x'});
    std::system(("rm -rf " + config).c_str());
}

TEST(SimCommandLine, HelpNamesEveryOptionAndBadLinesAreRefused) {
    RunResult help = RunToEnd({"--help"});
    EXPECT_EQ(help.status, 0);
    for (const char* option : {"--bind", "--foc", "--file", "--variant-a", "--uncalibrated", "--write-sample",
                               "--silent", "--delay-ms", "--answer-00", "--garbage", "--split", "--fail-store",
                               "--short-block", "--pace", "--baud", "--verbose"})
        EXPECT_NE(help.out.find(option), std::string::npos) << option;
    RunResult version = RunToEnd({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "drivetune-sim " DRIVETUNE_VERSION "\n");

    const std::vector<std::string> bad[] = {
        {"--no-such-flag"}, {"--delay-ms"}, {"--delay-ms", "-5"}, {"--answer-00", "x"},
        {"--bind", "COM0"}, {"--bind", "LPT1"}, {"--baud", "0"}, {"--foc", "--variant-a"},
        {"--foc", "--uncalibrated"}, {"--silent=1"}, {"--file"}, {"--count", "1", "--bind", "COM5"},
    };
    for (const auto& args : bad) {
        RunResult r = RunToEnd(args);
        EXPECT_EQ(r.status, 2) << args[0];
        EXPECT_NE(r.out.find("--help"), std::string::npos) << r.out;
    }
}

}  // namespace

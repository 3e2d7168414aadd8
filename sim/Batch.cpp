#include "Batch.h"

#include <cerrno>
#include <cstdio>
#include <poll.h>
#include <random>
#include <sstream>
#include <thread>
#include <unistd.h>

#include "PseudoTerminal.h"
#include "ReplyWriter.h"
#include "SimRunner.h"
#include "StopSignal.h"

namespace sim {

namespace {

constexpr int kWordRdsOnGain = 5;
constexpr int kWordAvgRev = 8;
constexpr int kWordBattRatio = 9;
constexpr int kWordEbsRev = 10;
constexpr int kWordHardwareClass = 11;
constexpr uint16_t kOtherHardwareClass = 2;
constexpr int kVanishAfterBlocks = 2;

bool IsWrite(const Frame& f) { return (f.code & dt::kCodeGroupMask) == dt::REQ_WRITE_BLOCK; }
bool ChangesSet(const Frame& f) { return IsWrite(f) || f.code == dt::REQ_STORE || f.code == dt::REQ_RESTORE_DEFAULTS; }
constexpr long kFrameOverhead = 4;  // start, code, length, checksum

}  // namespace

void SeedCalibration(ControllerSet& set, unsigned seed, int index, int generation) {
    std::mt19937 random(seed * 7919u + static_cast<unsigned>(index) * 104729u + static_cast<unsigned>(generation));
    auto near = [&](int word, int spread) {
        std::uniform_int_distribution<int> offset(-spread, spread);
        set.SetWord(word, static_cast<uint16_t>(set.Word(word) + offset(random)));
    };
    near(kWordRdsOnGain, 20);
    near(kWordAvgRev, 2);
    near(kWordBattRatio, 1);
    near(kWordEbsRev, 1);
}

BatchPlace::BatchPlace(const SimOptions& options, int index) : options_(options), index_(index) {
    faults_.behaviour = options.behaviour;
    Build();
}

void BatchPlace::Build() {
    ControllerSet set;
    std::string error;
    BuildControllerSet(options_, set, error);  // checked before the batch starts
    if (!set.foc) SeedCalibration(set, options_.seed, index_, generation_);
    if (faults_.wrongModel) set.SetWord(kWordHardwareClass, kOtherHardwareClass);
    controller_ = std::make_unique<VirtualController>(set, faults_.behaviour);
    blocksWritten_ = 0;
    writtenBytes_ = 0;
}

long BatchPlace::WrittenBytes() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return writtenBytes_;
}

std::string BatchPlace::StoredBlocksHex() const {
    std::lock_guard<std::mutex> lock(mutex_);
    const ControllerSet& set = controller_->stored();
    std::vector<uint8_t> bytes(set.focBlock.begin(), set.focBlock.end());
    if (!set.foc) {
        bytes.clear();
        for (int n = dt::kBlockFirstSection2; n <= dt::kBlockLast; ++n)
            bytes.insert(bytes.end(), set.block.begin() + BlockOffset(n), set.block.begin() + BlockOffset(n) + dt::kBlockBytes);
    }
    std::string hex;
    char two[3];
    for (uint8_t b : bytes) {
        std::snprintf(two, sizeof two, "%02x", b);
        hex += two;
    }
    return hex;
}

Reply BatchPlace::Handle(const Frame& request) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!present_) return Reply{{}, "(no unit in place)", ""};
    if (ChangesSet(request)) writtenBytes_ += static_cast<long>(request.payload.size()) + kFrameOverhead;
    if (faults_.vanishMidWrite && IsWrite(request) && ++blocksWritten_ > kVanishAfterBlocks) {
        present_ = false;
        return Reply{{}, "(unit taken away)", ""};
    }
    // More than a reader's buffer holds, and never the start of a frame.
    if (faults_.babble) return Reply{std::vector<uint8_t>(4096, 0x55), "(noise)", "(noise)"};
    Reply reply = controller_->Handle(request);
    // A line that garbles the long frames: the unit is seen, its set never arrives whole.
    if (faults_.badChecksum && !reply.frame.empty() && request.code != dt::REQ_CONNECT) reply.frame.back() ^= 0x5A;
    return reply;
}

void BatchPlace::Remove() {
    std::lock_guard<std::mutex> lock(mutex_);
    present_ = false;
}

void BatchPlace::Insert() {
    std::lock_guard<std::mutex> lock(mutex_);
    ++generation_;
    faults_ = UnitFaults{};
    faults_.behaviour = options_.behaviour;
    Build();
    present_ = true;
}

bool BatchPlace::Present() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return present_;
}

bool BatchPlace::SetFault(const std::string& mode) {
    std::lock_guard<std::mutex> lock(mutex_);
    UnitFaults f = faults_;
    if (mode == "none") f = UnitFaults{};
    else if (mode == "wrong-model") f.wrongModel = true;
    else if (mode == "bad-checksum") f.badChecksum = true;
    else if (mode == "vanish-mid-write") f.vanishMidWrite = true;
    else if (mode == "fail-store") f.behaviour.failStore = true;
    else if (mode == "drop-write") f.behaviour.dropWrite = true;
    else if (mode == "silent") f.behaviour.silent = true;
    else if (mode == "babble") f.babble = true;
    else return false;
    faults_ = f;
    // The unit in place takes its new faults, keeping what it has stored.
    const ControllerSet held = controller_->stored();
    ControllerSet set = held;
    if (f.wrongModel) set.SetWord(kWordHardwareClass, kOtherHardwareClass);
    controller_ = std::make_unique<VirtualController>(set, f.behaviour);
    blocksWritten_ = 0;
    return true;
}

bool ApplyControl(const std::string& line, std::vector<std::unique_ptr<BatchPlace>>& places, std::string& answer,
                  std::string& why) {
    answer = "ok";
    std::istringstream words(line);
    std::string verb, mode;
    int place = 0;
    if (!(words >> verb)) return true;  // an empty line
    if (!(words >> place) || place < 1 || place > static_cast<int>(places.size())) {
        why = "needs a place from 1 to " + std::to_string(places.size()) + ": " + line;
        return false;
    }
    BatchPlace& p = *places[place - 1];
    if (verb == "remove") p.Remove();
    else if (verb == "insert") {
        // A unit put in with its fault already in it: no probe can find it without.
        p.Insert();
        if (words >> mode && !p.SetFault(mode)) {
            why = "unknown fault: " + mode;
            return false;
        }
    }
    else if (verb == "blocks") answer = "blocks " + std::to_string(place) + " " + p.StoredBlocksHex();
    else if (verb == "written") answer = "written " + std::to_string(place) + " " + std::to_string(p.WrittenBytes());
    else if (verb == "fault" && words >> mode && p.SetFault(mode)) return true;
    else {
        why = "unknown control: " + line;
        return false;
    }
    return true;
}

namespace {

// Reads control lines from standard input until a stop signal; end of input leaves the batch
// running as it stands.
void ReadControls(std::vector<std::unique_ptr<BatchPlace>>& places) {
    std::string pending;
    bool open = true;
    for (;;) {
        // A closed input is left out: poll reports its hang-up even with no events asked for,
        // and would wake at once forever.
        pollfd fds[2] = {{open ? STDIN_FILENO : -1, POLLIN, 0}, {StopWakeFd(), POLLIN, 0}};
        if (poll(fds, 2, -1) < 0 && errno != EINTR) return;
        if (StopRequested()) return;
        if (!open || !(fds[0].revents & (POLLIN | POLLHUP))) continue;
        char buffer[512];
        const ssize_t n = read(STDIN_FILENO, buffer, sizeof buffer);
        if (n <= 0) {
            open = n < 0 && errno == EINTR;
            continue;
        }
        pending.append(buffer, static_cast<size_t>(n));
        for (size_t end; (end = pending.find('\n')) != std::string::npos; pending.erase(0, end + 1)) {
            std::string answer, why;
            // Every line is answered on standard output, so a script knows it has taken effect.
            if (ApplyControl(pending.substr(0, end), places, answer, why)) std::printf("%s\n", answer.c_str());
            else std::printf("error: %s\n", why.c_str());
            std::fflush(stdout);
        }
    }
}

}  // namespace

int RunBatch(const SimOptions& options) {
    ControllerSet probe;
    std::string error;
    if (!BuildControllerSet(options, probe, error)) {
        std::fprintf(stderr, "drivetune-sim: %s\n", error.c_str());
        return 2;
    }
    if (!InstallStopHandlers()) {
        std::perror("drivetune-sim: pipe");
        return 1;
    }
    std::vector<std::unique_ptr<PseudoTerminal>> terminals;
    std::vector<std::unique_ptr<BatchPlace>> places;
    for (int i = 0; i < options.count; ++i) {
        terminals.push_back(std::make_unique<PseudoTerminal>());
        if (!terminals.back()->Open(options.wire.baud, error)) {
            std::fprintf(stderr, "drivetune-sim: cannot open a pseudo-terminal: %s\n", error.c_str());
            return 1;
        }
        places.push_back(std::make_unique<BatchPlace>(options, i));
        std::printf("%s\n", terminals.back()->slavePath().c_str());
    }
    std::fflush(stdout);
    std::fprintf(stderr, "drivetune-sim: %d controllers; control on standard input: remove I, insert I, fault I MODE\n",
                 options.count);
    std::vector<std::thread> servers;
    bool failed = false;
    for (int i = 0; i < options.count; ++i)
        servers.emplace_back([&, i] {
            ReplyWriter writer(terminals[i]->master(), options.wire);
            BatchPlace& place = *places[i];
            if (!Serve(terminals[i]->master(), [&](const Frame& f) { return place.Handle(f); }, writer, options.verbose))
                failed = true;
        });
    ReadControls(places);
    for (std::thread& t : servers) t.join();
    for (auto& t : terminals) t->Close();
    return failed ? 1 : 0;
}

}  // namespace sim

#pragma once
// Shared pieces of the link tests: a recording host, block builders, a small controller on
// the in-memory port, and a rig that wires them to the engine.
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <QTest>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "BytePort.h"
#include "ControllerLink.h"
#include "LinkHost.h"
#include "MemoryPort.h"
#include "RecordingHost.h"
#include "ReplyTimeout.h"
#include "ToolState.h"

namespace dt::test {

using Bytes = std::vector<uint8_t>;

// Frame bytes computed here, apart from the code under test.
inline Bytes MakeFrame(uint8_t cmd, const Bytes& payload = {}) {
    Bytes f(payload.size() + 4);
    f[0] = 0x66;
    f[1] = cmd;
    f[2] = static_cast<uint8_t>(payload.size());
    unsigned sum = f[0] + f[1] + f[2];
    for (size_t i = 0; i < payload.size(); ++i) sum += f[3 + i] = payload[i];
    f.back() = static_cast<uint8_t>(sum);
    return f;
}

inline Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

// A 32-byte block of big-endian words; unnamed words are 0.
inline Bytes WordBlock(const std::map<int, uint16_t>& words) {
    Bytes b(32, 0);
    for (const auto& [i, w] : words) {
        b[2 * i] = static_cast<uint8_t>(w >> 8);
        b[2 * i + 1] = static_cast<uint8_t>(w & 0xFF);
    }
    return b;
}

// Identity block of a standard controller with a ModelWord, plausible calibration words and
// non-zero classes.
inline Bytes IdentityBlock(uint16_t modelWord, uint16_t kindVariant = 0x0C12) {
    return WordBlock({{0, kindVariant}, {4, 3}, {5, 1200}, {6, 7}, {8, 1500}, {9, 2100},
                      {10, 900}, {11, 0x21}, {12, 2}, {15, modelWord}});
}

// A block whose bytes tell where it came from.
inline Bytes PatternBlock(int code) {
    Bytes b(32);
    for (int i = 0; i < 32; ++i) b[i] = static_cast<uint8_t>(code * 16 + i + 1);
    return b;
}

// The 32 bytes of block code n; none for a code no block has (no arithmetic on a null block).
inline Bytes BlockOf(const ParameterBlock& block, int code) {
    const uint8_t* p = block.Block(code);
    return p ? Bytes(p, p + ParameterBlock::kBlockSize) : Bytes();
}

// A file of the samples folder, whole.
inline Bytes SampleBytes(const std::string& name) {
    QFile file(QString::fromStdString(std::string(DT_SOURCE_DIR) + "/samples/" + name));
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QByteArray bytes = file.readAll();
    return Bytes(bytes.begin(), bytes.end());
}

inline std::string Hex(const Bytes& bytes) {
    static const char* digits = "0123456789ABCDEF";
    std::string s;
    for (uint8_t b : bytes) {
        if (!s.empty()) s += ' ';
        s += digits[b >> 4];
        s += digits[b & 15];
    }
    return s;
}

// Every link event in order as readable strings.
class EventRecorder : public LinkListener {
public:
    std::vector<std::string> events;

    void OnReadCompleted(const ReadCompleted& e) override {
        events.push_back(std::string("read ") + (e.kind == ControllerKind::Foc ? "foc" : "standard") +
                         (e.versionMatches ? "" : " mismatch"));
    }
    void OnStoreOutcome(const StoreOutcome& e) override {
        static const char* const kOperation[] = {"store", "download", "restore"};
        events.push_back(std::string(kOperation[static_cast<int>(e.operation)]) + (e.stored ? " stored" : " refused"));
    }
    void OnBlockWritten(const BlockWritten& e) override {
        events.push_back("block " + std::to_string(e.index) + "/" + std::to_string(e.count));
    }
    void OnLinkLost(const LinkLost& e) override {
        static const char* const kReason[] = {"timeout", "device gone", "bad reply", "stopped"};
        events.push_back(std::string("lost ") + kReason[static_cast<int>(e.reason)] +
                         (e.detail.empty() ? "" : " (" + e.detail + ")"));
    }
    void OnValuesChecked(const ValidationResult& r) override {
        events.push_back(r.refused ? "check refused" : "check accepted");
    }
};

// A controller behind the in-memory port: reads answer with blocks, writes are kept and
// acknowledged, 0x80 answers 0x03 (or 0x04), 0x81 arms a factory reset done by the next 0x80.
class FakeController {
public:
    ParameterBlock block;
    ParameterBlock factory;
    FocBlock foc;
    bool isFoc = false;
    bool silent = false;
    bool failStore = false;
    int answer00 = 0;          // answer 0x00 to this many connects
    int shortBlockReply = -1;  // this read is answered with a 16-byte block
    std::vector<uint8_t> requests;
    std::vector<Bytes> payloads;  // payload of each request

    explicit FakeController(MemoryPort& port) : port_(port) {
        port_.SetWriteHandler([this](const Bytes& chunk) { OnFrame(chunk); });
    }
    ~FakeController() { port_.SetWriteHandler({}); }

    // Standard controller: the sample set, whose values pass the range checks (a download
    // stores and checks them), with the given ModelWord.
    void MakeStandard(uint16_t modelWord = 0x04D2) {
        isFoc = false;
        block.Clear();
        const bool a = VariantFor(modelWord) == FunctionVariant::A;
        const Bytes sample = SampleBytes(a ? "standard-a.foc" : "standard-b.foc");
        std::copy(sample.begin(), sample.begin() + std::min(sample.size(), block.bytes.size()), block.bytes.begin());
        // The sample's own identity, whose current limits its values respect.
        block.SetSectionWord(0, 15, modelWord);
        factory = block;
    }
    void MakeFoc() {
        isFoc = true;
        block.Clear();
        SetBlock(0, IdentityBlock(kFocModelWord));
        const Bytes sample = SampleBytes("foc.ged");
        std::copy(sample.begin(), sample.begin() + std::min(sample.size(), foc.bytes.size()), foc.bytes.begin());
    }
    void ClearLog() {
        requests.clear();
        payloads.clear();
    }
    void SetBlock(int code, const Bytes& b) {
        if (uint8_t* p = block.Block(code)) std::copy_n(b.begin(), std::min<size_t>(b.size(), ParameterBlock::kBlockSize), p);
    }
    Bytes BlockBytes(int code) const { return BlockOf(block, code); }

private:
    void Reply(uint8_t cmd, const Bytes& payload = {}) { port_.Feed(MakeFrame(cmd, payload)); }

    void OnFrame(const Bytes& f) {
        const uint8_t cmd = f[1];
        const Bytes payload(f.begin() + 3, f.begin() + 3 + f[2]);
        requests.push_back(cmd);
        payloads.push_back(payload);
        if (silent) return;
        if (cmd == 0x02) {
            if (answer00 > 0) {
                --answer00;
                Reply(0x00);
            } else {
                Reply(0x02);
            }
        } else if ((cmd & 0xF0) == 0x10) {
            Bytes b = (cmd == 0x11 && isFoc) ? Bytes(foc.bytes.begin(), foc.bytes.end()) : BlockBytes(cmd & 0x0F);
            if (cmd == shortBlockReply) b.resize(16);
            Reply(cmd, b);
        } else if ((cmd & 0xF0) == 0x20) {
            if (cmd == 0x21 && isFoc)
                std::copy(payload.begin(), payload.end(), foc.bytes.begin());
            else
                SetBlock(cmd & 0x0F, payload);
            Reply(cmd);
        } else if (cmd == 0x80) {
            if (restoreArmed_) block = factory;
            restoreArmed_ = false;
            Reply(failStore ? 0x04 : 0x03);
        } else if (cmd == 0x81) {
            restoreArmed_ = true;
            Reply(0x81);
        }
    }

    MemoryPort& port_;
    bool restoreArmed_ = false;
};

// Engine, commands, host, time-out and controller wired together on an in-memory port.
struct Rig {
    QTemporaryDir dir;
    std::string settingsPath = dir.filePath("DriveTune/DriveTune.ini").toStdString();
    ToolState state;
    RecordingHost host;
    EventRecorder recorder;
    MemoryPort port;
    ControllerLink link{state, host, port, settingsPath};
    ControllerProtocol& protocol = link.protocol;
    ControllerCommands& commands = link.commands;
    ReplyTimeout& timeout = link.timeout;
    FakeController controller{port};

    Rig() {
        link.SetSheetView(&host);
        host.timeout = &timeout;
        controller.MakeStandard();
        protocol.Events().Subscribe(recorder);
    }
    ~Rig() { protocol.Events().Unsubscribe(recorder); }
    const std::vector<std::string>& Events() const { return recorder.events; }

    // Opens COM3 as the panel does at start-up, then forgets that.
    void OpenPort() {
        port.OpenPort(3, state.settings.Baudrate);
        host.Clear();
    }
    // Opens the port and reads the controller once, then forgets both; false when the read
    // gave no message.
    bool ReadOnce() {
        OpenPort();
        commands.Upload();
        const bool read = WaitMessages(1);
        host.Clear();
        controller.ClearLog();
        recorder.events.clear();
        return read;
    }
    // Runs the event loop until the number of messages reaches n (or a second passes).
    bool WaitMessages(size_t n, int ms = 1000) {
        return QTest::qWaitFor([&] { return host.messages.size() >= n; }, ms);
    }
    // Lets queued notifications run out.
    void Settle() { QTest::qWait(20); }
};

}  // namespace dt::test

// The controller's replies after each command, through the protocol engine on an in-memory
// port. Every input runs on two engines: the reply bytes fed whole, and the same bytes split
// at points drawn from the input, some of them arriving while a message box is open. Both
// must end in the same frames sent, host calls (messages included) and blocks.
//
// Input: a selector byte (command and starting state), then the reply bytes.
#include <functional>
#include <string>
#include <vector>

#include "ControllerLink.h"
#include "FuzzSupport.h"
#include "LanguageSetup.h"
#include "MemoryPort.h"
#include "RecordingHost.h"
#include "ToolState.h"

using namespace dt;
using namespace dt::fuzz;

namespace {

constexpr int kPort = 3;

enum Command { CMD_CONNECT, CMD_UPLOAD, CMD_DOWNLOAD, CMD_STORE, CMD_DEFAULT, CMD_COUNT };
enum Start { START_FRESH, START_STANDARD, START_FOC, START_COUNT };

struct Engine {
    ToolState state;
    test::RecordingHost host;
    MemoryPort port;
    // The settings path is only written by commands that take a port box text; none runs here.
    ControllerLink link{state, host, port, std::string()};

    Engine() { link.SetSheetView(&host); }

    void Begin(const ToolState& from, int command) {
        ResetRunState(state, from);
        host.Clear();
        host.onMessage = nullptr;
        port.OpenPort(kPort, state.settings.Baudrate);  // closes first: nothing left from the last input
        link.backups.PortOpened();
        port.ClearWritten();
        link.protocol.ClearReceiveBuffer();
        switch (command) {
        case CMD_CONNECT: link.commands.StartConnect(); break;
        case CMD_UPLOAD: link.commands.Upload(); break;
        case CMD_DOWNLOAD: link.commands.Download(); break;
        case CMD_STORE: link.commands.Store(); break;
        default: link.commands.Default(); break;
        }
    }
};

Bytes Frame(uint8_t command, const uint8_t* payload, int length) {
    const std::vector<uint8_t> f = BuildFrame(command, payload, length);
    return Bytes(f.begin(), f.end());
}

// A controller's answers to a whole read: identity, then the FOC block or the standard blocks.
Bytes ReadReplies(const ParameterBlock& block, const FocBlock* foc) {
    Bytes out = Frame(0x10, block.Block(0), kBlockBytes);
    auto add = [&](uint8_t command, const uint8_t* payload) {
        const Bytes f = Frame(command, payload, kBlockBytes);
        out.insert(out.end(), f.begin(), f.end());
    };
    if (foc) {
        add(0x11, foc->bytes.data());
        return out;
    }
    for (uint8_t c : {0x11, 0x12, 0x13, 0x14, 0x18, 0x19, 0x1A, 0x1B, 0x1C}) add(c, block.Block(c & 0x0F));
    return out;
}

// The starting states, each reached through the engine itself from a sample read.
struct StartStates {
    ToolState states[START_COUNT];

    StartStates() {
        ApplyLanguage(states[START_FRESH], "");
        ParameterBlock standard, focIdentity;
        const Bytes a = SampleFile("standard-a.foc");
        std::copy(a.begin(), a.end(), standard.bytes.begin());
        FocBlock foc;
        const Bytes g = SampleFile("foc.ged");
        std::copy(g.begin(), g.end(), foc.bytes.begin());
        focIdentity.SetSectionWord(0, 15, kFocModelWord);
        states[START_STANDARD] = Read(ReadReplies(standard, nullptr));
        states[START_FOC] = Read(ReadReplies(focIdentity, &foc));
        Require(states[START_STANDARD].link.identityReceived, "standard sample read");
        Require(states[START_FOC].kind == ControllerKind::Foc, "FOC sample read");
    }

    ToolState Read(const Bytes& replies) {
        Engine e;
        e.Begin(states[START_FRESH], CMD_UPLOAD);
        e.port.FeedNow(replies);
        return e.state;
    }
};

void Compare(const Engine& whole, const Engine& split) {
    if (whole.port.Writes() != split.port.Writes()) Fail("frames sent differ");
    if (whole.host.calls != split.host.calls) Fail("host calls differ");
    const ToolState& a = whole.state;
    const ToolState& b = split.state;
    if (a.block.bytes != b.block.bytes || a.foc.bytes != b.foc.bytes) Fail("blocks differ");
    if (a.link.identityReceived != b.link.identityReceived || a.kind != b.kind ||
        a.link.pendingOperation != b.link.pendingOperation || a.dataValid != b.dataValid ||
        a.modelWord != b.modelWord)
        Fail("link state differs");
    if (a.sheet.Texts() != b.sheet.Texts() || a.sheet.ChangedRows() != b.sheet.ChangedRows()) Fail("sheets differ");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const StartStates start;
    static Engine whole, split;
    if (size < 1) return 0;
    const int command = data[0] % CMD_COUNT;
    const ToolState& from = start.states[(data[0] / CMD_COUNT) % START_COUNT];
    const Bytes replies(data + 1, data + size);

    whole.Begin(from, command);
    whole.port.FeedNow(replies);

    InputRandom random(data, size);
    split.Begin(from, command);
    size_t at = 0;
    auto nextChunk = [&] {
        const size_t n = std::min(random.Below(40), replies.size() - at);
        const Bytes chunk(replies.begin() + static_cast<long>(at), replies.begin() + static_cast<long>(at + n));
        at += n;  // before feeding: the chunk's own message box may ask for the next one
        split.port.FeedNow(chunk);
    };
    // Some chunks arrive while a message box runs its own event loop.
    split.host.onMessage = [&](const std::string&, MessageKind) {
        if (at < replies.size() && random.Next() % 2) nextChunk();
    };
    while (at < replies.size()) nextChunk();

    split.host.onMessage = nullptr;  // it refers to this call's locals
    Compare(whole, split);
    return 0;
}

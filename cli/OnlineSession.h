#pragma once
// One controller on one serial port for the command line: the link wired to a console host,
// and each exchange run on an event loop until the host is idle again.
#include <QEventLoop>
#include <QTimer>
#include <functional>
#include <ostream>
#include <string>

#include "ConsoleHost.h"
#include "ControllerLink.h"
#include "Interrupts.h"
#include "SerialPort.h"

namespace dt::cli {

// Where --port points: COM<n> through the port numbering, or a device path.
struct PortChoice {
    int number = 0;
    std::string device;  // "" for COM<n>
};

class OnlineSession : public LinkListener {
public:
    // An exchange that 0x00 answers keep restarting ends as a time-out after this long.
    static constexpr int kExchangeLimitMs = 30000;
    // The limit for a reply time-out of timeoutMs (--timeout): never shorter than the time-out
    // itself, which then ends a silent exchange first, as it would without the limit.
    static int ExchangeLimitFor(int timeoutMs) {
        return timeoutMs + 1000 > kExchangeLimitMs ? timeoutMs + 1000 : kExchangeLimitMs;
    }

    // The link talks through linkPort: serial itself, or a wrapper around it.
    OnlineSession(ToolState& state, ConsoleHost& host, std::ostream& err, SerialPort& serial, BytePort& linkPort,
                  int timeoutIntervalMs = ReplyTimeout::kIntervalMs);
    OnlineSession(ToolState& state, ConsoleHost& host, std::ostream& err, SerialPort& serial)
        : OnlineSession(state, host, err, serial, serial) {}
    ~OnlineSession() override;
    OnlineSession(const OnlineSession&) = delete;
    OnlineSession& operator=(const OnlineSession&) = delete;

    // Opens the port at the configured baud rate; on failure prints the port message and why.
    bool Open(const PortChoice& port);

    // Whether an exchange may change what the controller holds: an interrupt lets such an
    // exchange reach a safe end (the block in flight, the controller's answer) before it stops;
    // a read stops at once.
    enum class Writes { No, Yes };

    // start sends the first request of an exchange (a ControllerCommands call) and the event
    // loop runs until the exchange ends. False when start refused to send, or an interrupt came
    // first (nothing is sent then).
    bool Run(const std::function<bool()>& start, Writes writes = Writes::No);
    // Waits for the end of the exchange under way (returns at once when the host is idle).
    void Wait();
    // Ctrl+C or SIGTERM has stopped the command; nothing more may be written.
    bool Interrupted() const;
    // rc, or after an interrupt what the controller now holds, said on err and in the support log:
    // a store already asked for ends as its answer gives (0 stored, 1 refused or unanswered);
    // otherwise kInterrupted.
    int Finish(int rc);

    void SetExchangeLimitMs(int ms) { limitMs_ = ms; }

    ControllerLink& Link() { return link_; }
    // The controller's answer to the last store request since ResetOutcome.
    enum class Outcome { None, Stored, Refused };
    Outcome LastOutcome() const { return outcome_; }
    void ResetOutcome() {
        outcome_ = Outcome::None;
        storeRequested_ = readAfterStore_ = false;
    }
    // Completed reads since the start.
    int Reads() const { return reads_; }

    // LinkListener
    void OnReadCompleted(const ReadCompleted&) override { ++reads_; }
    void OnStoreOutcome(const StoreOutcome& e) override;
    void OnStoreRequested(const StoreRequested&) override { storeRequested_ = true; }
    // A device gone during an exchange ends it.
    void OnLinkLost(const LinkLost& e) override;
    void OnBlockWritten(const BlockWritten& e) override { written_ = e; }

private:
    void EndAsTimeout();
    void CheckInterrupt();
    void Tell(const std::string& text);
    std::string StoppedWriting() const;
    int FinishAfterStoreRequest();

    ToolState& state_;
    ConsoleHost& host_;
    std::ostream& err_;
    SerialPort& serial_;
    ControllerLink link_;
    QEventLoop loop_;
    QTimer limit_;
    int limitMs_ = kExchangeLimitMs;
    InterruptWatch interruptWatch_;
    Outcome outcome_ = Outcome::None;
    bool storeRequested_ = false;  // since ResetOutcome
    bool readAfterStore_ = false;  // a read began after the store's answer
    int reads_ = 0;
    bool writing_ = false;      // the exchange under way may change the controller
    bool interrupted_ = false;  // an interrupt was taken
    bool told_ = false;         // what it left behind has been said
    BlockWritten written_;      // the last block a download wrote
};

}  // namespace dt::cli

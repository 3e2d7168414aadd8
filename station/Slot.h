#pragma once
// One port of a station: its own serial port, controller link, controller state and time-outs.
// Every step is started by an event (a reply, a time-out, a probe's answer, a record or backup
// written on the station's disk threads), so many slots share one thread and none waits for another. The job per unit: read it (backed up as every read is),
// gate it against the recipe's model, fill its cells as a technician would, download, store and
// read the written blocks back; pass only when the store succeeded and the blocks read back are
// those written.
#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ControllerLink.h"
#include "DiskWork.h"
#include "SerialPort.h"
#include "SlotEvents.h"
#include "SlotHost.h"

namespace dt::station {

class Recipe;

struct SlotConfig {
    int index = 0;
    std::string port;    // as the operator named it: COM3, /dev/ttyUSB0
    int number = 0;      // COM number to open when device is ""
    std::string device;  // device path to open
    int timeoutIntervalMs = ReplyTimeout::kIntervalMs;
    bool repeat = false;  // take unit after unit, each once, until stopped
    std::string backupFolder;
    // A unit that keeps answering "not ready" ends as a time-out after this long.
    int attemptLimitMs = 60000;
    // Into every attempt's record.
    std::string recipeFile, label, operatorName, station;
};

class Slot : public QObject, public LinkListener {
    Q_OBJECT
public:
    // Presence probes in station mode: a connect request every kProbeIntervalMs, answered within
    // kProbeWaitMs; a unit counts as removed after kSilentProbes unanswered ones in a row.
    static constexpr int kProbeIntervalMs = 500;
    static constexpr int kProbeWaitMs = 400;
    static constexpr int kSilentProbes = 2;

    // base: settings (baud), texts and language for the slot's controller state.
    Slot(const SlotConfig& config, const ToolState& base, const Recipe& recipe, DiskWork& disk,
         SlotListener& listener);
    ~Slot() override;
    Slot(const Slot&) = delete;
    Slot& operator=(const Slot&) = delete;

    void Start();
    // No more units: a unit being read ends now, one being written after the block in flight
    // (recorded interrupted); a store asked for gets its answer and its read-back.
    void Stop();
    bool Stopped() const { return status_.state == SlotState::Stopped; }
    const SlotStatus& Status() const { return status_; }
    const SlotCounts& Counts() const { return counts_; }
    const SlotConfig& Config() const { return config_; }
    // The label of the units that begin from now on (a scanned one, for the next unit).
    void SetLabel(const std::string& label) { config_.label = label; }

    void OnReadCompleted(const ReadCompleted&) override;
    void OnStoreOutcome(const StoreOutcome& e) override;
    void OnBlockWritten(const BlockWritten& e) override;
    void OnLinkLost(const LinkLost& e) override;
    void OnValuesChecked(const ValidationResult& result) override;

signals:
    void StatusChanged(int slot);

private:
    // Begin and Record: the attempt's start or end is being written to the journal.
    enum class Step { Idle, Begin, Read, Write, Verify, Record };
    bool OnWire() const { return step_ == Step::Read || step_ == Step::Write || step_ == Step::Verify; }
    bool OpenPort();
    void WaitForUnit();
    void AwaitRemoval();
    void Probe();
    void ProbeBytes();
    void ProbeAnswered(bool answered);
    void Listen(bool protocol);
    void FreshAttempt();
    void BeginAttempt();
    void Begun(bool recorded, const std::string& error);
    void AfterRead();
    void StartVerify();
    void AfterVerify();
    void End(record::Outcome outcome, const std::string& cause);
    void Recorded(bool ok, const std::string& error);
    void Finish();
    void Later(std::function<void()> step);
    void SetState(SlotState state, int block = 0, int blocks = 0);
    std::vector<uint8_t> WrittenBlocks() const;

    SlotConfig config_;
    const Recipe& recipe_;
    DiskWork& disk_;
    SlotListener& listener_;
    std::unique_ptr<ToolState> unit_;
    SlotHost host_;
    SerialPort serial_;
    std::unique_ptr<ControllerLink> link_;
    QTimer probeWait_, nextProbe_, limit_;
    ReceiveBuffer probeBuffer_;
    int silentProbes_ = 0;
    bool probing_ = false;
    Step step_ = Step::Idle;
    unsigned serial_no_ = 0;  // the attempt a posted step belongs to
    bool stopping_ = false;
    bool recorded_ = false;  // the attempt's start is in the journal
    std::string refusal_;  // rows a range check refused
    std::vector<uint8_t> written_;
    record::Attempt attempt_;
    SlotStatus status_;
    SlotCounts counts_;
};

// "standard controller, variant B, customer 1, version 300" or "FOC controller".
std::string IdentityText(const ToolState& unit);

}  // namespace dt::station

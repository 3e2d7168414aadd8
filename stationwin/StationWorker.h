#pragma once
// The station on a thread of its own: the slots' ports, time-outs and journal never wait for the
// window, whatever a modal box or a slow repaint does to the window's thread. Everything the
// slots tell reaches the window through queued signals.
#include <QObject>
#include <QThread>
#include <memory>
#include <string>
#include <vector>

#include "Journal.h"
#include "PlantRecord.h"
#include "Station.h"

Q_DECLARE_METATYPE(dt::station::SlotStatus)
Q_DECLARE_METATYPE(dt::station::SlotCounts)
Q_DECLARE_METATYPE(record::Attempt)

namespace dt::station {

struct RunRequest {
    ToolState base;
    std::shared_ptr<const Recipe> recipe;
    std::vector<SlotConfig> slotConfigs;
    std::string journalPath;
    std::string recordServer;  // the plant database; "" pushes nothing
};

// Lives on the station's thread; only StationThread calls it, by queued calls.
class StationWorker : public QObject, public SlotListener, public AttemptJournal {
    Q_OBJECT
public:
    void Run(const RunRequest& request);
    void Stop();
    // The label goes with the next unit that begins on slot.
    void SetLabel(int slot, const std::string& label);
    // Ports closed, journal closed: before the thread ends.
    void Shutdown();

    void OnSlotStatus(int slot, const SlotStatus& status) override;
    void OnAttemptEnded(int slot, const record::Attempt& a) override;
    // A unit begins once its record has: the moment its slot's label goes with it.
    void OnAttemptBegun(int slot, const record::Attempt& a) override;
    // On the station's journal thread.
    bool Begin(const record::Attempt& a, std::string& error) override;
    bool Complete(const record::Attempt& a, std::string& error) override;
    void Write(std::vector<record::JournalChange>& changes) override;

signals:
    // ok false: nothing runs, why says so (the journal does not open).
    void Started(bool ok, QString why);
    void StatusChanged(int slot, dt::station::SlotStatus status, dt::station::SlotCounts counts);
    void AttemptBegun(int slot, record::Attempt a);
    void AttemptEnded(int slot, record::Attempt a);
    // The label of slot went with a unit.
    void LabelTaken(int slot);
    void Finished();

private:
    RunRequest request_;
    std::unique_ptr<record::Journal> journal_;
    std::unique_ptr<record::BackgroundPusher> pusher_;
    std::unique_ptr<Station> station_;
    std::vector<std::string> labels_;
};

// The window's side: the thread and the worker on it.
class StationThread : public QObject {
    Q_OBJECT
public:
    StationThread();
    ~StationThread() override;

    void Run(const RunRequest& request);
    void Stop();
    void SetLabel(int slot, const std::string& label);
    StationWorker& Worker() { return *worker_; }

private:
    QThread thread_;
    StationWorker* worker_;
};

}  // namespace dt::station

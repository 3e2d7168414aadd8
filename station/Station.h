#pragma once
// A station: one slot per port, all on the caller's thread and event loop. The command line
// and the station window drive it alike: start, stop, and listen to its slots.
#include <QObject>
#include <memory>
#include <vector>

#include "Slot.h"

namespace dt::station {

class Station : public QObject {
    Q_OBJECT
public:
    Station(const ToolState& base, const Recipe& recipe, AttemptJournal& journal, SlotListener& listener);
    ~Station() override;

    void AddSlot(SlotConfig config);
    void Start();
    // Every slot stops as Slot::Stop says; Finished follows once the last has.
    void Stop();
    bool AllStopped() const;
    const std::vector<std::unique_ptr<Slot>>& Slots() const { return slots_; }
    SlotCounts Totals() const;

signals:
    // Every slot has stopped.
    void Finished();

private:
    const ToolState& base_;
    const Recipe& recipe_;
    AttemptJournal& journal_;
    SlotListener& listener_;
    std::vector<std::unique_ptr<Slot>> slots_;
    bool finished_ = false;
};

}  // namespace dt::station

#pragma once
// A station: one slot per port, all on the caller's thread and event loop; its records and
// backups are written on threads of their own (DiskWork). The command line and the station
// window drive it alike: start, stop, and listen to its slots.
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
    void StartFrom(size_t first);

    const ToolState& base_;
    const Recipe& recipe_;
    SlotListener& listener_;
    std::vector<std::unique_ptr<Slot>> slots_;
    // After the slots: gone first, having written all it was asked to while they still listen.
    std::unique_ptr<DiskWork> disk_;
    bool finished_ = false;
};

}  // namespace dt::station

#include "Station.h"

namespace dt::station {

Station::Station(const ToolState& base, const Recipe& recipe, AttemptJournal& journal, SlotListener& listener)
    : base_(base), recipe_(recipe), listener_(listener), disk_(std::make_unique<DiskWork>(journal)) {}

Station::~Station() = default;

void Station::AddSlot(SlotConfig config) {
    config.index = static_cast<int>(slots_.size());
    slots_.push_back(std::make_unique<Slot>(config, base_, recipe_, *disk_, listener_));
    connect(slots_.back().get(), &Slot::StatusChanged, this, [this] {
        if (finished_ || !AllStopped()) return;
        finished_ = true;
        // After the slot that stopped last has finished telling its listeners.
        QMetaObject::invokeMethod(this, [this] { emit Finished(); }, Qt::QueuedConnection);
    });
}

void Station::Start() { StartFrom(0); }

// One slot at a time, each from the event loop: opening a port takes a few milliseconds (its
// lock file is synced), and the slots already started go on meanwhile.
void Station::StartFrom(size_t first) {
    if (first >= slots_.size()) return;
    if (!slots_[first]->Stopped()) slots_[first]->Start();
    if (first + 1 < slots_.size())
        QMetaObject::invokeMethod(this, [this, first] { StartFrom(first + 1); }, Qt::QueuedConnection);
}

void Station::Stop() {
    for (auto& s : slots_) s->Stop();
}

bool Station::AllStopped() const {
    for (const auto& s : slots_)
        if (!s->Stopped()) return false;
    return true;
}

SlotCounts Station::Totals() const {
    SlotCounts total;
    for (const auto& s : slots_) {
        total.passed += s->Counts().passed;
        total.failed += s->Counts().failed;
    }
    return total;
}

}  // namespace dt::station

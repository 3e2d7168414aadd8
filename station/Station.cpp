#include "Station.h"

namespace dt::station {

Station::Station(const ToolState& base, const Recipe& recipe, AttemptJournal& journal, SlotListener& listener)
    : base_(base), recipe_(recipe), journal_(journal), listener_(listener) {}

Station::~Station() = default;

void Station::AddSlot(SlotConfig config) {
    config.index = static_cast<int>(slots_.size());
    slots_.push_back(std::make_unique<Slot>(config, base_, recipe_, journal_, listener_));
    connect(slots_.back().get(), &Slot::StatusChanged, this, [this] {
        if (finished_ || !AllStopped()) return;
        finished_ = true;
        // After the slot that stopped last has finished telling its listeners.
        QMetaObject::invokeMethod(this, [this] { emit Finished(); }, Qt::QueuedConnection);
    });
}

void Station::Start() {
    for (auto& s : slots_) s->Start();
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

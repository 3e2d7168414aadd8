#include "StationWorker.h"

namespace dt::station {

void StationWorker::Run(const RunRequest& request) {
    station_.reset();
    request_ = request;
    journal_ = std::make_unique<record::Journal>();
    std::string why;
    if (!journal_->Open(request_.journalPath, why)) {
        journal_.reset();
        emit Started(false, QString::fromStdString(why));
        return;
    }
    // Each ended attempt goes to the plant on a thread of its own; no unit waits for the server.
    pusher_.reset();
    if (!request_.recordServer.empty())
        pusher_ = std::make_unique<record::BackgroundPusher>(request_.journalPath, request_.recordServer);
    labels_.assign(request_.slotConfigs.size(), std::string());
    station_ = std::make_unique<Station>(request_.base, *request_.recipe, *this, *this);
    for (const SlotConfig& c : request_.slotConfigs) station_->AddSlot(c);
    connect(station_.get(), &Station::Finished, this, &StationWorker::Finished);
    emit Started(true, QString());
    station_->Start();
}

void StationWorker::Stop() {
    if (station_) station_->Stop();
}

void StationWorker::SetLabel(int slot, const std::string& label) {
    if (!station_ || slot < 0 || slot >= static_cast<int>(labels_.size())) return;
    labels_[slot] = label;
    station_->Slots()[slot]->SetLabel(label);
}

bool StationWorker::Complete(const record::Attempt& a, std::string& error) {
    if (!journal_->Complete(a, error)) return false;
    if (pusher_) pusher_->Nudge();
    return true;
}

void StationWorker::Shutdown() {
    station_.reset();
    pusher_.reset();
    journal_.reset();
}

void StationWorker::OnSlotStatus(int slot, const SlotStatus& status) {
    emit StatusChanged(slot, status, station_->Slots()[slot]->Counts());
}

bool StationWorker::Begin(const record::Attempt& a, std::string& error) { return journal_->Begin(a, error); }

void StationWorker::Write(std::vector<record::JournalChange>& changes) {
    journal_->Write(changes);
    if (pusher_) pusher_->Nudge();
}

void StationWorker::OnAttemptBegun(int slot, const record::Attempt& a) {
    if (slot < 0 || slot >= static_cast<int>(labels_.size())) return;
    emit AttemptBegun(slot, a);
    if (labels_[slot].empty()) return;
    // One label, one unit.
    labels_[slot].clear();
    station_->Slots()[slot]->SetLabel(std::string());
    emit LabelTaken(slot);
}

void StationWorker::OnAttemptEnded(int slot, const record::Attempt& a) { emit AttemptEnded(slot, a); }

StationThread::StationThread() : worker_(new StationWorker) {
    qRegisterMetaType<SlotStatus>();
    qRegisterMetaType<SlotCounts>();
    qRegisterMetaType<record::Attempt>();
    worker_->moveToThread(&thread_);
    connect(&thread_, &QThread::finished, worker_, &QObject::deleteLater);
    thread_.start();
}

StationThread::~StationThread() {
    QMetaObject::invokeMethod(worker_, [w = worker_] { w->Shutdown(); }, Qt::BlockingQueuedConnection);
    thread_.quit();
    thread_.wait();
}

void StationThread::Run(const RunRequest& request) {
    QMetaObject::invokeMethod(worker_, [w = worker_, request] { w->Run(request); }, Qt::QueuedConnection);
}

void StationThread::Stop() {
    QMetaObject::invokeMethod(worker_, [w = worker_] { w->Stop(); }, Qt::QueuedConnection);
}

void StationThread::SetLabel(int slot, const std::string& label) {
    QMetaObject::invokeMethod(worker_, [w = worker_, slot, label] { w->SetLabel(slot, label); }, Qt::QueuedConnection);
}

}  // namespace dt::station

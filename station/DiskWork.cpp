#include "DiskWork.h"

namespace dt::station {

namespace {

// Backups of different units are different files: a few at once keep the disk busy without
// one slot's sync holding back the next.
constexpr int kBackupThreads = 8;

}  // namespace

DiskWork::DiskWork(AttemptJournal& journal) : journal_(journal) {
    backups_.setMaxThreadCount(kBackupThreads);
    thread_ = std::thread([this] { Loop(); });
}

DiskWork::~DiskWork() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
    thread_.join();
    backups_.waitForDone();
}

void DiskWork::Begin(const record::Attempt& a, QObject* context, Done done) { Ask(true, a, context, std::move(done)); }

void DiskWork::Complete(const record::Attempt& a, QObject* context, Done done) {
    Ask(false, a, context, std::move(done));
}

void DiskWork::Ask(bool begin, const record::Attempt& a, QObject* context, Done done) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        Pending p{record::JournalChange{}, context, std::move(done)};
        p.change.begin = begin;
        p.change.attempt = a;
        queue_.push_back(std::move(p));
    }
    wake_.notify_all();
}

void DiskWork::Loop() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stop_ || !queue_.empty(); });
        // Stopping still writes what was asked for: an attempt's end is never dropped.
        if (queue_.empty()) return;
        std::vector<Pending> batch;
        batch.swap(queue_);
        lock.unlock();
        std::vector<record::JournalChange> changes;
        for (const Pending& p : batch) changes.push_back(p.change);
        journal_.Write(changes);
        for (size_t i = 0; i < batch.size(); ++i) {
            const bool ok = changes[i].ok;
            const std::string error = changes[i].error;
            QMetaObject::invokeMethod(
                batch[i].context, [done = std::move(batch[i].done), ok, error] { done(ok, error); },
                Qt::QueuedConnection);
        }
        lock.lock();
    }
}

BackupKeeper::Runner DiskWork::BackupRunner(QObject* context) {
    return [this, context](std::function<void()> write, std::function<void()> done) {
        backups_.start([context, write = std::move(write), done = std::move(done)]() mutable {
            write();
            QMetaObject::invokeMethod(context, std::move(done), Qt::QueuedConnection);
        });
    };
}

}  // namespace dt::station

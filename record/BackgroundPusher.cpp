#include "Journal.h"
#include "PlantRecord.h"

namespace record {

BackgroundPusher::BackgroundPusher(std::string journalPath, std::string conninfo, std::chrono::milliseconds retry)
    : journalPath_(std::move(journalPath)), conninfo_(std::move(conninfo)), retry_(retry) {
    thread_ = std::thread([this] { Loop(); });
}

BackgroundPusher::~BackgroundPusher() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

void BackgroundPusher::Nudge() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        due_ = true;
    }
    wake_.notify_all();
}

BackgroundPusher::Status BackgroundPusher::Current() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return status_;
}

bool BackgroundPusher::WaitIdle(std::chrono::milliseconds limit) {
    std::unique_lock<std::mutex> lock(mutex_);
    return idle_.wait_for(lock, limit, [this] { return !due_ && !busy_; });
}

void BackgroundPusher::Loop() {
    std::unique_lock<std::mutex> lock(mutex_);
    while (!stop_) {
        if (!due_) {
            // After a failure the attempts wait; they go on the next nudge or after the retry time.
            const bool failed = !status_.lastError.empty();
            if (failed) wake_.wait_for(lock, retry_, [this] { return due_ || stop_; });
            else wake_.wait(lock, [this] { return due_ || stop_; });
            if (stop_) break;
            due_ = true;
        }
        due_ = false;
        busy_ = true;
        lock.unlock();
        Journal journal;
        PushResult result;
        std::string error;
        if (journal.Open(journalPath_, error)) PushJournal(journal, conninfo_, result, error);
        lock.lock();
        busy_ = false;
        status_.pushed += result.sent;
        status_.lastError = error;
        ++status_.pushes;
        idle_.notify_all();
    }
}

}  // namespace record

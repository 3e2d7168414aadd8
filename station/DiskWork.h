#pragma once
// A station's writes to disk, away from the thread that serves its slots, so no slot waits for
// another's disk: the journal's records on one thread of their own, those that waited together
// written with one sync; backups on a few threads. Each outcome comes back to its slot as a
// queued call on the slot's own thread.
#include <QObject>
#include <QThreadPool>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "AttemptJournal.h"
#include "BackupKeeper.h"

namespace dt::station {

class DiskWork {
public:
    explicit DiskWork(AttemptJournal& journal);
    // Writes every record and backup asked for before it returns.
    ~DiskWork();
    DiskWork(const DiskWork&) = delete;
    DiskWork& operator=(const DiskWork&) = delete;

    using Done = std::function<void(bool ok, const std::string& error)>;
    // `done` runs on `context`'s thread once the record is on disk (or cannot be); `context`
    // must outlive this object.
    void Begin(const record::Attempt& a, QObject* context, Done done);
    void Complete(const record::Attempt& a, QObject* context, Done done);
    // For a slot's backup keeper; the same rule for `context`.
    BackupKeeper::Runner BackupRunner(QObject* context);

private:
    struct Pending {
        record::JournalChange change;
        QObject* context;
        Done done;
    };
    void Ask(bool begin, const record::Attempt& a, QObject* context, Done done);
    void Loop();

    AttemptJournal& journal_;
    QThreadPool backups_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::vector<Pending> queue_;
    bool stop_ = false;
    std::thread thread_;  // last: it starts once the rest is in place
};

}  // namespace dt::station

#include "ProgramJournal.h"

#include <chrono>
#include <filesystem>

#include "Journal.h"
#include "PlantRecord.h"
#include "Settings.h"

namespace dt::cli {

namespace {

class ProductionJournal : public station::AttemptJournal {
public:
    bool Open(std::string& error) {
        const std::string path = record::Journal::DefaultPath();
        // The data folder may not exist yet: no backup has been written on this machine.
        std::error_code ignored;
        std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
        if (!journal_.Open(path, error)) return false;
        // With a plant database configured, each ended attempt goes there on a thread of its own.
        const std::string server = record::ConfiguredRecordServer(DefaultSettingsPath());
        if (!server.empty()) pusher_ = std::make_unique<record::BackgroundPusher>(path, server);
        return true;
    }
    ~ProductionJournal() override {
        // The run's last attempts go out before the program ends, unless the server is slow.
        if (pusher_) pusher_->WaitIdle(std::chrono::seconds(10));
    }
    bool Begin(const record::Attempt& a, std::string& error) override { return journal_.Begin(a, error); }
    bool Complete(const record::Attempt& a, std::string& error) override {
        if (!journal_.Complete(a, error)) return false;
        if (pusher_) pusher_->Nudge();
        return true;
    }
    void Write(std::vector<record::JournalChange>& changes) override {
        journal_.Write(changes);
        if (pusher_) pusher_->Nudge();
    }

private:
    record::Journal journal_;
    std::unique_ptr<record::BackgroundPusher> pusher_;  // after the journal: it stops first
};

}  // namespace

std::unique_ptr<station::AttemptJournal> OpenProductionJournal(std::string& error) {
    auto journal = std::make_unique<ProductionJournal>();
    if (!journal->Open(error)) return nullptr;
    return journal;
}

}  // namespace dt::cli

#include "ProgramJournal.h"

#include <filesystem>

#include "Journal.h"

namespace dt::cli {

namespace {

class ProductionJournal : public station::AttemptJournal {
public:
    bool Open(std::string& error) {
        const std::string path = record::Journal::DefaultPath();
        // The data folder may not exist yet: no backup has been written on this machine.
        std::error_code ignored;
        std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
        return journal_.Open(path, error);
    }
    bool Begin(const record::Attempt& a, std::string& error) override { return journal_.Begin(a, error); }
    bool Complete(const record::Attempt& a, std::string& error) override { return journal_.Complete(a, error); }

private:
    record::Journal journal_;
};

}  // namespace

std::unique_ptr<station::AttemptJournal> OpenProductionJournal(std::string& error) {
    auto journal = std::make_unique<ProductionJournal>();
    if (!journal->Open(error)) return nullptr;
    return journal;
}

}  // namespace dt::cli

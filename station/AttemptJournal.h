#pragma once
// Where a station records its attempts: the local journal in production, a list in tests. An
// attempt whose start cannot be recorded is not made, so no unit is written without its record.
// A station calls it from a thread of its own (see DiskWork), never two calls at once.
#include <string>
#include <vector>

#include "Attempt.h"
#include "Journal.h"

namespace dt::station {

class AttemptJournal {
public:
    virtual ~AttemptJournal() = default;
    virtual bool Begin(const record::Attempt& a, std::string& error) = 0;
    virtual bool Complete(const record::Attempt& a, std::string& error) = 0;
    // The changes that waited together; a journal that can writes them with one sync.
    virtual void Write(std::vector<record::JournalChange>& changes) {
        for (record::JournalChange& c : changes)
            c.ok = c.begin ? Begin(c.attempt, c.error) : Complete(c.attempt, c.error);
    }
};

}  // namespace dt::station

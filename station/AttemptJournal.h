#pragma once
// Where a station records its attempts: the local journal in production, a list in tests. An
// attempt whose start cannot be recorded is not made, so no unit is written without its record.
#include <string>

#include "Attempt.h"

namespace dt::station {

class AttemptJournal {
public:
    virtual ~AttemptJournal() = default;
    virtual bool Begin(const record::Attempt& a, std::string& error) = 0;
    virtual bool Complete(const record::Attempt& a, std::string& error) = 0;
};

}  // namespace dt::station

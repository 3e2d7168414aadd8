#pragma once
// The production record `program` keeps: production.sqlite in the data folder.
#include <memory>
#include <string>

#include "AttemptJournal.h"

namespace dt::cli {

// Opened (and rows a killed run left started marked interrupted), or null with the reason.
std::unique_ptr<station::AttemptJournal> OpenProductionJournal(std::string& error);

}  // namespace dt::cli

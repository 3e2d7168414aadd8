// Figures per group of attempts: how many, how many passed and failed, the first-pass yield and
// the failure causes counted. The same for a station's journal and the plant's database.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "Attempt.h"

namespace record {

enum class ReportBy { All, Day, Recipe, Station, Operator };

// "day", "recipe", "station", "operator"; false for any other word.
bool ReportByFromWord(const std::string& word, ReportBy& by);

struct ReportGroup {
    std::string key;  // the day (2026-12-08, UTC), recipe file, station or operator; "all"
    int attempts = 0;
    int passes = 0;
    int failures = 0;  // fail and error
    int interrupted = 0;
    int firstAttempts = 0;                            // attempts that were their unit's first
    int firstPasses = 0;                              // ... and passed
    std::vector<std::pair<std::string, int>> causes;  // most frequent first, then by text
    // First-pass yield: firstPasses / firstAttempts; -1 when the group has no first attempt.
    double FirstPassYield() const { return firstAttempts ? double(firstPasses) / firstAttempts : -1; }
};

// Attempts still running are left out. A unit is its label; attempts without a label are units
// of their own. A unit's first attempt is its earliest among `attempts`. Groups in key order.
std::vector<ReportGroup> Summarize(std::vector<Attempt> attempts, ReportBy by);

}  // namespace record

// The attempt's members in the order both record tables store them, for binding and reading
// rows without naming each member twice. The outcome (kOutcomeColumn) is stored as its word.
#pragma once

#include "Attempt.h"

namespace record {

constexpr int kAttemptColumns = 15;
constexpr int kOutcomeColumn = 6;
constexpr int kStartedColumn = 13;
constexpr int kEndedColumn = 14;

inline std::string Attempt::*const kAttemptMembers[kAttemptColumns] = {
    &Attempt::id,
    &Attempt::recipeFile,
    &Attempt::recipeSha256,
    &Attempt::writtenSha256,
    &Attempt::readBackSha256,
    &Attempt::identity,
    nullptr,  // the outcome
    &Attempt::cause,
    &Attempt::roundedJson,
    &Attempt::label,
    &Attempt::operatorName,
    &Attempt::station,
    &Attempt::port,
    &Attempt::started,
    &Attempt::ended,
};

// Column `col`'s text, and the reverse.
inline std::string ColumnText(const Attempt& a, int col) {
    return kAttemptMembers[col] ? a.*kAttemptMembers[col] : std::string(OutcomeWord(a.outcome));
}
inline void SetColumn(Attempt& a, int col, const std::string& text) {
    if (kAttemptMembers[col]) a.*kAttemptMembers[col] = text;
    else OutcomeFromWord(text, a.outcome);
}

}  // namespace record

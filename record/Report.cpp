#include "Report.h"

#include <algorithm>
#include <set>

namespace record {

namespace {

struct ByName {
    ReportBy by;
    const char* word;
};
constexpr ByName kByNames[] = {
    {ReportBy::Day, "day"},
    {ReportBy::Recipe, "recipe"},
    {ReportBy::Station, "station"},
    {ReportBy::Operator, "operator"},
};

std::string GroupKey(const Attempt& a, ReportBy by) {
    switch (by) {
    case ReportBy::Day: return a.started.substr(0, 10);
    case ReportBy::Recipe: return a.recipeFile;
    case ReportBy::Station: return a.station;
    case ReportBy::Operator: return a.operatorName;
    case ReportBy::All: break;
    }
    return "all";
}

void Count(ReportGroup& g, const Attempt& a, bool first, std::map<std::string, int>& causes) {
    ++g.attempts;
    if (a.outcome == Outcome::Pass) ++g.passes;
    else if (a.outcome == Outcome::Interrupted) ++g.interrupted;
    else ++g.failures;
    if (a.outcome != Outcome::Pass) ++causes[a.cause];
    if (first) {
        ++g.firstAttempts;
        if (a.outcome == Outcome::Pass) ++g.firstPasses;
    }
}

}  // namespace

bool ReportByFromWord(const std::string& word, ReportBy& by) {
    for (const ByName& n : kByNames)
        if (word == n.word) {
            by = n.by;
            return true;
        }
    return false;
}

std::vector<ReportGroup> Summarize(std::vector<Attempt> attempts, ReportBy by) {
    attempts.erase(std::remove_if(attempts.begin(), attempts.end(),
                                  [](const Attempt& a) { return a.outcome == Outcome::Started; }),
                   attempts.end());
    std::stable_sort(attempts.begin(), attempts.end(),
                     [](const Attempt& x, const Attempt& y) { return x.started < y.started; });
    std::map<std::string, ReportGroup> groups;
    std::map<std::string, std::map<std::string, int>> causes;
    std::set<std::string> seenUnits;
    for (const Attempt& a : attempts) {
        const bool first = a.label.empty() || seenUnits.insert(a.label).second;
        const std::string key = GroupKey(a, by);
        ReportGroup& g = groups[key];
        g.key = key;
        Count(g, a, first, causes[key]);
    }
    std::vector<ReportGroup> out;
    for (auto& [key, g] : groups) {
        for (const auto& c : causes[key]) g.causes.push_back(c);
        std::stable_sort(g.causes.begin(), g.causes.end(),
                         [](const auto& x, const auto& y) { return x.second > y.second; });
        out.push_back(std::move(g));
    }
    return out;
}

}  // namespace record

// Journals in a test's own folder, and attempts filled as a station fills them.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "Attempt.h"

namespace rtest {

class TempDir {
public:
    TempDir() {
        char pattern[] = "/tmp/dt-record-XXXXXX";
        path_ = mkdtemp(pattern);
    }
    ~TempDir() { std::filesystem::remove_all(path_); }
    std::string File(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

inline std::string ReadAll(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

// A started attempt; `n` tells attempts apart and orders their start times.
inline record::Attempt Started(int n, const std::string& port = "COM3") {
    record::Attempt a;
    a.id = record::NewAttemptId();
    a.recipeFile = "fleet.ged";
    a.recipeSha256 = std::string(64, 'a');
    a.identity = "foc";
    a.label = "SN" + std::to_string(n);
    a.operatorName = "li";
    a.station = "line-1";
    a.port = port;
    char t[64];
    std::snprintf(t, sizeof t, "2026-12-%02dT10:00:%02d.000Z", 1 + n / 60 % 28, n % 60);
    a.started = t;
    return a;
}

inline record::Attempt Ended(record::Attempt a, record::Outcome o, const std::string& cause = "") {
    a.outcome = o;
    a.cause = cause;
    a.writtenSha256 = std::string(64, 'b');
    a.readBackSha256 = std::string(64, 'b');
    a.roundedJson = "[]";
    a.ended = a.started.substr(0, 20) + "900Z";
    return a;
}

}  // namespace rtest

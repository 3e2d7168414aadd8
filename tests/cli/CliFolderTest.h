#pragma once
// drivetune-cli run in this process with a folder of its own for settings, backups and the log,
// and its JSON output parsed.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "CliMain.h"
#include "Json.h"
#include "ScopedXdgHome.h"

namespace clitest {

inline std::string Sample(const std::string& name) { return std::string(DT_SOURCE_DIR) + "/samples/" + name; }

class CliFolder : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/dtcliXXXXXX";
        dir_ = ::mkdtemp(tmpl);
        xdg_ = std::make_unique<dttest::ScopedXdgHome>(dir_);
    }
    void TearDown() override {
        xdg_.reset();
        std::filesystem::remove_all(dir_);
    }
    // The JSON the command prints, its exit status expected to be wantRc.
    dt::cli::Json Output(const std::vector<std::string>& args, int wantRc = 0) {
        std::ostringstream out, err;
        EXPECT_EQ(dt::cli::Run(args, out, err, dir_ + "/text.ini"), wantRc) << err.str();
        return dt::cli::Json::parse(out.str());
    }
    std::string dir_;
    std::unique_ptr<dttest::ScopedXdgHome> xdg_;
};

}  // namespace clitest

// drivetune-cli's sheets, JSON, checks and diffs of every sample file, byte for byte as
// kept in golden/ (rewritten on purpose with scripts/golden-cli).
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct GoldenCase {
    std::string name;
    std::string args;
};

const std::string kGolden = DT_SOURCE_DIR "/tests/integration/golden/";

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<GoldenCase> Cases() {
    std::vector<GoldenCase> cases;
    std::istringstream in(ReadText(kGolden + "cases"));
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        const size_t space = line.find(' ');
        cases.push_back({line.substr(0, space), space == std::string::npos ? "" : line.substr(space + 1)});
    }
    return cases;
}

// What scripts/golden-cli writes for one case: standard output, standard error, exit status.
std::string RunCli(const std::string& args, const std::string& scratch) {
    const std::string err = scratch + "/err";
    const std::string command = "cd '" DT_SOURCE_DIR "/samples' && XDG_CONFIG_HOME='" + scratch + "' XDG_DATA_HOME='" + scratch +
                                "' XDG_STATE_HOME='" + scratch + "' '" DT_BINARY_DIR
                                "/cli/drivetune-cli' " + args + " 2>'" + err + "'";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return "popen failed";
    std::string out;
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0) out.append(buf, n);
    const int status = pclose(pipe);
    const int rc = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return out + "--- standard error ---\n" + ReadText(err) + "--- exit " + std::to_string(rc) + " ---\n";
}

TEST(GoldenOutput, EverySampleFileGivesTheKeptOutput) {
    QTemporaryDir scratch;
    ASSERT_TRUE(scratch.isValid());
    const std::vector<GoldenCase> cases = Cases();
    ASSERT_GE(cases.size(), 40u);
    for (const GoldenCase& c : cases) {
        const std::string want = ReadText(kGolden + c.name + ".txt");
        ASSERT_FALSE(want.empty()) << c.name;
        EXPECT_EQ(RunCli(c.args, scratch.path().toStdString()), want) << c.name << ": drivetune-cli " << c.args;
    }
}

}  // namespace

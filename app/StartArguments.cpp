#include "StartArguments.h"

#include "Version.h"

namespace dt {

StartArguments ParseStartArguments(const std::vector<std::string>& args) {
    StartArguments a;
    const std::string expect = "--expect-sha256";
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& word = args[i];
        if (word == "--version") a.version = true;
        else if (word == "--station") a.station = true;
        else if (word == expect && i + 1 < args.size()) a.expectSha256 = args[++i];
        else if (word.rfind(expect + "=", 0) == 0) a.expectSha256 = word.substr(expect.size() + 1);
        else if (word == "--help" || word == "-h") a.help = true;
        else if (a.file.empty() && !word.empty() && word[0] != '-') a.file = word;
    }
    return a;
}

bool AnswerInfoArguments(const StartArguments& a, std::ostream& out) {
    if (a.version) {
        out << "drivetune " DRIVETUNE_VERSION "\n";
        return true;
    }
    if (!a.help) return false;
    out << "Usage: drivetune [FILE]\n"
           "       drivetune --station [RECIPE] [--expect-sha256 HEX]\n\n"
           "Opens the DriveTune window, which reads, edits and writes the parameters of e-bike and\n"
           "scooter motor controllers through a serial port. FILE, a .foc or .ged parameter file,\n"
           "is imported once the window is up, as Import does.\n\n"
           "  --station            open the station window instead: one recipe programmed into\n"
           "                       the units on many ports, with counts, labels and history\n"
           "  --expect-sha256 HEX  the station refuses a recipe whose SHA-256 is not HEX\n"
           "  --help               print this help and exit\n"
           "  --version            print the version and exit\n\n"
           "The Qt toolkit's options, such as -platform, are accepted too.\n";
    return true;
}

}  // namespace dt

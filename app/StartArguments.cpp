#include "StartArguments.h"

#include "Version.h"

namespace dt {

StartArguments ParseStartArguments(const std::vector<std::string>& args) {
    StartArguments a;
    for (const std::string& word : args) {
        if (word == "--version") a.version = true;
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
    out << "Usage: drivetune [FILE]\n\n"
           "Opens the DriveTune window, which reads, edits and writes the parameters of e-bike and\n"
           "scooter motor controllers through a serial port. FILE, a .foc or .ged parameter file,\n"
           "is imported once the window is up, as Import does.\n\n"
           "  --help     print this help and exit\n"
           "  --version  print the version and exit\n\n"
           "The Qt toolkit's options, such as -platform, are accepted too.\n";
    return true;
}

}  // namespace dt

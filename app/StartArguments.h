#pragma once
// What the window program is asked for on its command line, beyond Qt's own options: the version
// or a short help (answered before any display is opened, so they work without one), and a
// parameter file to import once the window is up; or the station window with its recipe.
#include <ostream>
#include <string>
#include <vector>

namespace dt {

struct StartArguments {
    bool version = false;
    bool help = false;
    std::string file;  // "" when none
    bool station = false;      // --station: the station window; file is its recipe
    std::string expectSha256;  // --expect-sha256 HEX (or =HEX)
};

// args without the program name. Qt's options, when still there, are left alone; the first word
// that is not an option names the file.
StartArguments ParseStartArguments(const std::vector<std::string>& args);

// Prints what --version or --help asks for; true when the program should end there.
bool AnswerInfoArguments(const StartArguments& a, std::ostream& out);

}  // namespace dt

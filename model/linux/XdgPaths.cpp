#include "XdgPaths.h"

#include <cstdlib>

namespace dt {

std::string XdgBaseDir(const char* variable, const char* homeRelative) {
    // A relative path in the variable is to be ignored.
    const char* xdg = std::getenv(variable);
    if (xdg && xdg[0] == '/') return xdg;
    const char* home = std::getenv("HOME");
    return std::string(home && *home ? home : ".") + "/" + homeRelative;
}

}  // namespace dt

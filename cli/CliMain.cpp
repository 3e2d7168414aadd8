#include "CliMain.h"

#include <cstdio>

namespace dt::cli {
int Main(int, char**) {
    std::fprintf(stderr, "drivetune-cli: not ready\n");
    return 2;
}
}  // namespace dt::cli

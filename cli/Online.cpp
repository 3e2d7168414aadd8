#include "Online.h"

namespace dt::cli {

int RunOnlineCommand(const std::string&, const std::vector<std::string>&, ToolState&, std::ostream&,
                     std::ostream&) {
    return -1;
}

std::string OnlineUsage() { return std::string(); }

}  // namespace dt::cli

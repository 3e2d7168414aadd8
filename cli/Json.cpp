#include "Json.h"

namespace dt::cli {

Json Document() { return Json{{"schema", kJsonSchema}}; }

void PrintJson(std::ostream& out, const Json& document) {
    out << document.dump(2, ' ', false, Json::error_handler_t::replace) << "\n";
}

}  // namespace dt::cli

#include "PortHints.h"

namespace dt {

// Access denied means another program holds the port; not found, an unplugged adapter or one
// without a driver.
const PortHintTexts kPortHintTexts = {XTX_PORT_MISSING_WINDOWS, XTX_PORT_BUSY_WINDOWS};

}  // namespace dt

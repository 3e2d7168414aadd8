#include "PortHints.h"

namespace dt {

const PortHintTexts kPortHintTexts = {XTX_PORT_MISSING, XTX_PORT_BUSY};

}  // namespace dt

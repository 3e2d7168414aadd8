#include "PortFailure.h"

#include "PortHints.h"
#include "ToolState.h"

namespace dt {

std::string PortFailureHint(const ToolState& state, const PortFailure& failure) {
    switch (failure.fault) {
        case PortFault::None: return "";
        case PortFault::Missing: return FillIn(state.Extra(kPortHintTexts.missing), failure.device);
        case PortFault::NoPermission:
            return FillIn(state.Extra(XTX_PORT_NO_PERMISSION), failure.group.empty() ? "dialout" : failure.group);
        case PortFault::Busy: return FillIn(state.Extra(kPortHintTexts.busy), failure.device);
        case PortFault::Other: return FillIn(state.Extra(XTX_PORT_OTHER), failure.detail);
    }
    return "";
}

const char* PortFaultName(PortFault fault) {
    switch (fault) {
        case PortFault::None: return "none";
        case PortFault::Missing: return "missing";
        case PortFault::NoPermission: return "no permission";
        case PortFault::Busy: return "busy";
        case PortFault::Other: return "other";
    }
    return "";
}

}  // namespace dt

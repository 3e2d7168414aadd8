#pragma once
// One controller as its reads and imports leave it in memory: a value, copied per controller.
#include <cstdint>

#include "Blocks.h"
#include "ControllerKind.h"
#include "Identity.h"
#include "OptionLists.h"
#include "ParamTables.h"

namespace dt {

struct CurrentLimits {
    int limitMaxPhase = 0;
    int limitRatedPhase = 0;
    int limitBoost = 0;
    int limitBattery = 0;
    int limitEbs = 0;
};

struct ControllerImage {
    ControllerKind kind = ControllerKind::Standard;  // the identity's, or the adopted set's
    FunctionVariant variant = FunctionVariant::B;    // the function set the model word selects
    ParameterBlock block;
    FocBlock foc;
    bool dataValid = false;
    uint16_t modelWord = kNoModelWord;
    ControllerIdentity identity;
    Calibration calibration;
    CurrentLimits limits;
    VoltageClassState voltage;
};

}  // namespace dt

// The character's race: its name and the adjustments to the four basic
// attributes with their point costs.
#pragma once

#include "common/text.h"

#include <cstdint>

namespace quillet {

class clsRace {
public:
    clsRace() { InitializeData(); }

    // Back to a plain human: name "Human", every number 0.
    void InitializeData();

    Text Name;
    int16_t STAdj = 0;
    int32_t STCost = 0;
    int16_t DXAdj = 0;
    int32_t DXCost = 0;
    int16_t IQAdj = 0;
    int32_t IQCost = 0;
    int16_t HTAdj = 0;
    int32_t HTCost = 0;
};

} // namespace quillet

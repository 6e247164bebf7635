#include "model/program_data.h"

namespace vrx {

PinLocation pinLocation(int row) {
    // The first three boards bring out their top three pins, IN4 its upper half and
    // IN5 all 64.
    if (row <= 3) {
        return {"IN1", row + 61};
    }
    if (row <= 6) {
        return {"IN2", row + 58};
    }
    if (row <= 9) {
        return {"IN3", row + 55};
    }
    if (row <= 41) {
        return {"IN4", row + 23};
    }
    return {"IN5", row - 41};
}

std::string keyOffsetText(int keyOffset) {
    return keyOffset > 0 ? "+" + std::to_string(keyOffset) : std::to_string(keyOffset);
}

}  // namespace vrx

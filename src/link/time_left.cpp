#include "link/time_left.h"

namespace vrx {

std::string timeLeftText(std::int64_t elapsedMs, int done, int total) {
    if (done <= 0 || done >= total) {
        return {};
    }
    const std::int64_t leftMs = elapsedMs * (total - done) / done;
    const std::int64_t seconds = (leftMs + 999) / 1000;
    if (seconds < 90) {
        return "About " + std::to_string(seconds) + " s left";
    }
    return "About " + std::to_string((seconds + 30) / 60) + " min left";
}

}  // namespace vrx

#pragma once

#include <cmath>
#include <cstdint>

namespace vrx {

// Window placement as the settings file keeps it: in twips (1440 per logical inch), so
// that a stored placement means the same on screens of different pixel density. The Qt
// program converts with its screen's logical DPI: twips per pixel = 1440 / DPI.
constexpr double kTwipsPerInch = 1440.0;

enum class WindowState { kNormal, kMinimised, kMaximised };

// The window's normal (not maximised) rectangle and its state.
struct WindowPlacement {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    WindowState state = WindowState::kNormal;

    bool operator==(const WindowPlacement&) const = default;
};

// The area of the screen the window is placed on that windows may use: without a top
// panel or a side dock, and on a second monitor starting where the first one ends.
struct ScreenGeometry {
    std::int32_t widthTwips = 0;
    std::int32_t heightTwips = 0;
    double twipsPerPixelX = 15.0;  // 96 DPI
    double twipsPerPixelY = 15.0;
    std::int32_t leftTwips = 0;
    std::int32_t topTwips = 0;
};

inline double twipsPerPixel(double logicalDpi) {
    return kTwipsPerInch / logicalDpi;
}
inline std::int32_t pixelsToTwips(int pixels, double twipsPerPixel) {
    return static_cast<std::int32_t>(std::lround(pixels * twipsPerPixel));
}
inline int twipsToPixels(std::int32_t twips, double twipsPerPixel) {
    return static_cast<int>(std::lround(twips / twipsPerPixel));
}

}  // namespace vrx

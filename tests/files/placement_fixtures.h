#pragma once

#include "files/window_placement.h"

namespace vrx::testing {

// 1920 x 1080 pixels at 96 DPI: 15 twips per pixel, so the 4-pixel margin is 60 twips.
constexpr ScreenGeometry kFullHd{1920 * 15, 1080 * 15, 15.0, 15.0};
// The main window as designed; its size is also the smallest it may be restored to.
constexpr WindowPlacement kDesigned{1000, 800, 9000, 6000, WindowState::kNormal};

}  // namespace vrx::testing

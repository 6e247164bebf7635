#include "app/window_placing.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace vrx::app {
namespace {

QPoint pixelsOf(std::int32_t left, std::int32_t top, const ScreenGeometry& units) {
    return {twipsToPixels(left, units.twipsPerPixelX), twipsToPixels(top, units.twipsPerPixelY)};
}

}  // namespace

ScreenGeometry availableAreaOf(const QScreen& screen) {
    ScreenGeometry geometry;
    geometry.twipsPerPixelX = twipsPerPixel(screen.logicalDotsPerInchX());
    geometry.twipsPerPixelY = twipsPerPixel(screen.logicalDotsPerInchY());
    const auto available = screen.availableGeometry();
    geometry.leftTwips = pixelsToTwips(available.left(), geometry.twipsPerPixelX);
    geometry.topTwips = pixelsToTwips(available.top(), geometry.twipsPerPixelY);
    geometry.widthTwips = pixelsToTwips(available.width(), geometry.twipsPerPixelX);
    geometry.heightTwips = pixelsToTwips(available.height(), geometry.twipsPerPixelY);
    return geometry;
}

WindowPlacement placementOf(const QWidget& window, const ScreenGeometry& screen) {
    // A maximised or minimised window is stored without its rectangle; the normal one
    // is only needed for a window shown normally.
    const QPoint corner = window.frameGeometry().topLeft();
    WindowPlacement placement;
    placement.left = pixelsToTwips(corner.x(), screen.twipsPerPixelX);
    placement.top = pixelsToTwips(corner.y(), screen.twipsPerPixelY);
    placement.width = pixelsToTwips(window.width(), screen.twipsPerPixelX);
    placement.height = pixelsToTwips(window.height(), screen.twipsPerPixelY);
    placement.state = window.isMaximized()   ? WindowState::kMaximised
                      : window.isMinimized() ? WindowState::kMinimised
                                             : WindowState::kNormal;
    return placement;
}

const QScreen& screenHolding(const QWidget& window, const WindowPlacement& stored,
                             const ScreenGeometry& units) {
    if (const QScreen* holding =
            QGuiApplication::screenAt(pixelsOf(stored.left, stored.top, units))) {
        return *holding;
    }
    return window.screen() ? *window.screen() : *QGuiApplication::primaryScreen();
}

void applyPlacement(QWidget& window, const WindowPlacement& placed, const ScreenGeometry& units) {
    window.move(pixelsOf(placed.left, placed.top, units));
    window.resize(twipsToPixels(placed.width, units.twipsPerPixelX),
                  twipsToPixels(placed.height, units.twipsPerPixelY));
}

}  // namespace vrx::app

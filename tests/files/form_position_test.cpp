#include <gtest/gtest.h>

#include "files/ini_file.h"
#include "placement_fixtures.h"
#include "temp_folder.h"

namespace vrx {
namespace {

using testing::kDesigned;
using testing::kFullHd;

TEST(FormPosition, StoredPlacementIsFittedOnTheScreen) {
    testing::TempFolder folder;
    constexpr auto kMaximised = WindowState::kMaximised;
    // 120 DPI has 12 twips per pixel, so a 48-twip margin.
    constexpr ScreenGeometry k120Dpi{1920 * 12, 1080 * 12, 12, 12};
    // A top panel and a left dock leave the window the area beside and below them.
    constexpr ScreenGeometry kDocked{1856 * 15, 1052 * 15, 15, 15, 64 * 15, 28 * 15};
    // A second monitor right of the first.
    constexpr ScreenGeometry kSecond{1280 * 15, 1024 * 15, 15, 15, 1920 * 15, 0};
    constexpr ScreenGeometry kTiny{400 * 15, 300 * 15, 15, 15};
    struct Case {
        std::string_view stored;
        ScreenGeometry screen;
        WindowPlacement expected;
    };
    const Case cases[] = {
        {"Left=1500\nTop=900\nWidth=12000\nHeight=7000", kFullHd, {1500, 900, 12000, 7000}},
        {"", kFullHd, kDesigned},
        // Text that is no number keeps the window's value.
        {"Left=abc\nTop=\nWidth=12000.4\nHeight=7000.5", kFullHd, {1000, 800, 12000, 7000}},
        // A small size is raised to the minimum.
        {"Left=1500\nTop=900\nWidth=3000\nHeight=100", kFullHd, {1500, 900, 9000, 6000}},
        {"Left=-2000000000\nTop=-5\nWidth=9000\nHeight=6000", kFullHd, {60, 60, 9000, 6000}},
        {"Left=25000\nTop=15000\nWidth=9000\nHeight=6000", kFullHd, {19740, 10140, 9000, 6000}},
        // Larger than the screen shrinks to it, with the margins.
        {"Left=500\nTop=500\nWidth=40000\nHeight=2000000000", kFullHd, {60, 60, 28680, 16080}},
        {"Left=0\nTop=0\nWidth=40000\nHeight=6000", k120Dpi, {48, 48, 22944, 6000}},
        {"Left=0\nTop=0\nWidth=9000\nHeight=6000", kDocked, {1020, 480, 9000, 6000}},
        {"Left=30000\nTop=900\nWidth=9000\nHeight=6000", kSecond, {30000, 900, 9000, 6000}},
        {"Left=60000\nTop=900\nWidth=9000\nHeight=6000", kSecond, {38940, 900, 9000, 6000}},
        // Fitted below the minimum, the window does not move at all.
        {"Left=100\nTop=100\nWidth=9000\nHeight=6000", kTiny, kDesigned},
        // Any number but 0 restores maximised; 0.5 rounds to the even 0.
        {"Maximised=1", kFullHd, {1000, 800, 9000, 6000, kMaximised}},
        {"Maximised=-1", kFullHd, {1000, 800, 9000, 6000, kMaximised}},
        {"Maximised=2.5", kFullHd, {1000, 800, 9000, 6000, kMaximised}},
        {"Maximised=0.5", kFullHd, kDesigned},
        {"Maximised=yes", kFullHd, kDesigned},
    };
    for (const auto& c : cases) {
        testing::writeBytes(folder / "VrxConfig.ini",
                            "[VRXConfig]\n" + std::string(c.stored) + "\n");
        IniFile settings;
        settings.setPath(folder / "VrxConfig.ini");
        settings.setSection("VRXConfig");
        settings.setKey("Mine");
        settings.setDefault("dflt");
        EXPECT_EQ(settings.LoadFormPosition(kDesigned, c.screen, 9000, 6000), c.expected)
            << c.stored;
        settings.SaveFormPosition(c.expected);
        EXPECT_EQ(settings.Key() + settings.Default(), "Minedflt") << "left as they were";
    }
}

}  // namespace
}  // namespace vrx

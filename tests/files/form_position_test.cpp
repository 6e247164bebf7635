#include <gtest/gtest.h>

#include <string>

#include "files/ini_file.h"
#include "placement_fixtures.h"
#include "temp_folder.h"

namespace vrx {
namespace {

using testing::kDesigned;
using testing::kFullHd;
using testing::readBytes;
using testing::TempFolder;
using testing::writeBytes;

class FormPosition : public ::testing::Test {
protected:
    IniFile ini(std::string_view contents) {
        writeBytes(file_, contents);
        IniFile ini;
        ini.setPath(file_);
        ini.setSection("VRXConfig");
        return ini;
    }
    TempFolder folder_;
    std::filesystem::path file_ = folder_ / "VrxConfig.ini";
};

TEST_F(FormPosition, StoredPlacementIsFittedOnTheScreen) {
    struct Case {
        const char* name;
        std::string_view stored;
        ScreenGeometry screen;
        WindowPlacement expected;
    };
    const Case cases[] = {
        {"fits as stored",
         "Left=1500\nTop=900\nWidth=12000\nHeight=7000\n",
         kFullHd,
         {1500, 900, 12000, 7000}},
        {"nothing stored keeps the window", "", kFullHd, kDesigned},
        {"text that is no number keeps the window's value",
         "Left=abc\nTop=\nWidth=12000.4\nHeight=7000.5\n",
         kFullHd,
         {1000, 800, 12000, 7000}},
        {"small size is raised to the minimum",
         "Left=1500\nTop=900\nWidth=3000\nHeight=100\n",
         kFullHd,
         {1500, 900, 9000, 6000}},
        {"far left and above the screen end at the margin",
         "Left=-2000000000\nTop=-5\nWidth=9000\nHeight=6000\n",
         kFullHd,
         {60, 60, 9000, 6000}},
        {"past the right and bottom edges moves back in",
         "Left=25000\nTop=15000\nWidth=9000\nHeight=6000\n",
         kFullHd,
         {28800 - 60 - 9000, 16200 - 60 - 6000, 9000, 6000}},
        {"larger than the screen shrinks to it with margins",
         "Left=500\nTop=500\nWidth=40000\nHeight=2000000000\n",
         kFullHd,
         {60, 60, 28800 - 120, 16200 - 120}},
        {"120 DPI has 12 twips per pixel, so a 48-twip margin",
         "Left=0\nTop=0\nWidth=40000\nHeight=6000\n",
         ScreenGeometry{1920 * 12, 1080 * 12, 12, 12},
         {48, 48, 1920 * 12 - 96, 6000}},
        {"a top panel and a left dock push the window into the area left for it",
         "Left=0\nTop=0\nWidth=9000\nHeight=6000\n",
         ScreenGeometry{1856 * 15, 1052 * 15, 15, 15, 64 * 15, 28 * 15},
         {64 * 15 + 60, 28 * 15 + 60, 9000, 6000}},
        {"a second monitor right of the first keeps the window on it",
         "Left=30000\nTop=900\nWidth=9000\nHeight=6000\n",
         ScreenGeometry{1280 * 15, 1024 * 15, 15, 15, 1920 * 15, 0},
         {30000, 900, 9000, 6000}},
        {"past the second monitor's right edge moves back onto it",
         "Left=60000\nTop=900\nWidth=9000\nHeight=6000\n",
         ScreenGeometry{1280 * 15, 1024 * 15, 15, 15, 1920 * 15, 0},
         {3200 * 15 - 60 - 9000, 900, 9000, 6000}},
        {"fitted below the minimum does not move at all",
         "Left=100\nTop=100\nWidth=9000\nHeight=6000\n", ScreenGeometry{400 * 15, 300 * 15, 15, 15},
         kDesigned},
    };
    for (const auto& c : cases) {
        auto settings = ini(std::string("[VRXConfig]\n") + std::string(c.stored));
        EXPECT_EQ(settings.LoadFormPosition(kDesigned, c.screen, 9000, 6000), c.expected) << c.name;
    }
}

TEST_F(FormPosition, NonZeroMaximisedRestoresMaximised) {
    struct Case {
        std::string_view stored;
        WindowState state;
    };
    const Case cases[] = {
        {"Maximised=1", WindowState::kMaximised},  {"Maximised=0", WindowState::kNormal},
        {"Maximised=-1", WindowState::kMaximised}, {"Maximised=2.5", WindowState::kMaximised},
        {"Maximised=0.5", WindowState::kNormal},  // rounds to the even 0
        {"Maximised=yes", WindowState::kNormal},   {"", WindowState::kNormal},
    };
    for (const auto& c : cases) {
        auto settings = ini(std::string("[VRXConfig]\nWidth=9500\n") + std::string(c.stored));
        const auto placed = settings.LoadFormPosition(kDesigned, kFullHd, 9000, 6000);
        EXPECT_EQ(placed.state, c.state) << c.stored;
        EXPECT_EQ(placed.width, 9500) << c.stored;
    }
}

TEST_F(FormPosition, LoadingAndSavingLeaveKeyAndDefaultAsTheyWere) {
    auto settings = ini("[VRXConfig]\nLeft=1\n");
    settings.setKey("Mine");
    settings.setDefault("dflt");
    settings.LoadFormPosition(kDesigned, kFullHd, 9000, 6000);
    EXPECT_EQ(settings.Key(), "Mine");
    EXPECT_EQ(settings.Default(), "dflt");
    settings.SaveFormPosition(kDesigned);
    EXPECT_EQ(settings.Key(), "Mine");
}

TEST_F(FormPosition, NormalWindowStoresItsStateAndRectangleInOrder) {
    auto settings = ini("");
    settings.SaveFormPosition({1500, 900, 12000, 7000, WindowState::kNormal});
    EXPECT_TRUE(settings.Success());
    EXPECT_EQ(
        readBytes(file_),
        "[VRXConfig]\r\nMaximised=0\r\nLeft=1500\r\nTop=900\r\nWidth=12000\r\nHeight=7000\r\n");
}

TEST_F(FormPosition, MaximisedWindowKeepsThePlacementStoredBefore) {
    auto settings = ini("[VRXConfig]\nMaximised=0\nLeft=1500\nTop=900\nWidth=12000\nHeight=7000\n");
    settings.SaveFormPosition({0, 0, 28800, 16200, WindowState::kMaximised});
    EXPECT_EQ(readBytes(file_),
              "[VRXConfig]\nMaximised=1\nLeft=1500\nTop=900\nWidth=12000\nHeight=7000\n");
}

TEST_F(FormPosition, MinimisedWindowStoresNothing) {
    constexpr std::string_view before = "[VRXConfig]\nMaximised=1\nLeft=1500\n";
    auto settings = ini(before);
    settings.SaveFormPosition({0, 0, 100, 100, WindowState::kMinimised});
    EXPECT_EQ(readBytes(file_), before);
}

}  // namespace
}  // namespace vrx

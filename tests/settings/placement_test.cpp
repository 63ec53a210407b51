#include "src/settings/c_inifile.h"
#include "src/settings/widget_window.h"

#include "tests/support/temp_folder.h"

#include <QWidget>

#include <gtest/gtest.h>

#include <array>
#include <stdexcept>
#include <string>

namespace tracely {
namespace {

using Rect = std::array<std::int32_t, 4>; // left, top, width, height
constexpr Rect kStart{1500, 1200, 9000, 6000};

// A window on a 1920 x 1080 pixel screen at 15 twips per pixel (a margin of 60 twips).
struct FakeWindow : PlacedWindow {
    State state() const override { return st; }
    std::int32_t left() const override { return r[0]; }
    std::int32_t top() const override { return r[1]; }
    std::int32_t width() const override { return r[2]; }
    std::int32_t height() const override { return r[3]; }
    void move(std::int32_t l, std::int32_t t, std::int32_t w, std::int32_t h) override {
        if (fail) {
            throw std::runtime_error("window gone");
        }
        ++moves;
        r = {l, t, w, h};
    }
    void setMaximised() override { st = State::Maximised; }
    std::int32_t screenWidth() const override { return 1920 * 15; }
    std::int32_t screenHeight() const override { return 1080 * 15; }
    double twipsPerPixelX() const override { return 15.0; }
    double twipsPerPixelY() const override { return 15.0; }

    State st = State::Normal;
    Rect r = kStart;
    int moves = 0;
    bool fail = false;
};

class PlacementTest : public ::testing::Test {
protected:
    PlacementTest() {
        ini.setPath(dir.file("TRACELY.INI"));
        ini.setSection("Window");
        ini.setKey("Mine");
        ini.setDefault("mine");
    }
    void expectKeyAndDefaultKept() const {
        EXPECT_EQ(ini.Key(), "Mine");
        EXPECT_EQ(ini.Default(), "mine");
    }

    test::TempFolder dir;
    cInifile ini;
};

TEST_F(PlacementTest, SaveWritesWhatTheWindowStateAllows) {
    FakeWindow window;
    window.st = PlacedWindow::State::Minimised;
    ini.SaveFormPosition(window);
    EXPECT_FALSE(std::filesystem::exists(ini.Path()));

    window.st = PlacedWindow::State::Normal;
    ini.SaveFormPosition(window);
    EXPECT_TRUE(ini.Success());
    const std::string normal = "Left=1500\nTop=1200\nWidth=9000\nHeight=6000\n";
    EXPECT_EQ(test::readFile(ini.Path()), "[Window]\nMaximised=0\n" + normal);

    // Maximised: only the flag; the normal placement of the earlier save stays.
    window.st = PlacedWindow::State::Maximised;
    window.r = {0, 0, 28800, 16200};
    ini.SaveFormPosition(window);
    EXPECT_EQ(test::readFile(ini.Path()), "[Window]\nMaximised=1\n" + normal);
    expectKeyAndDefaultKept();
}

TEST_F(PlacementTest, LoadFitsTheStoredPlacementOntoTheScreen) {
    // clang-format off
    const struct { std::string keys; std::int32_t minW, minH; Rect want; bool moved, maximised; }
    cases[] = {
        {"", 0, 0, kStart, true, false}, // nothing stored: the window stays
        {"Left=-500\nTop=-1e3\n", 0, 0, {60, 60, 9000, 6000}, true, false},
        // Wider than the screen: 4 pixels from the left, narrowed to end 4 from the right.
        {"Left=5000\nTop=15000\nWidth=40000\nHeight=3000\n", 1000, 1000,
                              {60, 16200 - 60 - 3000, 28800 - 120, 3000}, true, false},
        {"Width=40000\n", 28800 - 119, 0, kStart, false, false}, // below the minimum
        {"Width=40000\n", 28800 - 120, 0, {60, 1200, 28800 - 120, 6000}, true, false},
        {"Width=10\nHeight=garbage\n", 2000, 8000, {1500, 1200, 2000, 8000}, true, false},
        {"Maximised=1\n", 0, 0, kStart, true, true},
        {"Maximised=0\n", 0, 0, kStart, true, false}};
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.keys + " min " + std::to_string(c.minW));
        test::writeFile(ini.Path(), "[Window]\n" + c.keys);
        FakeWindow w;
        ini.LoadFormPosition(w, c.minW, c.minH);
        EXPECT_EQ(w.r, c.want);
        EXPECT_EQ(w.moves, c.moved ? 1 : 0);
        EXPECT_EQ(w.st == PlacedWindow::State::Maximised, c.maximised);
        expectKeyAndDefaultKept();
    }
}

TEST_F(PlacementTest, AWindowThatFailsRestoresKeyAndDefaultAndReportsFailure) {
    ini.setValue("x"); // a successful write, so the failure below is visible
    ASSERT_TRUE(ini.Success());
    FakeWindow window;
    window.fail = true;
    ini.LoadFormPosition(window, 0, 0);
    EXPECT_FALSE(ini.Success());
    expectKeyAndDefaultKept();
}

TEST_F(PlacementTest, ARealWindowRoundTrips) {
    QWidget widget;
    widget.setGeometry(100, 80, 320, 240);
    widget.show();
    const QRect saved = widget.frameGeometry();
    SaveFormPosition(ini, widget);
    widget.setGeometry(20, 30, 200, 150);
    ASSERT_NE(widget.frameGeometry(), saved);
    LoadFormPosition(ini, widget, 0, 0);
    EXPECT_EQ(widget.frameGeometry(), saved);
    EXPECT_FALSE(widget.isMaximized());

    widget.showMaximized();
    ASSERT_TRUE(widget.isMaximized());
    SaveFormPosition(ini, widget);
    widget.showNormal();
    ASSERT_FALSE(widget.isMaximized());
    LoadFormPosition(ini, widget, 0, 0);
    EXPECT_TRUE(widget.isMaximized());
}

TEST(FitPlacement, RoundsToWholeTwipsAndRefusesAScreenSmallerThanItsMargins) {
    const ScreenArea screen{1000, 800, 1440.0 / 110, 1440.0 / 110}; // margin 52.36 twips
    EXPECT_EQ(fitPlacement({0, 0, 100, 100}, screen, 0, 0).left, 52);
    EXPECT_EQ(fitPlacement({600, 100, 500, 100}, screen, 0, 0).left, 448);         // 447.64
    const Placement tiny = fitPlacement({0, 0, 50, 50}, {120, 120, 15, 15}, 0, 0); // no room
    EXPECT_EQ(tiny.left, 60);
    EXPECT_EQ(tiny.width, 0);
    EXPECT_FALSE(placementUsable(tiny, 0, 0));
    EXPECT_TRUE(placementUsable({0, 0, 1, 1}, 0, 0));
}

} // namespace
} // namespace tracely

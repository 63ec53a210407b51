#include "src/settings/inifile.h"

#include "tests/settings/temp_dir.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace tracely {
namespace {

// A window on a 1920 x 1080 pixel screen at 15 twips per pixel.
class FakeWindow : public PlacedWindow {
public:
    State state() const override { return state_; }
    std::int32_t left() const override { return left_; }
    std::int32_t top() const override { return top_; }
    std::int32_t width() const override { return width_; }
    std::int32_t height() const override { return height_; }
    void move(std::int32_t l, std::int32_t t, std::int32_t w, std::int32_t h) override {
        if (failMove) {
            throw std::runtime_error("window gone");
        }
        ++moves;
        left_ = l;
        top_ = t;
        width_ = w;
        height_ = h;
    }
    void setMaximised() override { state_ = State::Maximised; }
    std::int32_t screenWidth() const override { return 1920 * 15; }
    std::int32_t screenHeight() const override { return 1080 * 15; }
    double twipsPerPixelX() const override { return 15.0; }
    double twipsPerPixelY() const override { return 15.0; }

    void place(std::int32_t l, std::int32_t t, std::int32_t w, std::int32_t h) {
        left_ = l;
        top_ = t;
        width_ = w;
        height_ = h;
    }
    std::vector<std::int32_t> rect() const { return {left_, top_, width_, height_}; }

    State state_ = State::Normal;
    int moves = 0;
    bool failMove = false;

private:
    std::int32_t left_ = 1500;
    std::int32_t top_ = 1200;
    std::int32_t width_ = 9000;
    std::int32_t height_ = 6000;
};

class PlacementTest : public ::testing::Test {
protected:
    PlacementTest() {
        ini.setPath(dir.file("TRACELY.INI"));
        ini.setSection("Window");
        ini.setKey("Mine");
        ini.setDefault("mine");
    }

    std::vector<std::string> keys() const {
        std::vector<std::string> names;
        std::int32_t count = 0;
        ini.EnumerateCurrentSection(names, count);
        return names;
    }
    std::string stored(const std::string& key) const {
        cInifile reader;
        reader.setPath(ini.Path());
        reader.setSection(ini.Section());
        reader.setKey(key);
        return reader.Value();
    }
    void store(const std::string& key, const std::string& value) {
        cInifile writer;
        writer.setPath(ini.Path());
        writer.setSection(ini.Section());
        writer.setKey(key);
        writer.setValue(value);
    }
    void expectKeyAndDefaultKept() const {
        EXPECT_EQ(ini.Key(), "Mine");
        EXPECT_EQ(ini.Default(), "mine");
    }

    test::TempDir dir;
    cInifile ini;
    FakeWindow window;
};

TEST_F(PlacementTest, SavingANormalWindowWritesAllFiveKeys) {
    ini.SaveFormPosition(window);
    EXPECT_TRUE(ini.Success());
    EXPECT_EQ(keys(), (std::vector<std::string>{"Maximised", "Left", "Top", "Width", "Height"}));
    EXPECT_EQ(stored("Maximised"), "0");
    EXPECT_EQ(stored("Left"), "1500");
    EXPECT_EQ(stored("Top"), "1200");
    EXPECT_EQ(stored("Width"), "9000");
    EXPECT_EQ(stored("Height"), "6000");
    expectKeyAndDefaultKept();
}

TEST_F(PlacementTest, SavingAMinimisedWindowWritesNothing) {
    window.state_ = PlacedWindow::State::Minimised;
    ini.SaveFormPosition(window);
    EXPECT_FALSE(std::filesystem::exists(ini.Path()));
    EXPECT_EQ(ini.LastReturnCode(), 0);
    expectKeyAndDefaultKept();
}

TEST_F(PlacementTest, SavingAMaximisedWindowKeepsTheNormalPlacement) {
    window.state_ = PlacedWindow::State::Maximised;
    ini.SaveFormPosition(window);
    EXPECT_EQ(keys(), (std::vector<std::string>{"Maximised"}));
    EXPECT_EQ(stored("Maximised"), "1");

    window.state_ = PlacedWindow::State::Normal;
    ini.SaveFormPosition(window);
    window.state_ = PlacedWindow::State::Maximised;
    window.place(0, 0, 28800, 16200);
    ini.SaveFormPosition(window);
    EXPECT_EQ(stored("Maximised"), "1");
    EXPECT_EQ(stored("Left"), "1500");
    EXPECT_EQ(stored("Width"), "9000");
    expectKeyAndDefaultKept();
}

TEST_F(PlacementTest, LoadingWithoutKeysOnlyFitsTheWindow) {
    ini.LoadFormPosition(window);
    EXPECT_EQ(window.moves, 1);
    EXPECT_EQ(window.rect(), (std::vector<std::int32_t>{1500, 1200, 9000, 6000}));
    EXPECT_EQ(window.state_, PlacedWindow::State::Normal);

    window.place(-100, 0, 9000, 6000);
    ini.LoadFormPosition(window, 100, 100);
    EXPECT_EQ(window.rect(), (std::vector<std::int32_t>{60, 60, 9000, 6000}));
    EXPECT_EQ(window.state_, PlacedWindow::State::Normal);
    expectKeyAndDefaultKept();
}

TEST_F(PlacementTest, SaveThenLoadRestoresPlacementAndMaximised) {
    ini.SaveFormPosition(window);
    FakeWindow other;
    other.place(3000, 3000, 4000, 4000);
    ini.LoadFormPosition(other, 1000, 1000);
    EXPECT_EQ(other.rect(), window.rect());
    EXPECT_EQ(other.state_, PlacedWindow::State::Normal);

    store("Maximised", "1");
    ini.LoadFormPosition(other, 1000, 1000);
    EXPECT_EQ(other.state_, PlacedWindow::State::Maximised);
}

TEST_F(PlacementTest, ALeftEdgeOffScreenComesBackAtTheMargin) {
    store("Left", "-500");
    store("Top", "-1e3");
    ini.LoadFormPosition(window, 0, 0);
    EXPECT_EQ(window.rect(), (std::vector<std::int32_t>{60, 60, 9000, 6000}));
}

TEST_F(PlacementTest, ATooLargeWindowIsNarrowedToTheScreen) {
    store("Left", "5000");
    store("Top", "15000");
    store("Width", "40000");
    store("Height", "3000");
    ini.LoadFormPosition(window, 1000, 1000);
    // 4 pixels from the left; ends 4 pixels from the right; pushed up off the bottom margin.
    EXPECT_EQ(window.rect(), (std::vector<std::int32_t>{60, 16200 - 60 - 3000, 28800 - 120, 3000}));
}

TEST_F(PlacementTest, BelowTheMinimumSizeTheWindowStays) {
    store("Width", "40000");
    ini.LoadFormPosition(window, 28800 - 119, 0);
    EXPECT_EQ(window.moves, 0);
    EXPECT_EQ(window.rect(), (std::vector<std::int32_t>{1500, 1200, 9000, 6000}));
    ini.LoadFormPosition(window, 28800 - 120, 0);
    EXPECT_EQ(window.moves, 1);
    expectKeyAndDefaultKept();
}

TEST_F(PlacementTest, SmallStoredSizesAreRaisedToTheMinimum) {
    store("Width", "10");
    store("Height", "garbage");
    ini.LoadFormPosition(window, 2000, 8000);
    EXPECT_EQ(window.rect(), (std::vector<std::int32_t>{1500, 1200, 2000, 8000}));
}

TEST_F(PlacementTest, AWindowThatFailsLeavesKeyAndDefaultAndReportsFailure) {
    store("Left", "100");
    ini.setValue("x"); // a successful write, so the failure below is visible
    ASSERT_TRUE(ini.Success());
    window.failMove = true;
    ini.LoadFormPosition(window, 0, 0);
    EXPECT_FALSE(ini.Success());
    expectKeyAndDefaultKept();
}

TEST(FitPlacement, FractionalTwipsPerPixelRoundToWholeTwips) {
    const ScreenArea screen{1000, 800, 1440.0 / 110, 1440.0 / 110}; // margin 52.36 twips
    EXPECT_EQ(fitPlacement({0, 0, 100, 100}, screen, 0, 0).left, 52);
    const Placement p = fitPlacement({600, 100, 500, 100}, screen, 0, 0);
    EXPECT_EQ(p.left, 448); // 1000 - 52.36 - 500 = 447.64
    EXPECT_EQ(p.width, 500);
}

TEST(FitPlacement, AScreenSmallerThanItsMarginsIsUnusable) {
    const ScreenArea tiny{100, 100, 15, 15};
    const Placement p = fitPlacement({0, 0, 50, 50}, tiny, 0, 0);
    EXPECT_EQ(p.left, 60);
    EXPECT_EQ(p.width, -20);
    EXPECT_FALSE(placementUsable(p, 0, 0));
    EXPECT_TRUE(placementUsable({0, 0, 1, 1}, 0, 0));
    EXPECT_FALSE(placementUsable({0, 0, 10, 10}, 11, 0));
}

} // namespace
} // namespace tracely

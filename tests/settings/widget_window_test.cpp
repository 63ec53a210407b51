#include "src/settings/widget_window.h"

#include "tests/settings/temp_dir.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <gtest/gtest.h>

#include <cmath>

namespace tracely {
namespace {

class WidgetWindowTest : public ::testing::Test {
protected:
    WidgetWindowTest() {
        ini.setPath(dir.file("TRACELY.INI"));
        ini.setSection("Window");
    }

    std::string stored(const std::string& key) {
        ini.setKey(key);
        return ini.Value();
    }

    test::TempDir dir;
    cInifile ini;
};

TEST_F(WidgetWindowTest, TwipsFollowTheScreensLogicalDpi) {
    QWidget widget;
    widget.setGeometry(100, 80, 320, 240);
    widget.show();
    const QScreen* screen = widget.screen();
    ASSERT_NE(screen, nullptr);
    WidgetWindow window(widget);
    const double perPixel = 1440.0 / screen->logicalDotsPerInchX();
    EXPECT_DOUBLE_EQ(window.twipsPerPixelX(), perPixel);
    EXPECT_DOUBLE_EQ(window.twipsPerPixelY(), 1440.0 / screen->logicalDotsPerInchY());
    const QRect area = screen->availableGeometry();
    EXPECT_EQ(window.screenWidth(), std::lround(area.width() * perPixel));
    EXPECT_EQ(window.width(), std::lround(widget.frameGeometry().width() * perPixel));
    EXPECT_EQ(window.left(), std::lround((widget.frameGeometry().x() - area.x()) * perPixel));
    EXPECT_EQ(window.state(), PlacedWindow::State::Normal);
}

TEST_F(WidgetWindowTest, SaveAndLoadRoundTripAGeometry) {
    QWidget widget;
    widget.setGeometry(100, 80, 320, 240);
    widget.show();
    const QRect saved = widget.frameGeometry();
    SaveFormPosition(ini, widget);
    EXPECT_TRUE(ini.Success());
    EXPECT_EQ(stored("Maximised"), "0");
    EXPECT_NE(stored("Width"), "");

    widget.setGeometry(20, 30, 200, 150);
    ASSERT_NE(widget.frameGeometry(), saved);
    LoadFormPosition(ini, widget, 0, 0);
    EXPECT_EQ(widget.frameGeometry(), saved);
    EXPECT_FALSE(widget.isMaximized());
}

TEST_F(WidgetWindowTest, AMaximisedWidgetStoresOnlyThatAndComesBackMaximised) {
    QWidget widget;
    widget.setGeometry(100, 80, 320, 240);
    widget.showMaximized();
    ASSERT_TRUE(widget.isMaximized());
    SaveFormPosition(ini, widget);
    std::vector<std::string> keys;
    std::int32_t count = 0;
    ini.EnumerateCurrentSection(keys, count);
    EXPECT_EQ(keys, (std::vector<std::string>{"Maximised"}));

    QWidget other;
    other.setGeometry(100, 80, 320, 240);
    other.show();
    LoadFormPosition(ini, other);
    EXPECT_TRUE(other.isMaximized());
}

} // namespace
} // namespace tracely

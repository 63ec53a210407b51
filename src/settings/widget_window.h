#pragma once

#include "src/settings/c_inifile.h"
#include "src/settings/placed_window.h"

#include <cstdint>

class QScreen;
class QWidget;

namespace tracely {

// Any top-level QWidget as a PlacedWindow. Twips come from the screen's logical DPI (1440 per
// inch). Position and size are those of the window frame, measured from the top-left corner of
// the screen's available area (the desktop without panels), which is the screen size here, so
// that the fit keeps the window clear of panels on any side.
class WidgetWindow : public PlacedWindow {
public:
    explicit WidgetWindow(QWidget& widget) : widget_(widget) {}

    State state() const override;
    std::int32_t left() const override;
    std::int32_t top() const override;
    std::int32_t width() const override;
    std::int32_t height() const override;
    void move(std::int32_t left, std::int32_t top, std::int32_t width,
              std::int32_t height) override;
    void setMaximised() override;

    std::int32_t screenWidth() const override;
    std::int32_t screenHeight() const override;
    double twipsPerPixelX() const override;
    double twipsPerPixelY() const override;

private:
    QScreen* screen() const;

    QWidget& widget_;
};

inline void SaveFormPosition(cInifile& ini, QWidget& window) {
    WidgetWindow placed(window);
    ini.SaveFormPosition(placed);
}

inline void LoadFormPosition(cInifile& ini, QWidget& window, std::int32_t lMinWidth = 0,
                             std::int32_t lMinHeight = 0) {
    WidgetWindow placed(window);
    ini.LoadFormPosition(placed, lMinWidth, lMinHeight);
}

} // namespace tracely

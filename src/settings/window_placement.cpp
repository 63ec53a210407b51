#include "src/settings/c_inifile.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <string>

namespace tracely {
namespace {

// Whole twips, halves to even, kept far inside the 64-bit range.
std::int64_t wholeTwips(double v) {
    constexpr double kLimit = 1e15;
    if (std::isnan(v)) {
        return 0;
    }
    return static_cast<std::int64_t>(std::nearbyint(std::clamp(v, -kLimit, kLimit)));
}

// Fits one axis: the start first, then the far edge, then the length.
void fitAxis(std::int64_t& start, std::int64_t& length, double screen, double margin) {
    if (static_cast<double>(start) < margin) {
        start = wholeTwips(margin);
    }
    if (static_cast<double>(start + length) > screen - margin) {
        start = wholeTwips(screen - margin - static_cast<double>(length));
        if (static_cast<double>(start) < margin) {
            start = wholeTwips(margin);
        }
        if (static_cast<double>(start + length) > screen - margin) {
            length = wholeTwips(screen - static_cast<double>(start) - margin);
        }
    }
}

std::int32_t toInt32(std::int64_t v) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX));
}

// Puts the remembered key and default back on every way out of a placement member.
class KeyGuard {
public:
    explicit KeyGuard(cInifile& ini) : ini_(ini), key_(ini.Key()), default_(ini.Default()) {}
    KeyGuard(const KeyGuard&) = delete;
    KeyGuard& operator=(const KeyGuard&) = delete;
    ~KeyGuard() {
        ini_.setKey(key_);
        ini_.setDefault(default_);
    }

private:
    cInifile& ini_;
    std::string key_;
    std::string default_;
};

} // namespace

Placement fitPlacement(Placement p, const ScreenArea& screen, std::int64_t minWidth,
                       std::int64_t minHeight) {
    p.width = std::max(p.width, minWidth);
    p.height = std::max(p.height, minHeight);
    fitAxis(p.left, p.width, static_cast<double>(screen.width), 4.0 * screen.twipsPerPixelX);
    fitAxis(p.top, p.height, static_cast<double>(screen.height), 4.0 * screen.twipsPerPixelY);
    return p;
}

bool placementUsable(const Placement& p, std::int64_t minWidth, std::int64_t minHeight) {
    return p.width >= minWidth && p.height >= minHeight && p.width > 0 && p.height > 0;
}

void cInifile::SaveFormPosition(PlacedWindow& window) {
    KeyGuard guard(*this);
    try {
        const PlacedWindow::State state = window.state();
        if (state == PlacedWindow::State::Minimised) {
            return;
        }
        setKey("Maximised");
        setValue(state == PlacedWindow::State::Maximised ? "1" : "0");
        if (state == PlacedWindow::State::Maximised) {
            return;
        }
        const std::int32_t left = window.left();
        const std::int32_t top = window.top();
        const std::int32_t width = window.width();
        const std::int32_t height = window.height();
        setKey("Left");
        setValue(std::to_string(left));
        setKey("Top");
        setValue(std::to_string(top));
        setKey("Width");
        setValue(std::to_string(width));
        setKey("Height");
        setValue(std::to_string(height));
    } catch (...) {
        lastReturnCode_ = 0;
    }
}

void cInifile::LoadFormPosition(PlacedWindow& window, std::int32_t lMinWidth,
                                std::int32_t lMinHeight) {
    KeyGuard guard(*this);
    try {
        setDefault("FAIL");
        Placement p;
        setKey("Left");
        p.left = CLngDefault(Value(), window.left());
        setKey("Top");
        p.top = CLngDefault(Value(), window.top());
        setKey("Width");
        p.width = CLngDefault(Value(), window.width());
        setKey("Height");
        p.height = CLngDefault(Value(), window.height());

        const ScreenArea screen{window.screenWidth(), window.screenHeight(),
                                window.twipsPerPixelX(), window.twipsPerPixelY()};
        p = fitPlacement(p, screen, lMinWidth, lMinHeight);
        if (placementUsable(p, lMinWidth, lMinHeight)) {
            window.move(toInt32(p.left), toInt32(p.top), toInt32(p.width), toInt32(p.height));
        }
        setKey("Maximised");
        if (CLngDefault(Value(), 0) != 0) {
            window.setMaximised();
        }
    } catch (...) {
        lastReturnCode_ = 0;
    }
}

} // namespace tracely

#pragma once

#include <cstdint>

namespace tracely {

// A top-level window as the placement members of cInifile see it. All geometry is in twips
// (1/1440 inch); the screen is the area a window may occupy, with its origin at (0, 0).
class PlacedWindow {
public:
    enum class State { Normal = 0, Minimised = 1, Maximised = 2 };

    virtual ~PlacedWindow() = default;

    virtual State state() const = 0;
    virtual std::int32_t left() const = 0;
    virtual std::int32_t top() const = 0;
    virtual std::int32_t width() const = 0;
    virtual std::int32_t height() const = 0;
    // Position and size in one operation; a minimised or maximised window is restored first.
    virtual void move(std::int32_t left, std::int32_t top, std::int32_t width,
                      std::int32_t height) = 0;
    virtual void setMaximised() = 0;

    virtual std::int32_t screenWidth() const = 0;
    virtual std::int32_t screenHeight() const = 0;
    virtual double twipsPerPixelX() const = 0;
    virtual double twipsPerPixelY() const = 0;
};

// The arithmetic of restoring a window: a stored rectangle raised to the minimum size and fitted
// onto the screen with a margin of four pixels on every side.
struct Placement {
    std::int64_t left = 0;
    std::int64_t top = 0;
    std::int64_t width = 0;
    std::int64_t height = 0;
};

struct ScreenArea {
    std::int64_t width = 0;
    std::int64_t height = 0;
    double twipsPerPixelX = 15.0;
    double twipsPerPixelY = 15.0;
};

// Raises width and height to the minimum, then fits left before right and top before bottom:
// a window too large for the screen is put at the margin and shrunk. Whole twips.
Placement fitPlacement(Placement p, const ScreenArea& screen, std::int64_t minWidth,
                       std::int64_t minHeight);

// Whether a fitted placement may be applied: a screen too small for the minimum size (or one
// that leaves no room at all) keeps the window where it is.
bool placementUsable(const Placement& p, std::int64_t minWidth, std::int64_t minHeight);

} // namespace tracely

#include "src/ui/help_placement.h"

#include <algorithm>

namespace tracely {

namespace {
constexpr int kNarrowest = 360; // pixels: about 50 characters of the manual's text
} // namespace

QRect besideWindow(const QRect& window, QSize viewer, const QRect& screen) {
    if (screen.isEmpty()) {
        return {window.topRight() + QPoint(1, 0), viewer};
    }
    viewer = viewer.boundedTo(screen.size());
    const int top = std::clamp(window.top(), screen.top(), screen.bottom() + 1 - viewer.height());
    const int roomRight = screen.right() - window.right();
    const int roomLeft = window.left() - screen.left();
    int left = 0;
    // Narrower is better than on top of the panel, down to a readable column.
    const int narrowest = std::min(viewer.width(), kNarrowest);
    if (roomRight >= viewer.width()) {
        left = window.right() + 1;
    } else if (roomLeft >= viewer.width()) {
        left = window.left() - viewer.width();
    } else if (std::max(roomRight, roomLeft) >= narrowest) {
        viewer.setWidth(std::max(roomRight, roomLeft));
        left = roomRight >= roomLeft ? window.right() + 1 : screen.left();
    } else if (roomRight >= roomLeft) {
        left = screen.right() + 1 - viewer.width();
    } else {
        left = screen.left();
    }
    return {QPoint(left, top), viewer};
}

} // namespace tracely

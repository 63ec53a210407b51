#pragma once

#include <QRect>
#include <QSize>

namespace tracely {

// Where the help viewer goes so that it covers as little of the panel as the screen allows:
// beside the window on the right, else on the left, else narrowed (to no less than a readable
// column) into the wider of the two, else against the screen edge on the side with more room;
// never off the screen. The size shrinks to the screen when it must.
QRect besideWindow(const QRect& window, QSize viewer, const QRect& screen);

} // namespace tracely

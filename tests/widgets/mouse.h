#pragma once

#include <QCoreApplication>
#include <QMouseEvent>
#include <QWidget>

namespace tracely::test {

// Mouse events with explicit button state, delivered straight to the widget.
inline void sendMouse(QWidget* w, QEvent::Type type, QPointF pos, Qt::MouseButton button,
                      Qt::MouseButtons held) {
    QMouseEvent event(type, pos, w->mapToGlobal(pos), button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &event);
}

inline void press(QWidget* w, QPointF pos) {
    sendMouse(w, QEvent::MouseButtonPress, pos, Qt::LeftButton, Qt::LeftButton);
}

inline void moveHeld(QWidget* w, QPointF pos) {
    sendMouse(w, QEvent::MouseMove, pos, Qt::NoButton, Qt::LeftButton);
}

inline void release(QWidget* w, QPointF pos) {
    sendMouse(w, QEvent::MouseButtonRelease, pos, Qt::LeftButton, Qt::NoButton);
}

// Press, a few moves along the straight line, release.
inline void drag(QWidget* w, QPointF from, QPointF to, int steps = 8) {
    press(w, from);
    for (int i = 1; i <= steps; ++i) {
        moveHeld(w, from + (to - from) * (static_cast<double>(i) / steps));
    }
    release(w, to);
}

} // namespace tracely::test

#pragma once

#include "src/widgets/knob.h"
#include "src/widgets/slide.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QWidget>

namespace tracely::test {

// Mouse events with explicit button state, delivered straight to the widget.
inline void sendMouse(QWidget* w, QEvent::Type type, QPointF pos, Qt::MouseButtons held) {
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, pos, w->mapToGlobal(pos), button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &event);
}
inline void press(QWidget* w, QPointF pos) {
    sendMouse(w, QEvent::MouseButtonPress, pos, Qt::LeftButton);
}
inline void moveHeld(QWidget* w, QPointF pos) {
    sendMouse(w, QEvent::MouseMove, pos, Qt::LeftButton);
}
inline void release(QWidget* w, QPointF pos) {
    sendMouse(w, QEvent::MouseButtonRelease, pos, Qt::NoButton);
}
// Press at path(0), move through path(i / steps), release at path(1).
template <typename Path> void dragAlong(QWidget* w, Path path, int steps = 12) {
    press(w, path(0.0));
    for (int i = 1; i <= steps; ++i) {
        moveHeld(w, path(static_cast<double>(i) / steps));
    }
    release(w, path(1.0));
}
inline void drag(QWidget* w, QPointF from, QPointF to) {
    dragAlong(w, [&](double t) { return from + (to - from) * t; });
}

// The trigger-level knob as the panel sets it up at start-up.
inline void levelKnob(widgets::Knob& k) {
    k.setRange(16, 240);
    k.setStep(16);
    k.setValue(128);
}

// Six labelled positions 1..6 carrying 50, 20, 10, 5, 2, 1 (a volts-per-division knob).
inline void sixLabels(widgets::Knob& k) {
    k.setRange(1, 6);
    k.clearLabels();
    for (const double v : {50, 20, 10, 5, 2, 1}) {
        const int n = k.appendLabel();
        k.setLabelText(n, QStringLiteral("%1 ").arg(v));
        k.setLabelValue(n, v);
    }
}

// The marker slide beside the analog graph: named pointers only.
inline void markerSlide(widgets::Slide& s) {
    s.setRange(-4, 4);
    s.setMainPointerVisible(false);
    s.addPointer("TrigLvl", Qt::yellow);
    s.addPointer("CHa_Zero", Qt::green);
    s.addPointer("CHb_Zero", Qt::cyan);
}

} // namespace tracely::test

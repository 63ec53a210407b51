// The cursor, pan and time-range controls.
#include "src/display/display.h"

#include "src/display/plot_math.h"
#include "src/widgets/graph.h"
#include "src/widgets/knob.h"
#include "src/widgets/slide.h"
#include "src/widgets/two_state_button.h"

namespace tracely {

using widgets::Graph;
using widgets::Knob;
using widgets::Slide;
using widgets::TwoStateButton;

namespace {

void placeCursorX(Graph* g, const char* cursor, double x) {
    g->setCursorPosition(cursor, x, g->cursorY(cursor));
}

} // namespace

void Display::connectHandlers() {
    if (connected_) {
        return;
    }
    connected_ = true;
    connect(p_.CWBCursors, &TwoStateButton::valueChanged, this, &Display::cursorsChanged);
    connect(p_.CWGraph1, &Graph::cursorChanged, this, [this] { analogCursorMoved(); });
    connect(p_.CWGLogic, &Graph::cursorChanged, this, [this] { logicCursorMoved(); });
    connect(p_.CWKPan, &Knob::valueChanged, this, [this](int, double v) { panKnobChanged(v); });
    connect(p_.CWKPan, &Knob::pointerGrabbed, this, &Display::panGrabbed);
    connect(p_.CWKPan, &Knob::pointerReleased, this, &Display::panReleased);
    connect(p_.CWSPan, &Slide::valueChanged, this, [this](int pointer, double v) {
        if (pointer == 0) {
            panSlideChanged(v);
        }
    });
    connect(p_.CWBRePan, &TwoStateButton::valueChanged, this, &Display::rePanChanged);
    connect(p_.CWKTimeRange, &Knob::valueChanged, this, [this] { timeRangeChanged(); });
}

void Display::cursorsChanged(bool on) {
    Graph* a = p_.CWGraph1;
    Graph* l = p_.CWGLogic;
    if (on) {
        // New cursors start one division into the window, one division apart.
        const double x0 = a->axisMinimum(QStringLiteral("XAxis")) + 1.0;
        if (s_.intCursorType == 1 || s_.intCursorType == 3) {
            for (Graph* g : {a, l}) {
                placeCursorX(g, "Cursor1", x0);
                placeCursorX(g, "Cursor2", x0 + 1.0);
            }
            l->setInteractionMode(Graph::DragCursors);
            showCursors(l, true);
        } else if (a->cursorY("Cursor1") == a->cursorY("Cursor2")) {
            // Horizontal cursors on top of each other read nothing and look like one: start
            // them two divisions apart.
            a->setCursorPosition("Cursor1", a->cursorX("Cursor1"), 1.0);
            a->setCursorPosition("Cursor2", a->cursorX("Cursor2"), -1.0);
        }
        showCursors(a, true);
    } else {
        showCursors(a, false);
        showCursors(l, false);
    }
    a->setInteractionMode(Graph::DragCursors);
    DisplayCursorData();
}

void Display::copyCursorX(Graph* from, Graph* to) {
    // A widget set that reports cursors moved by code would bounce the copy back here.
    if (syncingCursors_) {
        return;
    }
    syncingCursors_ = true;
    placeCursorX(to, "Cursor1", from->cursorX("Cursor1"));
    placeCursorX(to, "Cursor2", from->cursorX("Cursor2"));
    syncingCursors_ = false;
    DisplayCursorData();
}

void Display::analogCursorMoved() {
    copyCursorX(p_.CWGraph1, p_.CWGLogic);
}

void Display::logicCursorMoved() {
    copyCursorX(p_.CWGLogic, p_.CWGraph1);
}

void Display::panKnobChanged(double value) {
    s_.dblPanPos += display::panStep(s_.dblPanKnobLast, value);
    s_.dblPanKnobLast = value;
    s_.varPanStart = s_.dblPanPos - 1.0;
    // The slide counts quarter divisions; its own handler follows with the same window.
    p_.CWSPan->setValue(s_.varPanStart / display::kPanQuantum);
    // The slide's ends are the pan's limits: where it stopped, the window stops too.
    s_.varPanStart = p_.CWSPan->value() * display::kPanQuantum;
    s_.dblPanPos = s_.varPanStart + 1.0;
    SetXAxis();
}

void Display::panSlideChanged(double value) {
    const double start = value * display::kPanQuantum;
    s_.dblPanPos = start + 1.0;
    s_.varPanStart = start;
    SetXAxis();
}

void Display::rePanChanged(bool on) {
    if (!on) {
        return;
    }
    // The knob's and the slide's handlers move the window for the values set here.
    s_.dblPanPos = 1.0;
    s_.dblPanKnobLast = 1.0;
    p_.CWKPan->setValue(1.0);
    p_.CWSPan->setValue(0.0);
}

void Display::panGrabbed() {
    p_.CWBPanLED->setValue(true);
}

void Display::panReleased() {
    p_.CWBPanLED->setValue(false);
}

void Display::timeRangeChanged() {
    s_.blnTimeChanged = true; // the next Update reprograms the timebase
    link_->CofigTime();
    PlotAnalog();
    PlotLogic();
    DisplayCursorData();
    p_.CWGraph1->redraw();
    p_.CWGLogic->redraw();
}

} // namespace tracely

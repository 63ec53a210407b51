// The two cursors of the graph: placement from code, and dragging by the user in mode 2.
#include "src/widgets/graph.h"

#include <qcustomplot.h>

#include <algorithm>
#include <cmath>

namespace tracely::widgets {

namespace {

constexpr double kGrabPixels = 6.0; // how close the mouse must come to take hold of a cursor

const std::array<QColor, 2> kCursorColours{QColor(255, 215, 70), QColor(90, 215, 255)};

QCPItemStraightLine* cursorLine(QCustomPlot* plot, const QColor& colour, bool vertical) {
    auto* line = new QCPItemStraightLine(plot);
    line->setPen(QPen(colour, 1.0, Qt::DashLine));
    line->setSelectable(false);
    // One end of the line follows the data, the other spans the screen: the line stays
    // upright (or level) whatever the axis ranges.
    for (QCPItemPosition* end : {line->point1, line->point2}) {
        end->setTypeX(vertical ? QCPItemPosition::ptPlotCoords : QCPItemPosition::ptAxisRectRatio);
        end->setTypeY(vertical ? QCPItemPosition::ptAxisRectRatio : QCPItemPosition::ptPlotCoords);
    }
    return line;
}

} // namespace

void Graph::createCursors() {
    for (std::size_t i = 0; i < cursors_.size(); ++i) {
        Cursor& c = cursors_[i];
        c.vertical = cursorLine(plot_, kCursorColours[i], true);
        c.horizontal = cursorLine(plot_, kCursorColours[i], false);
        c.x = static_cast<double>(i + 1);
        applyCursor(c);
    }
}

Graph::Cursor* Graph::findCursor(const GraphKey& key) {
    int index = key.index();
    if (!key.name().isEmpty()) {
        index = 0;
        for (int i = 1; i <= 2; ++i) {
            if (key.name().compare(QStringLiteral("Cursor%1").arg(i), Qt::CaseInsensitive) == 0) {
                index = i;
            }
        }
    }
    return index >= 1 && index <= 2 ? &cursors_[static_cast<std::size_t>(index - 1)] : nullptr;
}

const Graph::Cursor* Graph::findCursor(const GraphKey& key) const {
    return const_cast<Graph*>(this)->findCursor(key);
}

void Graph::applyCursor(Cursor& c) {
    c.vertical->point1->setCoords(c.x, 0.0);
    c.vertical->point2->setCoords(c.x, 1.0);
    c.horizontal->point1->setCoords(0.0, c.y);
    c.horizontal->point2->setCoords(1.0, c.y);
    c.vertical->setVisible(c.visible && c.style == kCursorVertical);
    c.horizontal->setVisible(c.visible && c.style == kCursorHorizontal);
}

void Graph::setCursorPosition(const GraphKey& key, double x, double y) {
    Cursor* c = findCursor(key);
    if (c == nullptr || !std::isfinite(x) || !std::isfinite(y)) {
        return;
    }
    c->x = x;
    c->y = y;
    applyCursor(*c);
    scheduleReplot();
}

double Graph::cursorX(const GraphKey& key) const {
    const Cursor* c = findCursor(key);
    return c == nullptr ? 0.0 : c->x;
}

double Graph::cursorY(const GraphKey& key) const {
    const Cursor* c = findCursor(key);
    return c == nullptr ? 0.0 : c->y;
}

void Graph::setCursorVisible(const GraphKey& key, bool visible) {
    if (Cursor* c = findCursor(key)) {
        c->visible = visible;
        applyCursor(*c);
        scheduleReplot();
    }
}

bool Graph::cursorVisible(const GraphKey& key) const {
    const Cursor* c = findCursor(key);
    return c != nullptr && c->visible;
}

void Graph::setCursorStyle(const GraphKey& key, int style) {
    Cursor* c = findCursor(key);
    if (c == nullptr || (style != kCursorVertical && style != kCursorHorizontal)) {
        return;
    }
    c->style = style;
    applyCursor(*c);
    scheduleReplot();
}

int Graph::cursorStyle(const GraphKey& key) const {
    const Cursor* c = findCursor(key);
    return c == nullptr ? 0 : c->style;
}

void Graph::setInteractionMode(int mode) {
    if (mode != NoInteraction && mode != PanZoom && mode != DragCursors) {
        return;
    }
    mode_ = mode;
    dragging_ = 0;
    plot_->setInteractions(mode == PanZoom ? QCP::Interactions(QCP::iRangeDrag | QCP::iRangeZoom)
                                           : QCP::Interactions());
    plot_->setMouseTracking(mode == DragCursors); // hover feedback near a cursor
    if (mode != DragCursors) {
        plot_->unsetCursor();
    }
}

int Graph::cursorNear(const QPointF& pos) const {
    int best = 0;
    double bestDistance = kGrabPixels;
    for (std::size_t i = 0; i < cursors_.size(); ++i) {
        const Cursor& c = cursors_[i];
        if (!c.visible) {
            continue;
        }
        const double distance = c.style == kCursorHorizontal
                                    ? std::abs(plot_->yAxis->coordToPixel(c.y) - pos.y())
                                    : std::abs(plot_->xAxis->coordToPixel(c.x) - pos.x());
        if (distance <= bestDistance) {
            best = static_cast<int>(i) + 1;
            bestDistance = distance;
        }
    }
    return best;
}

void Graph::onMousePress(QMouseEvent* event) {
    if (mode_ == DragCursors && event->button() == Qt::LeftButton) {
        dragging_ = cursorNear(event->position());
    }
}

void Graph::onMouseMove(QMouseEvent* event) {
    if (mode_ != DragCursors) {
        return;
    }
    if (dragging_ == 0 || !(event->buttons() & Qt::LeftButton)) {
        dragging_ = 0;
        const int near = cursorNear(event->position());
        if (near == 0) {
            plot_->unsetCursor();
        } else {
            const bool level =
                cursors_[static_cast<std::size_t>(near - 1)].style == kCursorHorizontal;
            plot_->setCursor(level ? Qt::SizeVerCursor : Qt::SizeHorCursor);
        }
        return;
    }
    Cursor& c = cursors_[static_cast<std::size_t>(dragging_ - 1)];
    // The cursor stays on screen however far the mouse goes.
    const QCPRange xr = plot_->xAxis->range();
    const QCPRange yr = plot_->yAxis->range();
    double x = c.x;
    double y = c.y;
    if (c.style == kCursorHorizontal) {
        y = std::clamp(plot_->yAxis->pixelToCoord(event->position().y()), yr.lower, yr.upper);
    } else {
        x = std::clamp(plot_->xAxis->pixelToCoord(event->position().x()), xr.lower, xr.upper);
    }
    if (x == c.x && y == c.y) {
        return;
    }
    c.x = x;
    c.y = y;
    applyCursor(c);
    scheduleReplot();
    emit cursorChanged(dragging_, c.x, c.y);
}

void Graph::onMouseRelease(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        dragging_ = 0;
    }
}

} // namespace tracely::widgets

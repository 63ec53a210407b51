#include "src/widgets/knob.h"

#include <QMouseEvent>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tracely::widgets {

namespace {
constexpr double kArc = 270.0;      // sweep of a non-wrapping dial, degrees
constexpr double kDeadRadius = 3.0; // pixels around the centre where the angle is meaningless
} // namespace

Knob::Knob(QWidget* parent) : ScaleWidget(parent) {
    setRange(0.0, 10.0);
}

void Knob::clearLabels() {
    labels_.clear();
    mutableScale().setLabelPositions(0);
    update();
}

int Knob::appendLabel() {
    labels_.push_back({});
    mutableScale().setLabelPositions(labelCount());
    update();
    return labelCount();
}

void Knob::setLabelText(int index, const QString& text) {
    if (validIndex(index)) {
        labels_[static_cast<std::size_t>(index - 1)].text = text;
        update();
    }
}

QString Knob::labelText(int index) const {
    return validIndex(index) ? labels_[static_cast<std::size_t>(index - 1)].text : QString();
}

void Knob::setLabelValue(int index, double value) {
    if (validIndex(index) && std::isfinite(value)) {
        labels_[static_cast<std::size_t>(index - 1)].value = value;
    }
}

double Knob::labelValue(int index) const {
    return validIndex(index) ? labels_[static_cast<std::size_t>(index - 1)].value : 0.0;
}

double Knob::labelPosition(int index) const {
    return scale().labelValue(index, labelCount());
}

int Knob::selectedLabel() const {
    return scale().nearestLabel(value(), labelCount());
}

void Knob::setSelectedLabel(int index) {
    if (validIndex(index)) {
        setValue(labelPosition(index));
    }
}

double Knob::angleOf(double v) const {
    const ScaleModel& s = scale();
    if (s.wrapping()) {
        const double cs = s.circleSpan();
        return cs > 0.0 ? 360.0 * (v - s.minimum()) / cs : 0.0;
    }
    const double fraction = s.span() > 0.0 ? (v - s.minimum()) / s.span() : 0.0;
    return -kArc / 2.0 + kArc * fraction;
}

double Knob::angleAt(const QPointF& pos) const {
    const QPointF d = pos - QRectF(rect()).center();
    return std::atan2(d.x(), -d.y()) * 180.0 / std::numbers::pi;
}

QString Knob::valueText() const {
    const int selected = selectedLabel();
    if (selected > 0 && !labelText(selected).trimmed().isEmpty()) {
        return labelText(selected).trimmed();
    }
    return ScaleWidget::valueText();
}

QString Knob::roleName() const {
    return tr("knob");
}

QSize Knob::sizeHint() const {
    return {110, 110};
}

QSize Knob::minimumSizeHint() const {
    return {48, 48};
}

void Knob::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        ScaleWidget::mousePressEvent(event);
        return;
    }
    dragging_ = true;
    lastAngle_ = angleAt(event->position());
    dragRaw_ = value();
    event->accept();
    emit pointerGrabbed();
}

void Knob::mouseMoveEvent(QMouseEvent* event) {
    if (!dragging_) {
        ScaleWidget::mouseMoveEvent(event);
        return;
    }
    const QPointF d = event->position() - QRectF(rect()).center();
    if (std::hypot(d.x(), d.y()) < kDeadRadius) {
        return;
    }
    const double angle = angleAt(event->position());
    double turn = angle - lastAngle_;
    // The shorter way round: the mouse cannot travel half a turn between two events.
    if (turn > 180.0) {
        turn -= 360.0;
    } else if (turn < -180.0) {
        turn += 360.0;
    }
    lastAngle_ = angle;
    const ScaleModel& s = scale();
    if (s.wrapping()) {
        dragRaw_ = s.wrapOnCircle(dragRaw_ + turn / 360.0 * s.circleSpan());
        applyValue(s.snapOnCircle(dragRaw_));
    } else {
        // The raw position stops at the ends, so turning back responds at once.
        dragRaw_ = std::clamp(dragRaw_ + turn / kArc * s.span(), s.minimum(), s.maximum());
        applyValue(s.snap(dragRaw_));
    }
    event->accept();
}

void Knob::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && dragging_) {
        endDrag();
        event->accept();
        return;
    }
    ScaleWidget::mouseReleaseEvent(event);
}

void Knob::endDrag() {
    if (dragging_) {
        dragging_ = false;
        emit pointerReleased();
    }
}

// A drag can lose its mouse grab without a release (a dialog opening, the knob hidden or
// disabled): end it there, so the grabbed/released pair always closes.
void Knob::focusOutEvent(QFocusEvent* event) {
    endDrag();
    ScaleWidget::focusOutEvent(event);
}

void Knob::hideEvent(QHideEvent* event) {
    endDrag();
    ScaleWidget::hideEvent(event);
}

void Knob::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange && !isEnabled()) {
        endDrag();
    }
    ScaleWidget::changeEvent(event);
}

} // namespace tracely::widgets

#include "src/widgets/slide.h"

#include <QMouseEvent>

#include <algorithm>
#include <cmath>

namespace tracely::widgets {

Slide::Slide(QWidget* parent) : Slide(Qt::Vertical, parent) {}

Slide::Slide(Qt::Orientation orientation, QWidget* parent)
    : ScaleWidget(parent), orientation_(orientation) {
    setRange(0.0, 10.0);
}

void Slide::setOrientation(Qt::Orientation orientation) {
    if (orientation != orientation_) {
        orientation_ = orientation;
        updateGeometry();
        update();
    }
}

Slide::Pointer* Slide::find(const QString& name) {
    const auto it = std::find_if(pointers_.begin(), pointers_.end(),
                                 [&](const Pointer& p) { return p.name == name; });
    return it == pointers_.end() ? nullptr : &*it;
}

const Slide::Pointer* Slide::find(const QString& name) const {
    const auto it = std::find_if(pointers_.begin(), pointers_.end(),
                                 [&](const Pointer& p) { return p.name == name; });
    return it == pointers_.end() ? nullptr : &*it;
}

int Slide::addPointer(const QString& name, const QColor& colour) {
    if (name.isEmpty()) {
        return 0;
    }
    if (Pointer* p = find(name)) {
        p->colour = colour;
    } else {
        pointers_.push_back({name, colour, minimum(), true});
    }
    update();
    return pointerIndex(name);
}

int Slide::pointerIndex(const QString& name) const {
    for (std::size_t i = 0; i < pointers_.size(); ++i) {
        if (pointers_[i].name == name) {
            return static_cast<int>(i) + 1;
        }
    }
    return 0;
}

void Slide::setPointerValue(const QString& name, double value) {
    Pointer* p = find(name);
    if (p == nullptr || !std::isfinite(value) || p->value == value) {
        return;
    }
    p->value = value;
    update();
    emit valueChanged(pointerIndex(name), value);
}

double Slide::pointerValue(const QString& name) const {
    const Pointer* p = find(name);
    return p != nullptr ? p->value : 0.0;
}

void Slide::setPointerVisible(const QString& name, bool visible) {
    if (Pointer* p = find(name); p != nullptr && p->visible != visible) {
        p->visible = visible;
        update();
    }
}

bool Slide::pointerVisible(const QString& name) const {
    const Pointer* p = find(name);
    return p != nullptr && p->visible;
}

void Slide::setMainPointerVisible(bool visible) {
    mainVisible_ = visible;
    dragging_ = dragging_ && visible;
    setFocusPolicy(visible ? Qt::StrongFocus : Qt::NoFocus);
    update();
}

QString Slide::roleName() const {
    return tr("slide");
}

QSize Slide::sizeHint() const {
    return orientation_ == Qt::Vertical ? QSize(56, 180) : QSize(180, 48);
}

QSize Slide::minimumSizeHint() const {
    return orientation_ == Qt::Vertical ? QSize(30, 60) : QSize(60, 30);
}

double Slide::ends() const {
    return QFontMetricsF(labelFont()).height() / 2.0 + 7.0 * unit();
}

double Slide::length() const {
    const double full = orientation_ == Qt::Vertical ? height() : width();
    return std::max(full - 2.0 * ends(), 1.0);
}

double Slide::along(double value) const {
    const double f = scale().span() > 0.0 ? (value - minimum()) / scale().span() : 0.0;
    const double clamped = std::clamp(f, 0.0, 1.0);
    // Vertical slides grow upwards.
    return ends() + (orientation_ == Qt::Vertical ? 1.0 - clamped : clamped) * length();
}

double Slide::valueAt(const QPointF& pos) const {
    const double px = orientation_ == Qt::Vertical ? pos.y() : pos.x();
    double f = (px - ends()) / length();
    if (orientation_ == Qt::Vertical) {
        f = 1.0 - f;
    }
    return minimum() + std::clamp(f, 0.0, 1.0) * scale().span();
}

double Slide::thickness() const {
    return orientation_ == Qt::Vertical ? width() : height();
}

QPointF Slide::at(double alongPx, double acrossPx) const {
    return orientation_ == Qt::Vertical ? QPointF(acrossPx, alongPx)
                                        : QPointF(alongPx, height() - acrossPx);
}

void Slide::mousePressEvent(QMouseEvent* event) {
    if (!mainVisible_ || event->button() != Qt::LeftButton) {
        ScaleWidget::mousePressEvent(event);
        return;
    }
    dragging_ = true;
    applyValue(scale().snap(valueAt(event->position())));
    event->accept();
}

void Slide::mouseMoveEvent(QMouseEvent* event) {
    if (!dragging_) {
        ScaleWidget::mouseMoveEvent(event);
        return;
    }
    applyValue(scale().snap(valueAt(event->position())));
    event->accept();
}

void Slide::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && dragging_) {
        dragging_ = false;
        event->accept();
        return;
    }
    ScaleWidget::mouseReleaseEvent(event);
}

} // namespace tracely::widgets

#include "src/widgets/scale_widget.h"

#include "src/widgets/accessibility.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace tracely::widgets {

namespace {
constexpr int kWheelNotch = 120; // angle delta of one wheel notch, in eighths of a degree
}

ScaleWidget::ScaleWidget(QWidget* parent) : QWidget(parent) {
    installAccessibility();
    setFocusPolicy(Qt::StrongFocus);
    value_ = scale_.snap(value_);
}

void ScaleWidget::setValue(double v) {
    if (!std::isfinite(v)) {
        return;
    }
    applyValue(scale_.snap(v));
}

void ScaleWidget::setRange(double min, double max) {
    if (scale_.setRange(min, max)) {
        resnap();
        update();
    }
}

void ScaleWidget::setStep(double step) {
    if (scale_.setStep(step)) {
        resnap();
        update();
    }
}

void ScaleWidget::setWrapping(bool on) {
    scale_.setWrapping(on);
    update();
}

void ScaleWidget::stepBy(int steps) {
    applyValue(scale_.stepFrom(value_, steps));
}

QString ScaleWidget::valueText() const {
    return QString::number(value_, 'g', 6);
}

void ScaleWidget::applyValue(double snapped) {
    if (snapped == value_) {
        return;
    }
    value_ = snapped;
    update();
    if (QAccessible::isActive()) {
        QAccessibleValueChangeEvent event(this, value_);
        QAccessible::updateAccessibility(&event);
    }
    emit valueChanged(0, value_);
}

void ScaleWidget::resnap() {
    applyValue(scale_.snap(value_));
}

void ScaleWidget::keyPressEvent(QKeyEvent* event) {
    if (!acceptsUserInput()) {
        QWidget::keyPressEvent(event);
        return;
    }
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Right:
        stepBy(1);
        break;
    case Qt::Key_Down:
    case Qt::Key_Left:
        stepBy(-1);
        break;
    case Qt::Key_PageUp:
        stepBy(scale_.pageSteps());
        break;
    case Qt::Key_PageDown:
        stepBy(-scale_.pageSteps());
        break;
    case Qt::Key_Home:
        applyValue(scale_.snap(scale_.minimum()));
        break;
    case Qt::Key_End:
        applyValue(scale_.snap(scale_.maximum()));
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

void ScaleWidget::wheelEvent(QWheelEvent* event) {
    if (!acceptsUserInput()) {
        event->ignore();
        return;
    }
    const QPoint delta = event->angleDelta();
    // High-resolution wheels send fractions of a notch: move once a whole notch has gathered.
    const int raw = delta.y() != 0 ? delta.y() : delta.x();
    wheelRemainder_ += std::clamp(raw, -100 * kWheelNotch, 100 * kWheelNotch);
    const int steps = wheelRemainder_ / kWheelNotch;
    wheelRemainder_ -= steps * kWheelNotch;
    if (steps != 0) {
        stepBy(steps);
    }
    event->accept();
}

} // namespace tracely::widgets

#pragma once

#include "src/widgets/scale_model.h"

#include <QString>
#include <QWidget>

namespace tracely::widgets {

// What knobs and slides share: a scale, the main pointer's value, keyboard and wheel stepping,
// and the value-changed signal. The value is always snapped and inside the range.
class ScaleWidget : public QWidget {
    Q_OBJECT
public:
    explicit ScaleWidget(QWidget* parent = nullptr);

    double value() const { return value_; }
    // Clamps and snaps; NaN and infinity are ignored.
    void setValue(double v);

    // Reversed bounds are swapped; non-finite bounds are ignored. Re-snaps the value.
    void setRange(double min, double max);
    double minimum() const { return scale_.minimum(); }
    double maximum() const { return scale_.maximum(); }
    // Spacing of the positions the pointer snaps to; 0 (the default) snaps to the labelled
    // positions when there are any, otherwise the pointer moves freely. Negative or
    // non-finite steps are ignored. Re-snaps the value.
    void setStep(double step);
    double step() const { return scale_.step(); }
    // Endless scale: stepping past one end continues at the other.
    void setWrapping(bool on);
    bool wrapping() const { return scale_.wrapping(); }

    // Distance between the positions the pointer snaps to (explicit step or labelled
    // positions), 0 when it moves freely.
    double positionSpacing() const { return scale_.spacing(); }

    // Moves the main pointer by whole positions as the user's keys and wheel do.
    void stepBy(int steps);

    // Text for assistive technology: the value as the user reads it.
    virtual QString valueText() const;
    // The role in words, used as the accessible name when none is set.
    virtual QString roleName() const = 0;
    // False when the user cannot move the main pointer (a marker-only slide).
    virtual bool acceptsUserInput() const { return true; }

signals:
    // Raised whenever a pointer's value changes, by the user or by code; index 0 is the main
    // pointer. Never raised by a set that leaves the value as it was.
    void valueChanged(int pointerIndex, double value);

protected:
    const ScaleModel& scale() const { return scale_; }
    ScaleModel& mutableScale() { return scale_; }
    // Stores an already snapped value and tells everybody about a change.
    void applyValue(double snapped);
    // After the grid changed: puts the value back onto it.
    void resnap();

    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    ScaleModel scale_;
    double value_ = 0.0;
    int wheelRemainder_ = 0;
};

} // namespace tracely::widgets

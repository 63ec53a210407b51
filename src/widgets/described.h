#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QWidget;

namespace tracely::widgets {

// What a control is and what it shows now, for assistive technology: its accessible name
// becomes "role: state" ("trigger source: D", "CH A volts per division: 500 mV/div"), computed
// whenever it is asked for, so it never goes stale. Lives as a child of the control.
class Describer : public QObject {
    Q_OBJECT
public:
    Describer(QWidget* control, QString role, std::function<QString()> state);

    QString role() const { return role_; }
    QString state() const { return state_ ? state_() : QString(); }
    QString name() const;

signals:
    // announce() ran for the control: what assistive technology was told, for those who
    // watch without one (tests, logs).
    void announced(const QString& name);

private:
    QString role_;
    std::function<QString()> state_;
};

// Gives `control` a role and a state (replacing an earlier one). The role in words is taken
// from the accessible name the control was created with when `role` is empty.
void describe(QWidget* control, const QString& role, std::function<QString()> state);
void describe(QWidget* control, std::function<QString()> state);
// The described name, or an empty string for a control that has none.
QString describedName(const QObject* control);
const Describer* describerOf(const QObject* control);

// Tells assistive technology that the control's name and value changed (a readout took a new
// text, a lamp a new colour). Cheap when no assistive technology is listening.
void announce(QWidget* control);

} // namespace tracely::widgets

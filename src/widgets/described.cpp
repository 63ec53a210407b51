#include "src/widgets/described.h"

#include "src/widgets/accessibility.h"

#include <QAccessible>
#include <QWidget>

namespace tracely::widgets {

Describer::Describer(QWidget* control, QString role, std::function<QString()> state)
    : QObject(control), role_(std::move(role)), state_(std::move(state)) {
    setObjectName(QStringLiteral("describer"));
}

QString Describer::name() const {
    const QString s = state();
    return s.isEmpty() ? role_ : role_ + QStringLiteral(": ") + s;
}

const Describer* describerOf(const QObject* control) {
    return control == nullptr
               ? nullptr
               : control->findChild<Describer*>(QString(), Qt::FindDirectChildrenOnly);
}

void describe(QWidget* control, const QString& role, std::function<QString()> state) {
    if (control == nullptr) {
        return;
    }
    QString r = role;
    if (const Describer* old = describerOf(control)) {
        if (r.isEmpty()) {
            r = old->role();
        }
        delete old;
    }
    if (r.isEmpty()) {
        r = control->accessibleName();
    }
    new Describer(control, r, std::move(state)); // owned by the control
    renewAccessible(control);
}

void describe(QWidget* control, std::function<QString()> state) {
    describe(control, QString(), std::move(state));
}

QString describedName(const QObject* control) {
    const Describer* d = describerOf(control);
    return d ? d->name() : QString();
}

void announce(QWidget* control) {
    if (control == nullptr) {
        return;
    }
    const Describer* d = describerOf(control);
    if (d != nullptr) {
        emit const_cast<Describer*>(d)->announced(d->name());
    }
    if (!QAccessible::isActive()) {
        return; // nobody listens: spare building the events
    }
    QAccessibleEvent name(control, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&name);
    QAccessibleValueChangeEvent value(control, d ? d->state() : QVariant());
    QAccessible::updateAccessibility(&value);
}

} // namespace tracely::widgets

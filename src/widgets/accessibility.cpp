#include "src/widgets/accessibility.h"

#include "src/widgets/described.h"
#include "src/widgets/graph.h"
#include "src/widgets/knob.h"
#include "src/widgets/slide.h"
#include "src/widgets/two_state_button.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QCheckBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>

namespace tracely::widgets {

namespace {

// A described control says its role and its state; others their name, caption or role.
QString nameOr(const QWidget* w, const QString& fallback) {
    if (const QString described = describedName(w); !described.isEmpty()) {
        return described;
    }
    return w->accessibleName().isEmpty() ? fallback : w->accessibleName();
}

// The description is the identifier GUI automation looks for: the object name unless one
// was set explicitly.
QString descriptionOf(const QWidget* w) {
    return w->accessibleDescription().isEmpty() ? w->objectName() : w->accessibleDescription();
}

class ScaleAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    ScaleAccessible(ScaleWidget* w, QAccessible::Role role) : QAccessibleWidget(w, role) {}

    void* interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::ValueInterface) {
            return static_cast<QAccessibleValueInterface*>(this);
        }
        return QAccessibleWidget::interface_cast(t);
    }

    QString text(QAccessible::Text t) const override {
        switch (t) {
        case QAccessible::Name:
            return nameOr(scale(), scale()->roleName());
        case QAccessible::Description:
            return descriptionOf(scale());
        case QAccessible::Value:
            return scale()->valueText();
        default:
            return QAccessibleWidget::text(t);
        }
    }

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.readOnly = !scale()->acceptsUserInput();
        return s;
    }

    QVariant currentValue() const override { return scale()->value(); }
    void setCurrentValue(const QVariant& value) override {
        bool ok = false;
        const double v = value.toDouble(&ok);
        if (ok && scale()->acceptsUserInput() && scale()->isEnabled()) {
            scale()->setValue(v);
        }
    }
    QVariant maximumValue() const override { return scale()->maximum(); }
    QVariant minimumValue() const override { return scale()->minimum(); }
    QVariant minimumStepSize() const override { return scale()->positionSpacing(); }

private:
    ScaleWidget* scale() const { return static_cast<ScaleWidget*>(widget()); }
};

class ButtonAccessible : public QAccessibleWidget {
public:
    explicit ButtonAccessible(TwoStateButton* b) : QAccessibleWidget(b, QAccessible::Button) {}

    QAccessible::Role role() const override {
        return isLed() ? QAccessible::Indicator : QAccessible::Button;
    }

    QString text(QAccessible::Text t) const override {
        switch (t) {
        case QAccessible::Name: {
            QString caption = button()->text();
            caption.remove(QLatin1Char('&'));
            return nameOr(button(), caption.isEmpty() ? button()->roleName() : caption);
        }
        case QAccessible::Description:
            return descriptionOf(button());
        case QAccessible::Value:
            return button()->valueText();
        default:
            return QAccessibleWidget::text(t);
        }
    }

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.checkable = true;
        s.checked = button()->value();
        s.pressed = button()->isDown();
        s.readOnly = isLed();
        return s;
    }

    QStringList actionNames() const override {
        QStringList names = QAccessibleWidget::actionNames();
        if (!isLed()) {
            names.prepend(button()->momentary() ? pressAction() : toggleAction());
        }
        return names;
    }

    void doAction(const QString& action) override {
        if (!isLed() && button()->isEnabled() &&
            (action == pressAction() || action == toggleAction())) {
            button()->click();
            return;
        }
        QAccessibleWidget::doAction(action);
    }

private:
    TwoStateButton* button() const { return static_cast<TwoStateButton*>(widget()); }
    bool isLed() const { return button()->look() == TwoStateButton::Look::Led; }
};

// Check boxes, option buttons, push buttons, labels and progress bars of the panel that carry a
// Describer: Qt's own interfaces for them give a fixed name; these give the role and the state.
class DescribedAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    DescribedAccessible(QWidget* w, QAccessible::Role role) : QAccessibleWidget(w, role) {}

    void* interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::ValueInterface && progress()) {
            return static_cast<QAccessibleValueInterface*>(this);
        }
        return QAccessibleWidget::interface_cast(t);
    }

    QString text(QAccessible::Text t) const override {
        switch (t) {
        case QAccessible::Name:
            return nameOr(widget(), widget()->objectName());
        case QAccessible::Description:
            return descriptionOf(widget());
        case QAccessible::Value: {
            const Describer* d = describerOf(widget());
            return d ? d->state() : QString();
        }
        default:
            return QAccessibleWidget::text(t);
        }
    }

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        if (auto* b = button()) {
            s.checkable = b->isCheckable();
            s.checked = b->isChecked();
            s.pressed = b->isDown();
        }
        if (qobject_cast<QLabel*>(widget()) || progress()) {
            s.readOnly = true;
        }
        return s;
    }

    QStringList actionNames() const override {
        QStringList names = QAccessibleWidget::actionNames();
        if (auto* b = button()) {
            names.prepend(b->isCheckable() ? toggleAction() : pressAction());
        }
        return names;
    }

    void doAction(const QString& action) override {
        auto* b = button();
        if (b && b->isEnabled() && (action == pressAction() || action == toggleAction())) {
            b->click();
            return;
        }
        QAccessibleWidget::doAction(action);
    }

    QVariant currentValue() const override { return progress() ? progress()->value() : 0; }
    void setCurrentValue(const QVariant&) override {} // a readout is not set by the user
    QVariant maximumValue() const override { return progress() ? progress()->maximum() : 0; }
    QVariant minimumValue() const override { return progress() ? progress()->minimum() : 0; }
    QVariant minimumStepSize() const override { return 1; }

private:
    QAbstractButton* button() const { return qobject_cast<QAbstractButton*>(widget()); }
    QProgressBar* progress() const { return qobject_cast<QProgressBar*>(widget()); }
};

QAccessibleInterface* describedInterface(QWidget* w) {
    if (describerOf(w) == nullptr) {
        return nullptr;
    }
    if (qobject_cast<QCheckBox*>(w)) {
        return new DescribedAccessible(w, QAccessible::CheckBox);
    }
    if (qobject_cast<QRadioButton*>(w)) {
        return new DescribedAccessible(w, QAccessible::RadioButton);
    }
    if (qobject_cast<QPushButton*>(w)) {
        return new DescribedAccessible(w, QAccessible::Button);
    }
    if (qobject_cast<QLabel*>(w)) {
        return new DescribedAccessible(w, QAccessible::StaticText);
    }
    if (qobject_cast<QProgressBar*>(w)) {
        return new DescribedAccessible(w, QAccessible::ProgressBar);
    }
    if (qobject_cast<Graph*>(w)) {
        return new DescribedAccessible(w, QAccessible::Chart);
    }
    return nullptr;
}

// Qt owns what a factory returns: its accessibility cache deletes the interface together with
// the widget.
QAccessibleInterface* factory(const QString&, QObject* object) {
    if (auto* knob = qobject_cast<Knob*>(object)) {
        return new ScaleAccessible(knob, QAccessible::Dial);
    }
    if (auto* slide = qobject_cast<Slide*>(object)) {
        return new ScaleAccessible(slide, QAccessible::Slider);
    }
    if (auto* button = qobject_cast<TwoStateButton*>(object)) {
        return new ButtonAccessible(button);
    }
    if (auto* w = qobject_cast<QWidget*>(object)) {
        return describedInterface(w);
    }
    return nullptr;
}

} // namespace

void renewAccessible(QWidget* w) {
    installAccessibility();
    QAccessibleInterface* iface = w ? QAccessible::queryAccessibleInterface(w) : nullptr;
    if (iface != nullptr && dynamic_cast<DescribedAccessible*>(iface) == nullptr &&
        dynamic_cast<ScaleAccessible*>(iface) == nullptr &&
        dynamic_cast<ButtonAccessible*>(iface) == nullptr) {
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(iface));
    }
}

void installAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(&factory);
        return true;
    }();
    (void)installed;
}

} // namespace tracely::widgets

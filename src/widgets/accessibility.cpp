#include "src/widgets/accessibility.h"

#include "src/widgets/knob.h"
#include "src/widgets/slide.h"
#include "src/widgets/two_state_button.h"

#include <QAccessible>
#include <QAccessibleWidget>

namespace tracely::widgets {

namespace {

QString nameOr(const QWidget* w, const QString& fallback) {
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
    return nullptr;
}

} // namespace

void installAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(&factory);
        return true;
    }();
    (void)installed;
}

} // namespace tracely::widgets

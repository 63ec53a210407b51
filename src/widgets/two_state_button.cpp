#include "src/widgets/two_state_button.h"

#include "src/widgets/accessibility.h"

#include <QAccessible>
#include <QPainter>

#include <algorithm>

namespace tracely::widgets {

QColor colourFromBgr(quint32 bgr) {
    return QColor(static_cast<int>(bgr & 0xFFu), static_cast<int>((bgr >> 8) & 0xFFu),
                  static_cast<int>((bgr >> 16) & 0xFFu));
}

TwoStateButton::TwoStateButton(QWidget* parent) : TwoStateButton(Look::Button, parent) {}

TwoStateButton::TwoStateButton(Look look, QWidget* parent) : QAbstractButton(parent) {
    installAccessibility();
    setLook(look);
    connect(this, &QAbstractButton::clicked, this, [this] {
        if (look_ == Look::Button && !momentary_) {
            setValue(!value_);
        }
    });
    connect(this, &QAbstractButton::pressed, this, [this] {
        if (look_ == Look::Button && momentary_) {
            setValue(true);
        }
    });
    connect(this, &QAbstractButton::released, this, [this] {
        if (look_ == Look::Button && momentary_) {
            setValue(false);
        }
    });
}

void TwoStateButton::setValue(bool on) {
    if (on == value_) {
        return;
    }
    value_ = on;
    update();
    if (QAccessible::isActive()) {
        QAccessible::State changed;
        changed.checked = true;
        QAccessibleStateChangeEvent event(this, changed);
        QAccessible::updateAccessibility(&event);
    }
    emit valueChanged(value_);
}

bool TwoStateButton::setValueText(const QString& text) {
    const QString t = text.trimmed();
    if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0) {
        setValue(true);
        return true;
    }
    if (t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) {
        setValue(false);
        return true;
    }
    return false;
}

QString TwoStateButton::valueText() const {
    return value_ ? QStringLiteral("True") : QStringLiteral("False");
}

void TwoStateButton::setColour(quint32 bgr) {
    bgr &= 0x00FFFFFFu;
    if (bgr != colour_) {
        colour_ = bgr;
        update();
    }
}

void TwoStateButton::setLook(Look look) {
    look_ = look;
    // An LED is only an indicator: it takes no focus and no clicks.
    setFocusPolicy(look_ == Look::Led ? Qt::NoFocus : Qt::StrongFocus);
    updateGeometry();
    update();
}

QString TwoStateButton::roleName() const {
    return look_ == Look::Led ? tr("LED") : tr("button");
}

bool TwoStateButton::hitButton(const QPoint& pos) const {
    return look_ == Look::Button && QAbstractButton::hitButton(pos);
}

QSize TwoStateButton::sizeHint() const {
    const QFontMetrics fm(font());
    const int textWidth = text().isEmpty() ? 0 : fm.horizontalAdvance(text());
    if (look_ == Look::Led) {
        const int lamp = fm.height() + 4;
        return {lamp + (textWidth > 0 ? textWidth + 8 : 0), lamp};
    }
    return {std::max(textWidth + 20, 48), fm.height() * 2 + 12};
}

QSize TwoStateButton::minimumSizeHint() const {
    return look_ == Look::Led ? QSize(10, 10) : QSize(24, 20);
}

void TwoStateButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    if (look_ == Look::Led) {
        paintLed(p);
    } else {
        paintButton(p);
    }
}

void TwoStateButton::paintLamp(QPainter& p, const QRectF& box, bool round) const {
    const QColor lit = litColour();
    QRadialGradient glow(box.center() - QPointF(box.width() * 0.2, box.height() * 0.2),
                         std::max(box.width(), box.height()) * 0.75);
    if (value_ && isEnabled()) {
        glow.setColorAt(0.0, QColor::fromRgbF(0.5f + 0.5f * lit.redF(), 0.5f + 0.5f * lit.greenF(),
                                              0.5f + 0.5f * lit.blueF()));
        glow.setColorAt(0.45, lit);
        glow.setColorAt(1.0, lit.darker(140));
    } else {
        // Unlit: the lens keeps a dark tint of its colour.
        glow.setColorAt(0.0, lit.darker(300));
        glow.setColorAt(1.0, lit.darker(600));
    }
    p.setPen(QPen(QColor(25, 25, 25), std::max(std::min(box.width(), box.height()) / 8.0, 1.0)));
    p.setBrush(glow);
    if (round) {
        p.drawEllipse(box);
    } else {
        p.drawRoundedRect(box, 2.0, 2.0);
    }
}

void TwoStateButton::paintLed(QPainter& p) const {
    const double d =
        std::max(std::min<double>(height(), text().isEmpty() ? width() : height()) * 0.9, 4.0);
    const double left = text().isEmpty() ? (width() - d) / 2.0 : 1.0;
    const QRectF bezel(left, (height() - d) / 2.0, d, d);
    QLinearGradient ring(bezel.topLeft(), bezel.bottomRight());
    ring.setColorAt(0.0, QColor(170, 170, 175));
    ring.setColorAt(1.0, QColor(40, 40, 44));
    p.setPen(Qt::NoPen);
    p.setBrush(ring);
    p.drawEllipse(bezel);
    const double inset = std::max(d * 0.14, 1.5);
    paintLamp(p, bezel.adjusted(inset, inset, -inset, -inset), true);
    if (!text().isEmpty()) {
        p.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled,
                                 QPalette::WindowText));
        p.drawText(QRectF(bezel.right() + 6.0, 0, width() - bezel.right() - 6.0, height()),
                   Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic, text());
    }
}

void TwoStateButton::paintButton(QPainter& p) const {
    // Outline and corners in proportion to the button's height (1 pixel at the designed 30).
    const double line = std::max(height() / 30.0, 1.0);
    const QRectF body = QRectF(rect()).adjusted(line, line, -line, -line);
    const bool sunk = isDown();
    QLinearGradient face(body.topLeft(), body.bottomLeft());
    face.setColorAt(0.0, sunk ? QColor(150, 152, 156) : QColor(232, 233, 235));
    face.setColorAt(1.0, sunk ? QColor(200, 202, 205) : QColor(160, 162, 166));
    p.setPen(QPen(QColor(60, 60, 64), line));
    p.setBrush(face);
    p.drawRoundedRect(body, 3.0 * line, 3.0 * line);

    // The lamp strip keeps its proportion to the button at any size.
    const double lampHeight = std::max(body.height() * 0.2, 3.0);
    const double inset = std::max(body.height() * 0.14, 2.0);
    const QRectF lamp(body.left() + inset * 1.25, body.top() + inset, body.width() - inset * 2.5,
                      lampHeight);
    paintLamp(p, lamp, false);

    const QRectF label(body.left() + 2.0, lamp.bottom() + 1.0, body.width() - 4.0,
                       body.bottom() - lamp.bottom() - 2.0);
    p.setPen(isEnabled() ? QColor(20, 20, 22) : QColor(120, 120, 120));
    p.drawText(label, Qt::AlignCenter | Qt::TextShowMnemonic, text());
    if (hasFocus()) {
        p.setPen(QPen(palette().color(QPalette::Highlight), 1.0, Qt::DotLine));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(body.adjusted(2.0, 2.0, -2.0, -2.0), 2.0, 2.0);
    }
}

} // namespace tracely::widgets

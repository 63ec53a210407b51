#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QString>

namespace tracely::widgets {

// A colour given as 0x00BBGGRR (red in the low byte), as the panel code passes colours. The
// top byte is ignored.
QColor colourFromBgr(quint32 bgr);

// A two-state control with two looks: a push button with a lamp that the user clicks to
// toggle (or holds, when momentary), and an LED, a round lamp that only code switches.
class TwoStateButton : public QAbstractButton {
    Q_OBJECT
public:
    enum class Look { Button, Led };

    explicit TwoStateButton(QWidget* parent = nullptr);
    explicit TwoStateButton(Look look, QWidget* parent = nullptr);

    bool value() const { return value_; }
    void setValue(bool on);
    // "True" or "False" in any case, surrounding blanks allowed; anything else is ignored and
    // returns false.
    bool setValueText(const QString& text);
    QString valueText() const;

    // The lit colour, 0x00BBGGRR.
    void setColour(quint32 bgr);
    quint32 colour() const { return colour_; }
    QColor litColour() const { return colourFromBgr(colour_); }

    void setLook(Look look);
    Look look() const { return look_; }
    // Momentary: on while held down, off when let go (instead of toggling on each click).
    void setMomentary(bool on) { momentary_ = on; }
    bool momentary() const { return momentary_; }

    void setCaption(const QString& caption) { setText(caption); }
    QString caption() const { return text(); }
    // The role in words, the accessible name when there is neither one set nor a caption.
    QString roleName() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    // Raised whenever the value changes, by the user or by code; never by a set that leaves
    // the value as it was.
    void valueChanged(bool value);

protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& pos) const override;

private:
    void paintButton(QPainter& p) const;
    void paintLed(QPainter& p) const;
    void paintLamp(QPainter& p, const QRectF& box, bool round) const;

    bool value_ = false;
    quint32 colour_ = 0x0000FF00; // green until the panel says otherwise
    Look look_ = Look::Button;
    bool momentary_ = false;
};

} // namespace tracely::widgets

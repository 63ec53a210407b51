#pragma once

#include "src/widgets/scale_widget.h"

#include <QString>

#include <vector>

class QPainter;

namespace tracely::widgets {

// A rotary knob: a pointer on a dial with its scale written around it. The dial turns through
// 270 degrees, or all the way round for a wrapping (endless jog) knob. Labelled positions
// (1-based) sit equally spaced over the scale; each carries a text and a value of its own.
class Knob : public ScaleWidget {
    Q_OBJECT
public:
    explicit Knob(QWidget* parent = nullptr);

    // Labelled positions. Changing them never moves the pointer.
    void clearLabels();
    int appendLabel(); // returns the index of the new last position
    void setLabelText(int index, const QString& text);
    QString labelText(int index) const;
    // The data the position carries (not its place on the scale). NaN and infinity ignored.
    void setLabelValue(int index, double value);
    double labelValue(int index) const; // 0 for an unknown index
    int labelCount() const { return static_cast<int>(labels_.size()); }
    // Where position `index` lies on the scale.
    double labelPosition(int index) const;

    // The labelled position nearest to the pointer, 0 without labels.
    int selectedLabel() const;
    // Moves the pointer to a labelled position; an unknown index is ignored.
    void setSelectedLabel(int index);

    // Dial angle of a scale value in degrees, clockwise from twelve o'clock.
    double angleOf(double value) const;

    QString valueText() const override;
    QString roleName() const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    // Around the user's drag of the pointer with the mouse.
    void pointerGrabbed();
    void pointerReleased();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    struct Label {
        QString text;
        double value = 0.0;
    };
    struct DialGeometry {
        QPointF centre;
        double textRadius = 0.0;
        double tickOuter = 0.0;
        double tickMajor = 0.0;
        double tickMinor = 0.0;
        double body = 0.0;
    };

    bool validIndex(int index) const { return index >= 1 && index <= labelCount(); }
    double angleAt(const QPointF& pos) const;
    void endDrag();
    DialGeometry geometry(const QFontMetricsF& metrics, double widestText) const;
    // A value on the scale with its text (empty: a minor tick), bold when selected.
    struct ScaleMark {
        double value;
        QString text;
        bool selected;
    };
    std::vector<ScaleMark> scaleMarks(const QFontMetricsF& metrics, const DialGeometry& g) const;
    void paintScale(QPainter& p, const DialGeometry& g) const;
    void paintBody(QPainter& p, const DialGeometry& g) const;
    QPointF polar(const DialGeometry& g, double radius, double angleDeg) const;

    std::vector<Label> labels_;
    bool dragging_ = false;
    double lastAngle_ = 0.0;
    double dragRaw_ = 0.0;
};

} // namespace tracely::widgets

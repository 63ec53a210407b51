#pragma once

#include "src/widgets/scale_widget.h"

#include <QColor>
#include <QString>

#include <vector>

namespace tracely::widgets {

// A linear slide: a main pointer the user drags, plus named marker pointers that only code
// places (e.g. trigger level and zero lines beside a graph). Vertical unless told otherwise.
// Named pointers have indices 1, 2, ... in the order they were added; their changes are
// signalled with that index, the main pointer's with 0.
class Slide : public ScaleWidget {
    Q_OBJECT
public:
    explicit Slide(QWidget* parent = nullptr);
    explicit Slide(Qt::Orientation orientation, QWidget* parent = nullptr);

    void setOrientation(Qt::Orientation orientation);
    Qt::Orientation orientation() const { return orientation_; }

    // Adds a named pointer (visible, at the minimum), or recolours an existing one. Returns
    // its index, 0 for an empty name.
    int addPointer(const QString& name, const QColor& colour);
    int pointerIndex(const QString& name) const; // 0 when unknown
    int pointerCount() const { return static_cast<int>(pointers_.size()); }
    // Named pointers keep the exact value given, even outside the range (drawn at the end
    // then). Unknown names and NaN/infinity are ignored.
    void setPointerValue(const QString& name, double value);
    double pointerValue(const QString& name) const; // 0 when unknown
    void setPointerVisible(const QString& name, bool visible);
    bool pointerVisible(const QString& name) const;

    // Without a main pointer the slide is a marker scale only: no user input.
    void setMainPointerVisible(bool visible);
    bool mainPointerVisible() const { return mainVisible_; }

    QString roleName() const override;
    bool acceptsUserInput() const override { return mainVisible_; }
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    struct Pointer {
        QString name;
        QColor colour;
        double value = 0.0;
        bool visible = true;
    };
    Pointer* find(const QString& name);
    const Pointer* find(const QString& name) const;

    // Geometry along the slide: pixel coordinate of a value and back.
    double ends() const;
    double length() const;
    double along(double value) const;
    double valueAt(const QPointF& pos) const;
    // Widget point for a place along the slide and across it.
    QPointF at(double alongPx, double acrossPx) const;
    double thickness() const;
    // Drawing scale: the thickness over the designed one (sizeHint), so the slide's ticks,
    // pointers and lettering keep their proportions at any size.
    double unit() const;
    QFont labelFont() const;

    // Across the slide: labels, ticks, the track, then the markers.
    struct Layout {
        std::vector<double> ticks;
        double labelStart = 0.0;
        double labelBand = 0.0;
        double tickStart = 0.0;
        double track = 0.0; // centre line of the track
    };
    Layout layout(const QFontMetricsF& metrics) const;
    void paintScale(QPainter& p, const Layout& l) const;
    void paintPointers(QPainter& p, const Layout& l) const;

    Qt::Orientation orientation_ = Qt::Vertical;
    std::vector<Pointer> pointers_;
    bool mainVisible_ = true;
    bool dragging_ = false;
};

} // namespace tracely::widgets

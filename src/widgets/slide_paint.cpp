// Drawing of the slide: scale, track, main pointer and the named markers.
#include "src/widgets/slide.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace tracely::widgets {

namespace {
// Sizes across the slide at its designed thickness; a thicker or thinner slide draws them, and
// its lettering, in proportion (unit()).
constexpr double kTick = 6.0;
constexpr double kGap = 3.0;
constexpr double kTrackHalf = 3.0;
constexpr double kMarker = 10.0;
constexpr double kThumbAlong = 6.0;   // half length of the main pointer along the slide
constexpr double kThumbAcross = 11.0; // half width across
constexpr double kLabelPixels = 11.0;

QString numberText(double v) {
    return QString::number(v, 'g', 4);
}
} // namespace

double Slide::unit() const {
    const QSize designed = sizeHint();
    const double across = orientation_ == Qt::Vertical ? designed.width() : designed.height();
    return std::max(thickness() / across, 0.5);
}

QFont Slide::labelFont() const {
    QFont f = font();
    f.setPixelSize(std::max(static_cast<int>(std::lround(kLabelPixels * unit())), 6));
    return f;
}

Slide::Layout Slide::layout(const QFontMetricsF& metrics) const {
    const double u = unit();
    Layout l;
    const double room = orientation_ == Qt::Vertical
                            ? metrics.height() * 2.2
                            : metrics.horizontalAdvance(QStringLiteral("-0000")) * 1.4;
    l.ticks = scale().niceTicks(std::clamp(static_cast<int>(length() / room), 2, 11));
    if (orientation_ == Qt::Vertical) {
        for (const double v : l.ticks) {
            l.labelBand = std::max(l.labelBand, metrics.horizontalAdvance(numberText(v)) + 2.0);
        }
    } else {
        l.labelBand = metrics.height();
    }
    const double needed = l.labelBand + (3.0 * kGap + kTick + 2.0 * kTrackHalf + kMarker + 2.0) * u;
    l.labelStart = std::max(0.0, (thickness() - needed) / 2.0);
    l.tickStart = l.labelStart + l.labelBand + kGap * u;
    l.track = l.tickStart + (kTick + kGap + kTrackHalf) * u;
    return l;
}

void Slide::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setFont(labelFont());
    const Layout l = layout(QFontMetricsF(p.font()));
    paintScale(p, l);
    paintPointers(p, l);
}

void Slide::paintScale(QPainter& p, const Layout& l) const {
    const QColor ink =
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText);
    const QFontMetricsF metrics(p.font());
    const double u = unit();
    const double tick = kTick * u;
    for (std::size_t i = 0; i < l.ticks.size(); ++i) {
        const double a = along(l.ticks[i]);
        p.setPen(QPen(ink, 1.4 * std::max(u, 1.0)));
        p.drawLine(at(a, l.tickStart), at(a, l.tickStart + tick));
        if (i + 1 < l.ticks.size()) {
            // A shorter tick halfway to the next label.
            const double mid = along((l.ticks[i] + l.ticks[i + 1]) / 2.0);
            p.setPen(QPen(ink, std::max(u, 1.0)));
            p.drawLine(at(mid, l.tickStart + tick / 2.0), at(mid, l.tickStart + tick));
        }
        const QString text = numberText(l.ticks[i]);
        p.setPen(ink);
        if (orientation_ == Qt::Vertical) {
            const QRectF box(l.labelStart, a - metrics.height() / 2.0, l.labelBand,
                             metrics.height());
            p.drawText(box, Qt::AlignRight | Qt::AlignVCenter, text);
        } else {
            const double w = metrics.horizontalAdvance(text) + 2.0;
            const QPointF top = at(a, l.labelStart + l.labelBand);
            p.drawText(QRectF(top.x() - w / 2.0, top.y(), w, l.labelBand), Qt::AlignCenter, text);
        }
    }

    // The groove the pointer runs in.
    const double half = kTrackHalf * u;
    const QRectF groove =
        QRectF(at(along(maximum()), l.track - half), at(along(minimum()), l.track + half))
            .normalized();
    p.setPen(QPen(QColor(90, 92, 96), 1.0));
    p.setBrush(QColor(25, 27, 30));
    p.drawRoundedRect(groove, half, half);
}

void Slide::paintPointers(QPainter& p, const Layout& l) const {
    const double u = unit();
    const double marker = kMarker * u;
    for (const Pointer& m : pointers_) {
        if (!m.visible) {
            continue;
        }
        // A triangle beside the track pointing at the marked value; hollow when the value
        // lies off the scale and the marker waits at the end.
        const bool offScale = m.value < minimum() || m.value > maximum();
        const double a = along(m.value);
        const double base = l.track + (kTrackHalf + kGap) * u;
        QPainterPath tri;
        tri.moveTo(at(a, base));
        tri.lineTo(at(a - marker / 2.0, base + marker));
        tri.lineTo(at(a + marker / 2.0, base + marker));
        tri.closeSubpath();
        p.setPen(QPen(offScale ? m.colour : m.colour.darker(200), 1.2));
        p.setBrush(offScale ? QBrush(Qt::NoBrush) : QBrush(m.colour));
        p.drawPath(tri);
    }
    if (!mainVisible_) {
        return;
    }
    const double a = along(value());
    const double thumbAlong = kThumbAlong * u;
    const double thumbAcross = kThumbAcross * u;
    const QRectF thumb =
        QRectF(at(a - thumbAlong, l.track - thumbAcross), at(a + thumbAlong, l.track + thumbAcross))
            .normalized();
    QLinearGradient metal(thumb.topLeft(), thumb.bottomRight());
    metal.setColorAt(0.0, QColor(225, 227, 230));
    metal.setColorAt(1.0, QColor(110, 114, 120));
    p.setPen(QPen(QColor(30, 30, 34), 1.0));
    p.setBrush(metal);
    p.drawRoundedRect(thumb, 2.0 * u, 2.0 * u);
    p.setPen(QPen(isEnabled() ? QColor(20, 20, 20) : QColor(120, 120, 120), 1.5 * u));
    p.drawLine(at(a, l.track - thumbAcross + 2.0 * u), at(a, l.track + thumbAcross - 2.0 * u));
    if (hasFocus()) {
        p.setPen(QPen(palette().color(QPalette::Highlight), 1.0, Qt::DashLine));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(thumb.adjusted(-2.0, -2.0, 2.0, 2.0), 3.0, 3.0);
    }
}

} // namespace tracely::widgets

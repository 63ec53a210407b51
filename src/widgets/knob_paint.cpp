// Drawing of the knob: scale ticks and labels around the dial, then the knob body.
#include "src/widgets/knob.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tracely::widgets {

namespace {

const QColor kSelectedText(255, 170, 40); // accent for the label the pointer rests on

QString numberText(double v) {
    return QString::number(v, 'g', 4);
}

} // namespace

QPointF Knob::polar(const DialGeometry& g, double radius, double angleDeg) const {
    const double a = angleDeg * std::numbers::pi / 180.0;
    return g.centre + QPointF(radius * std::sin(a), -radius * std::cos(a));
}

Knob::DialGeometry Knob::geometry(const QFontMetricsF& metrics, double widestText) const {
    DialGeometry g;
    g.centre = QRectF(rect()).center();
    const double side = std::min(width(), height());
    const double halfText = std::max(widestText, metrics.height()) / 2.0 + 1.0;
    g.textRadius = std::max(side / 2.0 - halfText, 4.0);
    g.tickOuter = std::max(g.textRadius - halfText - 1.0, 4.0);
    g.tickMajor = g.tickOuter - std::max(side * 0.06, 3.0);
    g.tickMinor = g.tickOuter - std::max(side * 0.035, 2.0);
    g.body = std::max(g.tickMajor - std::max(side * 0.03, 2.0), 4.0);
    return g;
}

void Knob::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    // Lettering in proportion to the dial: a knob twice the size has labels twice as large.
    QFont f = font();
    f.setPixelSize(std::max(static_cast<int>(std::lround(std::min(width(), height()) / 9.0)), 6));
    p.setFont(f);
    const QFontMetricsF metrics(f);
    double widest = metrics.horizontalAdvance(QStringLiteral("000"));
    for (const Label& l : labels_) {
        widest = std::max(widest, metrics.horizontalAdvance(l.text.trimmed()));
    }
    const DialGeometry g = geometry(metrics, widest);
    paintScale(p, g);
    paintBody(p, g);
}

std::vector<Knob::ScaleMark> Knob::scaleMarks(const QFontMetricsF& metrics,
                                              const DialGeometry& g) const {
    std::vector<ScaleMark> marks;
    const double sweep = scale().wrapping() ? 360.0 : 270.0;
    const double arcLength = g.textRadius * sweep * std::numbers::pi / 180.0;
    if (labels_.empty()) {
        const double room = metrics.horizontalAdvance(QStringLiteral("0000")) * 1.3;
        const int count = std::clamp(static_cast<int>(arcLength / room), 3, 11);
        for (const double v : scale().niceTicks(count)) {
            marks.push_back({v, numberText(v), false});
        }
        return marks;
    }
    // Long label rows are thinned out so that texts never overlap; the selected one stays.
    double widest = 1.0;
    for (const Label& l : labels_) {
        widest = std::max(widest, metrics.horizontalAdvance(l.text.trimmed()));
    }
    const double room = arcLength / std::max(labelCount() - 1, 1);
    const int every = std::max(1, static_cast<int>(std::ceil((widest + 4.0) / room)));
    const int selected = selectedLabel();
    for (int i = 1; i <= labelCount(); ++i) {
        // Neighbours too close to the highlighted label give way to it.
        const bool shown =
            i == selected || ((i - 1) % every == 0 && std::abs(i - selected) >= every);
        marks.push_back(
            {labelPosition(i), shown ? labelText(i).trimmed() : QString(), i == selected});
    }
    return marks;
}

void Knob::paintScale(QPainter& p, const DialGeometry& g) const {
    const QColor ink =
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText);
    const QFontMetricsF metrics(p.font());
    const double pen = std::max(std::min(width(), height()) / 90.0, 1.0);
    p.setPen(QPen(ink, pen));

    // Minor ticks on the grid when it is coarse enough to see.
    const double grid = scale().gridCount();
    if (grid >= 2.0 && grid <= 100.0) {
        for (double k = 0.0; k < grid; k += 1.0) {
            const double a = angleOf(scale().minimum() + k * scale().spacing());
            p.drawLine(polar(g, g.tickMinor, a), polar(g, g.tickOuter, a));
        }
    }

    const std::vector<ScaleMark> marks = scaleMarks(metrics, g);
    for (const ScaleMark& m : marks) {
        const double a = angleOf(m.value);
        if (m.text.isEmpty()) {
            p.setPen(QPen(ink, pen));
            p.drawLine(polar(g, g.tickMinor, a), polar(g, g.tickOuter, a));
            continue;
        }
        p.setPen(QPen(ink, 1.6 * pen));
        p.drawLine(polar(g, g.tickMajor, a), polar(g, g.tickOuter, a));
        const QPointF at = polar(g, g.textRadius, a);
        const QSizeF size(metrics.horizontalAdvance(m.text) + 2.0, metrics.height());
        const QRectF box(at - QPointF(size.width() / 2.0, size.height() / 2.0), size);
        QFont font = p.font();
        font.setBold(m.selected);
        p.setFont(font);
        p.setPen(m.selected && isEnabled() ? kSelectedText : ink);
        p.drawText(box, Qt::AlignCenter, m.text);
        font.setBold(false);
        p.setFont(font);
    }
}

void Knob::paintBody(QPainter& p, const DialGeometry& g) const {
    const double r = g.body;
    // Skirt: a brushed metal ring lit from the top left.
    QLinearGradient skirt(g.centre - QPointF(r, r), g.centre + QPointF(r, r));
    skirt.setColorAt(0.0, QColor(190, 195, 200));
    skirt.setColorAt(1.0, QColor(45, 48, 52));
    p.setPen(QPen(QColor(20, 20, 22), 1.0));
    p.setBrush(skirt);
    p.drawEllipse(g.centre, r, r);

    // Cap: dark, slightly domed.
    const double cap = r * 0.8;
    QRadialGradient dome(g.centre - QPointF(cap * 0.35, cap * 0.35), cap * 1.4);
    dome.setColorAt(0.0, QColor(95, 100, 108));
    dome.setColorAt(1.0, QColor(22, 24, 27));
    p.setPen(Qt::NoPen);
    p.setBrush(dome);
    p.drawEllipse(g.centre, cap, cap);

    // Pointer line from the cap's centre region out onto the skirt.
    const double a = angleOf(value());
    const QColor pointer = isEnabled() ? QColor(245, 245, 240) : QColor(130, 130, 130);
    p.setPen(QPen(pointer, std::max(r * 0.09, 1.5), Qt::SolidLine, Qt::RoundCap));
    p.drawLine(polar(g, r * 0.3, a), polar(g, r * 0.95, a));

    if (hasFocus()) {
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(palette().color(QPalette::Highlight), 1.0, Qt::DashLine));
        p.drawEllipse(g.centre, r + 2.0, r + 2.0);
    }
}

} // namespace tracely::widgets

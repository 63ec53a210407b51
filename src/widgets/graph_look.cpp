#include "src/widgets/graph_look.h"

#include <qcustomplot.h>

#include <algorithm>
#include <array>
#include <cmath>

namespace tracely::widgets {

namespace {

const QColor kScreen(8, 12, 14);
const QColor kBezel(18, 22, 26);
const QColor kFrame(110, 120, 130);
const QColor kGraticule(72, 84, 92);
const QColor kLabels(175, 185, 195);

// Five sub-divisions per division whatever the division's width, as on a scope graticule.
class DivisionTicker : public QCPAxisTickerFixed {
protected:
    int getSubTickCount(double) override { return 4; }
};

void styleAxis(QCPAxis* axis) {
    axis->setBasePen(QPen(kFrame, 1.0));
    axis->setTickPen(QPen(kFrame, 1.0));
    axis->setSubTickPen(QPen(kFrame, 1.0));
    axis->setTickLabelColor(kLabels);
    axis->setLabelColor(kLabels);
    axis->setTickLengthIn(5);
    axis->setTickLengthOut(0);
    axis->setSubTickLengthIn(2);
    axis->setSubTickLengthOut(0);
    axis->setNumberFormat(QStringLiteral("g"));
    axis->setNumberPrecision(4);
    QFont small = axis->tickLabelFont();
    small.setPointSizeF(7.5);
    axis->setTickLabelFont(small);
    const QPen dots(kGraticule, 1.0, Qt::DotLine);
    axis->grid()->setPen(dots);
    axis->grid()->setZeroLinePen(dots); // zero is just another division line on a scope
    axis->grid()->setSubGridVisible(false);
}

// The axis opposite (top or right) frames the screen and follows the main axis.
void frame(QCPAxis* main, QCPAxis* opposite) {
    styleAxis(opposite);
    opposite->setVisible(true);
    opposite->setTickLabels(false);
    opposite->grid()->setVisible(false);
    opposite->setRange(main->range());
    QObject::connect(main, qOverload<const QCPRange&>(&QCPAxis::rangeChanged), opposite,
                     qOverload<const QCPRange&>(&QCPAxis::setRange));
}

} // namespace

void applyScopeLook(QCustomPlot* plot) {
    plot->setBackground(kBezel);
    plot->axisRect()->setBackground(kScreen);
    plot->setPlottingHints(QCP::phFastPolylines | QCP::phCacheLabels);
    plot->setNoAntialiasingOnDrag(true);
    plot->legend->setVisible(false);
    styleAxis(plot->xAxis);
    styleAxis(plot->yAxis);
    frame(plot->xAxis, plot->xAxis2);
    frame(plot->yAxis, plot->yAxis2);
    for (QCPAxis* axis : {plot->xAxis, plot->yAxis}) {
        auto ticker = QSharedPointer<DivisionTicker>::create();
        ticker->setScaleStrategy(QCPAxisTickerFixed::ssNone);
        ticker->setTickCount(5);
        axis->setTicker(ticker);
    }
    plot->xAxis2->setTicker(plot->xAxis->ticker());
    plot->yAxis2->setTicker(plot->yAxis->ticker());
}

void fitScopeLook(QCustomPlot* plot, QSize size) {
    // 10 pixels on a screen 320 wide, the size the panel was designed with.
    const double px = std::min(size.width() / 32.0, size.height() / 14.0);
    const int pixels = std::max(static_cast<int>(std::lround(px)), 6);
    const double unit = pixels / 10.0;
    for (QCPAxis* axis : {plot->xAxis, plot->yAxis, plot->xAxis2, plot->yAxis2}) {
        QFont f = axis->tickLabelFont();
        if (f.pixelSize() != pixels) {
            f.setPixelSize(pixels);
            axis->setTickLabelFont(f);
        }
        axis->setTickLengthIn(static_cast<int>(std::lround(5 * unit)));
        axis->setSubTickLengthIn(static_cast<int>(std::lround(2 * unit)));
        axis->setTickLabelPadding(static_cast<int>(std::lround(5 * unit)));
    }
}

void applyDivisionGrid(QCPAxis* axis, int divisions) {
    const auto ticker = qSharedPointerDynamicCast<QCPAxisTickerFixed>(axis->ticker());
    if (!ticker || divisions <= 0) {
        return;
    }
    const QCPRange range = axis->range();
    ticker->setTickOrigin(range.lower);
    ticker->setTickStep(range.size() / divisions);
}

QColor defaultTraceColour(int n) {
    static const std::array<QColor, 8> colours{
        QColor(255, 230, 60), QColor(80, 230, 255),  QColor(255, 110, 230), QColor(120, 255, 120),
        QColor(255, 170, 60), QColor(140, 170, 255), QColor(255, 140, 140), QColor(235, 235, 235)};
    const auto i = static_cast<std::size_t>(n < 0 ? -(n + 1) : n) % colours.size();
    return colours[i];
}

} // namespace tracely::widgets

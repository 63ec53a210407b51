#include "src/widgets/unit_ticker.h"

#include "src/widgets/graph.h"
#include "src/widgets/graph_look.h"

#include <qcustomplot.h>

#include <QFontMetricsF>

#include <algorithm>
#include <cmath>

namespace tracely::widgets {

int labelEvery(double pixelsPerTick, double widestLabelPixels, double gapPixels) {
    if (!std::isfinite(pixelsPerTick) || !std::isfinite(widestLabelPixels) ||
        widestLabelPixels <= 0.0) {
        return 1;
    }
    constexpr int kNone = 1000000;
    if (pixelsPerTick < 1.0) {
        return kNone;
    }
    const double needed = widestLabelPixels + std::max(gapPixels, 0.0);
    for (int decade = 1; decade < kNone; decade *= 10) {
        for (int m : {1, 2, 5}) {
            if (pixelsPerTick * m * decade >= needed) {
                return m * decade;
            }
        }
    }
    return kNone;
}

namespace {

// The division grid with five sub-ticks per division, each label made by `text` and left
// out when its neighbours would run into it.
class UnitTicker : public QCPAxisTickerFixed {
public:
    UnitTicker(QCPAxis* axis, int divisions, TickText text)
        : axis_(axis), divisions_(divisions), text_(std::move(text)) {
        setScaleStrategy(QCPAxisTickerFixed::ssNone);
    }

protected:
    int getSubTickCount(double) override { return 4; }

    QVector<QString> createLabelVector(const QVector<double>& ticks, const QLocale& locale,
                                       QChar formatChar, int precision) override {
        QVector<QString> labels;
        labels.reserve(ticks.size());
        const QFontMetricsF metrics(axis_->tickLabelFont());
        double widest = 0.0;
        for (double t : ticks) {
            labels.append(text_ ? text_(t) : locale.toString(t, formatChar.toLatin1(), precision));
            widest = std::max(widest, horizontal() ? metrics.horizontalAdvance(labels.back())
                                                   : metrics.height());
        }
        const double length = axisLength();
        lengthUsed_ = length;
        const int every = labelEvery(length / std::max(divisions_, 1), widest);
        const double step = tickStep();
        for (qsizetype i = 0; i < ticks.size(); ++i) {
            const double index = step > 0 ? std::round((ticks[i] - tickOrigin()) / step) : 0.0;
            if (std::fmod(std::fabs(index), every) != 0.0) {
                labels[i].clear();
            }
        }
        return labels;
    }

public:
    // The labels are made before the layout of the same replot places the axis: after a
    // resize they were thinned for the old length, and need one more replot. Asked once per
    // length, so that an axis whose labels are not remade (hidden, no ticks) cannot keep the
    // plot replotting for ever.
    bool needsReplotForLength() {
        const double length = axisLength();
        if (std::abs(length - lengthUsed_) <= 1.0) {
            return false;
        }
        lengthUsed_ = length;
        return true;
    }

private:
    bool horizontal() const { return axis_->orientation() == Qt::Horizontal; }
    double axisLength() const {
        const QRect r = axis_->axisRect() ? axis_->axisRect()->rect() : QRect();
        return horizontal() ? r.width() : r.height();
    }

    QCPAxis* axis_;
    int divisions_;
    TickText text_;
    double lengthUsed_ = -1.0;
};

// Gives `axis` a division ticker of its own that follows the axis's range.
void ownTicker(QCPAxis* axis, int divisions, TickText text) {
    auto ticker = QSharedPointer<UnitTicker>::create(axis, divisions, std::move(text));
    axis->setTicker(ticker);
    applyDivisionGrid(axis, divisions);
    QObject::connect(axis, qOverload<const QCPRange&>(&QCPAxis::rangeChanged), axis,
                     [axis, divisions] { applyDivisionGrid(axis, divisions); });
    QCustomPlot* plot = axis->parentPlot();
    const QWeakPointer<UnitTicker> weak = ticker;
    QObject::connect(plot, &QCustomPlot::afterLayout, axis, [plot, weak] {
        if (const auto t = weak.toStrongRef(); t && t->needsReplotForLength()) {
            plot->replot(QCustomPlot::rpQueuedReplot);
        }
    });
}

} // namespace

void showSecondaryLabels(Graph* graph, Qt::Orientation orientation, TickText text) {
    if (graph == nullptr) {
        return;
    }
    QCustomPlot* plot = graph->customPlot();
    const bool x = orientation == Qt::Horizontal;
    QCPAxis* axis = x ? plot->xAxis2 : plot->yAxis2;
    ownTicker(axis, x ? Graph::kDivisionsX : Graph::kDivisionsY, std::move(text));
    axis->setTickLabels(true);
    axis->setTickLabelColor(QColor(150, 200, 150));
    graph->redraw();
}

void thinMainLabels(Graph* graph) {
    if (graph == nullptr) {
        return;
    }
    QCustomPlot* plot = graph->customPlot();
    const auto number = [](double v) {
        // As the main axes always wrote them; a near-zero sum of steps reads as 0.
        return QString::number(std::fabs(v) < 1e-9 ? 0.0 : v, 'g', 4);
    };
    ownTicker(plot->xAxis, Graph::kDivisionsX, number);
    if (qSharedPointerDynamicCast<UnitTicker>(plot->xAxis2->ticker()) == nullptr) {
        ownTicker(plot->xAxis2, Graph::kDivisionsX, number);
    }
    if (qSharedPointerDynamicCast<QCPAxisTickerText>(plot->yAxis->ticker()) == nullptr) {
        ownTicker(plot->yAxis, Graph::kDivisionsY, number);
        if (qSharedPointerDynamicCast<UnitTicker>(plot->yAxis2->ticker()) == nullptr) {
            ownTicker(plot->yAxis2, Graph::kDivisionsY, number);
        }
    }
    graph->redraw();
}

void showLineNames(Graph* graph) {
    if (graph == nullptr) {
        return;
    }
    QCustomPlot* plot = graph->customPlot();
    // The grid moves to the right-hand edge, which keeps the divisions.
    ownTicker(plot->yAxis2, Graph::kDivisionsY, {});
    plot->yAxis2->grid()->setVisible(true);
    auto names = QSharedPointer<QCPAxisTickerText>::create();
    for (int k = 0; k < 8; ++k) {
        names->addTick(k + 0.25, QStringLiteral("D%1").arg(k));
    }
    names->setSubTickCount(0);
    plot->yAxis->setTicker(names);
    plot->yAxis->grid()->setVisible(false);
    graph->redraw();
}

} // namespace tracely::widgets

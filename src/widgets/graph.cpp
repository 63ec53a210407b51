#include "src/widgets/graph.h"

#include "src/widgets/graph_look.h"

#include <qcustomplot.h>

#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <limits>

namespace tracely::widgets {

Graph::Graph(QWidget* parent) : QWidget(parent), plot_(new QCustomPlot(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(plot_);
    applyScopeLook(plot_);
    connect(plot_->xAxis, qOverload<const QCPRange&>(&QCPAxis::rangeChanged), this,
            [this] { applyDivisionGrid(plot_->xAxis, kDivisionsX); });
    connect(plot_->yAxis, qOverload<const QCPRange&>(&QCPAxis::rangeChanged), this,
            [this] { applyDivisionGrid(plot_->yAxis, kDivisionsY); });
    plot_->xAxis->setRange(0.0, 10.0);
    plot_->yAxis->setRange(-4.0, 4.0);
    applyDivisionGrid(plot_->xAxis, kDivisionsX);
    applyDivisionGrid(plot_->yAxis, kDivisionsY);
    createCursors();
    connect(plot_, &QCustomPlot::mousePress, this, &Graph::onMousePress);
    connect(plot_, &QCustomPlot::mouseMove, this, &Graph::onMouseMove);
    connect(plot_, &QCustomPlot::mouseRelease, this, &Graph::onMouseRelease);
}

void Graph::resizeEvent(QResizeEvent* event) {
    // The screen inside has been resized (and drawn) already: draw it again with the new
    // lettering.
    fitScopeLook(plot_, size());
    scheduleReplot();
    QWidget::resizeEvent(event);
}

void Graph::scheduleReplot() {
    plot_->replot(QCustomPlot::rpQueuedReplot);
}

void Graph::redraw() {
    scheduleReplot();
}

// --- Plots

Graph::Plot* Graph::findPlot(const GraphKey& key) {
    if (key.name().isEmpty()) {
        return key.index() >= 1 && key.index() <= numberOfPlots()
                   ? &plots_[static_cast<std::size_t>(key.index() - 1)]
                   : nullptr;
    }
    const auto it = std::find_if(plots_.begin(), plots_.end(),
                                 [&](const Plot& p) { return p.name == key.name(); });
    return it == plots_.end() ? nullptr : &*it;
}

const Graph::Plot* Graph::findPlot(const GraphKey& key) const {
    return const_cast<Graph*>(this)->findPlot(key);
}

int Graph::addPlot(const QString& name, const QColor& colour) {
    Plot* existing = name.isEmpty() ? nullptr : findPlot(name);
    if (existing == nullptr) {
        plots_.push_back({name, plot_->addGraph(), kPointStyleLine});
        existing = &plots_.back();
    }
    existing->graph->setPen(QPen(colour, 1.0));
    existing->graph->setName(name);
    applyStyle(*existing);
    scheduleReplot();
    return static_cast<int>(existing - plots_.data()) + 1;
}

int Graph::plotIndex(const QString& name) const {
    const Plot* p = name.isEmpty() ? nullptr : findPlot(name);
    return p == nullptr ? 0 : static_cast<int>(p - plots_.data()) + 1;
}

void Graph::clearPlot(const GraphKey& key) {
    if (Plot* p = findPlot(key)) {
        p->graph->data()->clear();
        applyStyle(*p);
        scheduleReplot();
    }
}

void Graph::clearAll() {
    for (Plot& p : plots_) {
        p.graph->data()->clear();
        applyStyle(p);
    }
    scheduleReplot();
}

void Graph::fill(Plot& plot, const double* first, std::size_t count, std::size_t stride, double x0,
                 double dx) {
    if (!std::isfinite(x0) || !std::isfinite(dx) ||
        (count > 0 && !std::isfinite(x0 + dx * static_cast<double>(count - 1)))) {
        return;
    }
    // Keys must ascend for the container: a negative step is filled from the far end.
    QVector<QCPGraphData> points(static_cast<qsizetype>(count));
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t source = dx >= 0.0 ? i : count - 1 - i;
        const double y = first[source * stride];
        points[static_cast<qsizetype>(i)] =
            QCPGraphData(x0 + dx * static_cast<double>(source),
                         std::isfinite(y) ? y : std::numeric_limits<double>::quiet_NaN());
    }
    plot.graph->data()->set(points, true);
    applyStyle(plot);
    scheduleReplot();
}

void Graph::plotY(const GraphKey& key, const std::vector<double>& y, double x0, double dx) {
    if (Plot* p = findPlot(key)) {
        fill(*p, y.data(), y.size(), 1, x0, dx);
    }
}

void Graph::plotSeries(const std::vector<double>& matrix, int rows, int cols, double x0, double dx,
                       bool seriesPerRow) {
    if (rows <= 0 || cols <= 0) {
        return;
    }
    const auto r = static_cast<std::size_t>(rows);
    const auto c = static_cast<std::size_t>(cols);
    if (matrix.size() / c < r) {
        return;
    }
    const int series = seriesPerRow ? rows : cols;
    while (numberOfPlots() < series) {
        addPlot(QStringLiteral("Plot-%1").arg(numberOfPlots() + 1),
                defaultTraceColour(numberOfPlots()));
    }
    for (std::size_t k = 0; k < static_cast<std::size_t>(series); ++k) {
        Plot& p = plots_[k];
        if (seriesPerRow) {
            fill(p, matrix.data() + k * c, c, 1, x0, dx);
        } else {
            fill(p, matrix.data() + k, r, c, x0, dx);
        }
    }
}

void Graph::setPlotVisible(const GraphKey& key, bool visible) {
    if (Plot* p = findPlot(key)) {
        p->graph->setVisible(visible);
        scheduleReplot();
    }
}

bool Graph::plotVisible(const GraphKey& key) const {
    const Plot* p = findPlot(key);
    return p != nullptr && p->graph->visible();
}

void Graph::setPointStyle(const GraphKey& key, int style) {
    Plot* p = findPlot(key);
    if (p == nullptr || (style != kPointStyleLine && style != kPointStyleMarks)) {
        return;
    }
    p->style = style;
    applyStyle(*p);
    scheduleReplot();
}

int Graph::pointStyle(const GraphKey& key) const {
    const Plot* p = findPlot(key);
    return p == nullptr ? 0 : p->style;
}

void Graph::applyStyle(Plot& plot) {
    if (plot.style == kPointStyleMarks) {
        plot.graph->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssDisc, 4.0));
    } else if (plot.graph->dataCount() == 1) {
        // A lone point has no line to show: mark it, or it would be invisible (the trigger
        // marker is one point).
        plot.graph->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssCrossCircle, 9.0));
    } else {
        plot.graph->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssNone));
    }
}

int Graph::plotCount(const GraphKey& key) const {
    const Plot* p = findPlot(key);
    return p == nullptr ? 0 : p->graph->dataCount();
}

QCPGraph* Graph::plotGraph(const GraphKey& key) const {
    const Plot* p = findPlot(key);
    return p == nullptr ? nullptr : p->graph;
}

// --- Axes

QCPAxis* Graph::findAxis(const QString& name) const {
    if (name.compare(QLatin1String("XAxis"), Qt::CaseInsensitive) == 0) {
        return plot_->xAxis;
    }
    if (name.compare(QLatin1String("YAxis-1"), Qt::CaseInsensitive) == 0) {
        return plot_->yAxis;
    }
    return nullptr;
}

void Graph::setAxisRange(const QString& name, double min, double max) {
    QCPAxis* axis = findAxis(name);
    if (axis == nullptr || !std::isfinite(min) || !std::isfinite(max) || min == max) {
        return;
    }
    axis->setRange(std::min(min, max), std::max(min, max));
    scheduleReplot();
}

void Graph::setAxisMinimum(const QString& name, double value) {
    QCPAxis* axis = findAxis(name);
    if (axis == nullptr || !std::isfinite(value)) {
        return;
    }
    const QCPRange r = axis->range();
    setAxisRange(name, value, value < r.upper ? r.upper : value + r.size());
}

void Graph::setAxisMaximum(const QString& name, double value) {
    QCPAxis* axis = findAxis(name);
    if (axis == nullptr || !std::isfinite(value)) {
        return;
    }
    const QCPRange r = axis->range();
    setAxisRange(name, value > r.lower ? r.lower : value - r.size(), value);
}

double Graph::axisMinimum(const QString& name) const {
    const QCPAxis* axis = findAxis(name);
    return axis == nullptr ? 0.0 : axis->range().lower;
}

double Graph::axisMaximum(const QString& name) const {
    const QCPAxis* axis = findAxis(name);
    return axis == nullptr ? 0.0 : axis->range().upper;
}

double Graph::gridStep(const QString& name) const {
    const QCPAxis* axis = findAxis(name);
    const auto ticker =
        axis == nullptr ? nullptr : qSharedPointerDynamicCast<QCPAxisTickerFixed>(axis->ticker());
    return ticker ? ticker->tickStep() : 0.0;
}

} // namespace tracely::widgets

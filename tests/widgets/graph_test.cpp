#include "src/widgets/graph.h"

#include "tests/support/wait.h"

#include <qcustomplot.h>

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using tracely::widgets::Graph;

namespace {

double keyAt(const Graph& g, const tracely::widgets::GraphKey& plot, int i) {
    return (g.plotGraph(plot)->data()->constBegin() + i)->key;
}

double valueAt(const Graph& g, const tracely::widgets::GraphKey& plot, int i) {
    return (g.plotGraph(plot)->data()->constBegin() + i)->value;
}

// The logic graph: eight plots, one per logic line.
void logicPlots(Graph& g) {
    for (int k = 1; k <= 8; ++k) {
        g.addPlot(QStringLiteral("Line%1").arg(k), Qt::green);
    }
}

} // namespace

TEST(Graph, PlotsAreFoundByNameOrOneBasedIndex) {
    Graph g;
    EXPECT_EQ(g.addPlot("CHa", Qt::yellow), 1);
    EXPECT_EQ(g.addPlot("CHb", Qt::cyan), 2);
    EXPECT_EQ(g.addPlot("Trig", Qt::white), 3);
    EXPECT_EQ(g.addPlot("CHb", Qt::magenta), 2); // recoloured, not duplicated
    EXPECT_EQ(g.numberOfPlots(), 3);
    EXPECT_EQ(g.plotIndex("Trig"), 3);
    EXPECT_EQ(g.plotIndex("nope"), 0);
    EXPECT_EQ(g.plotGraph(2), g.plotGraph("CHb"));
    EXPECT_EQ(g.plotGraph(4), nullptr);
    EXPECT_EQ(g.plotGraph(0), nullptr);
    EXPECT_EQ(g.plotGraph("CHb")->pen().color(), QColor(Qt::magenta));
}

TEST(Graph, PlotYPlacesPointsAtX0PlusIndexTimesStep) {
    Graph g;
    g.addPlot("CHa", Qt::yellow);
    g.plotY("CHa", {1.0, 2.0, 3.0, 4.0, 5.0}, 2.0, 0.5);
    ASSERT_EQ(g.plotCount("CHa"), 5);
    EXPECT_EQ(keyAt(g, "CHa", 0), 2.0);
    EXPECT_EQ(keyAt(g, "CHa", 4), 4.0);
    EXPECT_EQ(valueAt(g, "CHa", 4), 5.0);

    // A backward step still gives each value its own x.
    g.plotY(1, {1.0, 2.0, 3.0}, 10.0, -1.0);
    ASSERT_EQ(g.plotCount(1), 3);
    EXPECT_EQ(keyAt(g, 1, 0), 8.0);
    EXPECT_EQ(valueAt(g, 1, 0), 3.0);
    EXPECT_EQ(valueAt(g, 1, 2), 1.0);
}

TEST(Graph, PlotYRefusesBadXAndGapsBadY) {
    Graph g;
    g.addPlot("CHa", Qt::yellow);
    g.plotY("CHa", {1.0, 2.0}, 0.0, 1.0);
    const double inf = std::numeric_limits<double>::infinity();
    g.plotY("CHa", {7.0, 8.0, 9.0}, std::nan(""), 1.0);
    g.plotY("CHa", {7.0, 8.0, 9.0}, 0.0, inf);
    g.plotY("CHa", {7.0, 8.0, 9.0}, 1e308, 1e308); // the last x overflows
    g.plotY("nope", {7.0}, 0.0, 1.0);
    EXPECT_EQ(g.plotCount("CHa"), 2);

    g.plotY("CHa", {1.0, inf, std::nan("")}, 0.0, 1.0);
    ASSERT_EQ(g.plotCount("CHa"), 3);
    EXPECT_TRUE(std::isnan(valueAt(g, "CHa", 1)));
    EXPECT_TRUE(std::isnan(valueAt(g, "CHa", 2)));
}

TEST(Graph, PlotsALongTrace) {
    Graph g;
    g.addPlot("CHa", Qt::yellow);
    std::vector<double> y(15000);
    for (std::size_t i = 0; i < y.size(); ++i) {
        y[i] = std::sin(static_cast<double>(i) / 100.0);
    }
    g.plotY("CHa", y, -3.0, 0.001);
    ASSERT_EQ(g.plotCount("CHa"), 15000);
    EXPECT_NEAR(keyAt(g, "CHa", 14999), -3.0 + 14.999, 1e-9);
}

TEST(Graph, PlotSeriesByColumnDrawsTheLogicLines) {
    Graph g;
    logicPlots(g);
    // Three points of eight lines; point 2 holds the byte 0x81 (lines 1 and 8 high).
    const int rows = 3;
    const int cols = 8;
    std::vector<double> m(rows * cols);
    for (int p = 0; p < rows; ++p) {
        const int byte = p == 1 ? 0x81 : 0x00;
        for (int k = 0; k < cols; ++k) {
            m[static_cast<std::size_t>(p * cols + k)] = ((byte >> k) & 1) * 0.5 + k;
        }
    }
    g.plotSeries(m, rows, cols, 4.0, 0.25, false);
    for (int k = 1; k <= 8; ++k) {
        ASSERT_EQ(g.plotCount(k), 3) << k;
        EXPECT_EQ(keyAt(g, k, 2), 4.5);
    }
    EXPECT_EQ(valueAt(g, 1, 1), 0.5);
    EXPECT_EQ(valueAt(g, 8, 1), 7.5);
    EXPECT_EQ(valueAt(g, 4, 1), 3.0);
    EXPECT_EQ(valueAt(g, 8, 0), 7.0);
}

TEST(Graph, PlotSeriesByRowAndMissingPlots) {
    Graph g;
    g.plotSeries({1, 2, 3, 4, 5, 6}, 2, 3, 0.0, 1.0, true);
    EXPECT_EQ(g.numberOfPlots(), 2); // added for the series that had no plot
    ASSERT_EQ(g.plotCount(2), 3);
    EXPECT_EQ(valueAt(g, 2, 0), 4);
    EXPECT_EQ(keyAt(g, 2, 2), 2.0);
}

TEST(Graph, PlotSeriesRefusesAMatrixOfTheWrongShape) {
    Graph g;
    logicPlots(g);
    g.plotSeries({1, 2, 3}, 2, 8, 0.0, 1.0, false);
    g.plotSeries({1, 2, 3}, 0, 3, 0.0, 1.0, false);
    g.plotSeries({1, 2, 3}, 3, -1, 0.0, 1.0, false);
    g.plotSeries({1, 2, 3}, 1 << 30, 1 << 30, 0.0, 1.0, false);
    EXPECT_EQ(g.plotCount(1), 0);
    EXPECT_EQ(g.numberOfPlots(), 8);
}

TEST(Graph, ClearingEmptiesPlotsButKeepsThem) {
    Graph g;
    g.addPlot("CHa", Qt::yellow);
    g.addPlot("CHb", Qt::cyan);
    g.plotY("CHa", {1, 2}, 0, 1);
    g.plotY("CHb", {1, 2}, 0, 1);
    g.clearPlot("CHa");
    EXPECT_EQ(g.plotCount("CHa"), 0);
    EXPECT_EQ(g.plotCount("CHb"), 2);
    g.clearAll();
    EXPECT_EQ(g.plotCount("CHb"), 0);
    EXPECT_EQ(g.numberOfPlots(), 2);
}

TEST(Graph, PointStyleZeroIsLineOnlyThreeMarksEveryPoint) {
    Graph g;
    g.addPlot("CHa", Qt::yellow);
    g.plotY("CHa", {1, 2, 3}, 0, 1);
    EXPECT_EQ(g.plotGraph("CHa")->scatterStyle().shape(), QCPScatterStyle::ssNone);
    g.setPointStyle("CHa", 3);
    EXPECT_EQ(g.pointStyle("CHa"), 3);
    EXPECT_NE(g.plotGraph("CHa")->scatterStyle().shape(), QCPScatterStyle::ssNone);
    EXPECT_EQ(g.plotGraph("CHa")->lineStyle(), QCPGraph::lsLine);
    g.setPointStyle("CHa", 5); // unknown style: ignored
    EXPECT_EQ(g.pointStyle("CHa"), 3);
    g.setPointStyle("CHa", 0);
    EXPECT_EQ(g.plotGraph("CHa")->scatterStyle().shape(), QCPScatterStyle::ssNone);
}

TEST(Graph, ALonePointIsMarkedSoItCanBeSeen) {
    Graph g;
    g.addPlot("Trig", Qt::white);
    g.plotY("Trig", {1.5}, 5.0, 1.0);
    EXPECT_NE(g.plotGraph("Trig")->scatterStyle().shape(), QCPScatterStyle::ssNone);
    g.clearPlot("Trig");
    EXPECT_EQ(g.plotGraph("Trig")->scatterStyle().shape(), QCPScatterStyle::ssNone);
}

TEST(Graph, PlotVisibility) {
    Graph g;
    g.addPlot("Trig", Qt::white);
    EXPECT_TRUE(g.plotVisible("Trig"));
    g.setPlotVisible("Trig", false);
    EXPECT_FALSE(g.plotVisible("Trig"));
    EXPECT_FALSE(g.plotGraph("Trig")->visible());
    EXPECT_FALSE(g.plotVisible("nope"));
}

TEST(Graph, AxisRangesByName) {
    Graph g;
    EXPECT_EQ(g.axisMinimum("XAxis"), 0);
    EXPECT_EQ(g.axisMaximum("XAxis"), 10);
    EXPECT_EQ(g.axisMinimum("YAxis-1"), -4);
    g.setAxisRange("YAxis-1", 7.9, -0.9); // reversed: swapped
    EXPECT_DOUBLE_EQ(g.axisMinimum("YAxis-1"), -0.9);
    EXPECT_DOUBLE_EQ(g.axisMaximum("YAxis-1"), 7.9);
    g.setAxisMinimum("XAxis", 2.25);
    g.setAxisMaximum("XAxis", 12.25);
    EXPECT_EQ(g.axisMinimum("XAxis"), 2.25);
    EXPECT_EQ(g.axisMaximum("XAxis"), 12.25);
    g.setAxisRange("XAxis", std::nan(""), 1);
    g.setAxisRange("XAxis", 3, 3);
    g.setAxisMinimum("XAxis", std::numeric_limits<double>::infinity());
    g.setAxisRange("ZAxis", 0, 1);
    EXPECT_EQ(g.axisMinimum("XAxis"), 2.25);
    EXPECT_EQ(g.axisMinimum("ZAxis"), 0);
}

TEST(Graph, MinimumThenMaximumLandsWhereAskedEvenFarAway) {
    Graph g;
    g.setAxisMinimum("XAxis", 1375);
    EXPECT_EQ(g.axisMaximum("XAxis"), 1385); // width kept while only the minimum is set
    g.setAxisMaximum("XAxis", 1400);
    EXPECT_EQ(g.axisMinimum("XAxis"), 1375);
    EXPECT_EQ(g.axisMaximum("XAxis"), 1400);
    g.setAxisMaximum("XAxis", -20);
    EXPECT_EQ(g.axisMinimum("XAxis"), -45);
    g.setAxisMinimum("XAxis", -30);
    EXPECT_EQ(g.axisMinimum("XAxis"), -30);
    EXPECT_EQ(g.axisMaximum("XAxis"), -20);
}

TEST(Graph, GridHasTenByEightDivisionsWhateverTheRanges) {
    Graph g;
    EXPECT_DOUBLE_EQ(g.gridStep("XAxis"), 1.0);
    EXPECT_DOUBLE_EQ(g.gridStep("YAxis-1"), 1.0);
    g.setAxisRange("YAxis-1", -0.9, 7.9);
    EXPECT_DOUBLE_EQ(g.gridStep("YAxis-1"), 8.8 / 8);
    g.setAxisRange("XAxis", 2.5, 12.5);
    EXPECT_DOUBLE_EQ(g.gridStep("XAxis"), 1.0);
    EXPECT_DOUBLE_EQ(g.customPlot()->xAxis->ticker()->tickOrigin(), 2.5);
    g.setAxisRange("XAxis", 0, 0.001);
    EXPECT_DOUBLE_EQ(g.gridStep("XAxis"), 0.0001);
    EXPECT_EQ(g.gridStep("nope"), 0);
    // The frame's top axis follows the bottom one.
    EXPECT_EQ(g.customPlot()->xAxis2->range().upper, 0.001);
}

TEST(Graph, ABatchOfChangesCostsOneReplot) {
    Graph g;
    g.resize(300, 200);
    g.show();
    g.addPlot("CHa", Qt::yellow);
    QCoreApplication::processEvents();
    QSignalSpy replots(g.customPlot(), &QCustomPlot::afterReplot);
    g.plotY("CHa", {1, 2, 3}, 0, 1);
    g.setPointStyle("CHa", 3);
    g.setAxisRange("XAxis", 1, 11);
    g.setCursorPosition("Cursor1", 2, 0);
    g.redraw();
    EXPECT_EQ(replots.count(), 0); // nothing is drawn synchronously
    ASSERT_TRUE(tracely::test::waitUntil([&] { return replots.count() >= 1; }));
    QCoreApplication::processEvents();
    EXPECT_EQ(replots.count(), 1);
}

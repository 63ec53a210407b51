#include "src/widgets/graph.h"

#include "tests/support/wait.h"
#include "tests/widgets/helpers.h"

#include <qcustomplot.h>

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using tracely::test::drag;
using tracely::widgets::Graph;
using tracely::widgets::GraphKey;

namespace {

QCPGraphData pointAt(const Graph& g, const GraphKey& plot, int i) {
    return *(g.plotGraph(plot)->data()->constBegin() + i);
}

bool marked(const Graph& g, const GraphKey& plot) {
    return g.plotGraph(plot)->scatterStyle().shape() != QCPScatterStyle::ssNone;
}

// A shown graph in cursor-drag mode, Cursor1 at (3, 1) and Cursor2 at (7, -2).
class GraphCursor : public ::testing::Test {
protected:
    void SetUp() override {
        graph.resize(420, 320);
        graph.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&graph));
        graph.customPlot()->replot(); // lays out the axis rect so pixels map to coordinates
        graph.setInteractionMode(Graph::DragCursors);
        graph.setCursorVisible(1, true);
        graph.setCursorVisible("Cursor2", true);
        graph.setCursorPosition("Cursor1", 3.0, 1.0);
        graph.setCursorPosition(2, 7.0, -2.0);
    }
    QPointF pixel(double x, double y) const {
        return {graph.customPlot()->xAxis->coordToPixel(x),
                graph.customPlot()->yAxis->coordToPixel(y)};
    }
    QWidget* screen() const { return graph.customPlot(); }
    Graph graph;
};

} // namespace

TEST(Graph, PlotYPlacesPointIAtX0PlusIStepsAndIgnoresNonFiniteInput) {
    Graph g;
    EXPECT_EQ(g.addPlot("CHb", Qt::cyan), 1);
    EXPECT_EQ(g.addPlot("CHa", Qt::yellow), 2);
    EXPECT_EQ(g.addPlot("CHb", Qt::magenta), 1); // recoloured, not duplicated
    EXPECT_EQ(g.plotGraph(1)->pen().color(), QColor(Qt::magenta));
    EXPECT_TRUE(g.plotGraph(0) == nullptr && g.plotGraph(3) == nullptr);
    g.plotY("CHa", {1.0, 2.0, 3.0, 4.0, 5.0}, 2.0, 0.5);
    ASSERT_EQ(g.plotCount("CHa"), 5);
    EXPECT_EQ(pointAt(g, "CHa", 0).key, 2.0);
    EXPECT_EQ(pointAt(g, "CHa", 4).key, 4.0);
    EXPECT_EQ(pointAt(g, "CHa", 4).value, 5.0);
    // A backward step still gives each value its own x.
    g.plotY(2, {1.0, 2.0, 3.0}, 10.0, -1.0);
    ASSERT_EQ(g.plotCount(2), 3);
    EXPECT_EQ(pointAt(g, "CHa", 0).key, 8.0);
    EXPECT_EQ(pointAt(g, "CHa", 0).value, 3.0);

    const double inf = std::numeric_limits<double>::infinity();
    g.plotY("CHa", {7.0, 8.0}, std::nan(""), 1.0);
    g.plotY("CHa", {7.0, 8.0}, 0.0, inf);
    g.plotY("CHa", {7.0, 8.0}, 1e308, 1e308); // the last x overflows
    g.plotY("nope", {7.0}, 0.0, 1.0);
    EXPECT_EQ(g.plotCount("CHa"), 3);
    g.plotY("CHa", {1.0, inf, std::nan("")}, 0.0, 1.0); // bad values leave gaps
    ASSERT_EQ(g.plotCount("CHa"), 3);
    EXPECT_TRUE(std::isnan(pointAt(g, "CHa", 1).value));
    EXPECT_TRUE(std::isnan(pointAt(g, "CHa", 2).value));
}

// The logic graph's column-per-line drawing is checked through the display (tests/display).
TEST(Graph, PlotSeriesRefusesWrongShapesHoweverLarge) {
    Graph g;
    for (int k = 1; k <= 8; ++k) {
        g.addPlot(QStringLiteral("Line%1").arg(k), Qt::green);
    }
    for (const auto& [rows, cols] : {std::pair{2, 8}, {0, 3}, {3, -1}, {1 << 30, 1 << 30}}) {
        g.plotSeries({1, 2, 3}, rows, cols, 0.0, 1.0, false);
    }
    EXPECT_EQ(g.plotCount(1), 0);
    EXPECT_EQ(g.numberOfPlots(), 8);
}

TEST(Graph, PointStyleZeroIsLineOnlyThreeMarksEveryPointALonePointIsMarked) {
    Graph g;
    g.addPlot("CHa", Qt::yellow);
    g.plotY("CHa", {1, 2, 3}, 0, 1);
    EXPECT_FALSE(marked(g, "CHa"));
    g.setPointStyle("CHa", 3);
    EXPECT_TRUE(marked(g, "CHa"));
    EXPECT_EQ(g.plotGraph("CHa")->lineStyle(), QCPGraph::lsLine);
    g.setPointStyle("CHa", 5); // unknown style: ignored
    EXPECT_EQ(g.pointStyle("CHa"), 3);
    g.setPointStyle("CHa", 0);
    EXPECT_FALSE(marked(g, "CHa"));

    // The trigger marker is one point: with no line to show it must be marked.
    g.plotY("CHa", {1.5}, 5.0, 1.0);
    EXPECT_TRUE(marked(g, "CHa"));
    g.clearPlot("CHa");
    EXPECT_EQ(g.plotCount("CHa"), 0);
    EXPECT_FALSE(marked(g, "CHa"));
    EXPECT_EQ(g.numberOfPlots(), 1); // cleared, not removed
}

TEST(Graph, AxisRangesByNameWithMinimumPastMaximumMovingBoth) {
    Graph g;
    g.setAxisRange("YAxis-1", 7.9, -0.9); // reversed: swapped
    EXPECT_DOUBLE_EQ(g.axisMinimum("YAxis-1"), -0.9);
    EXPECT_DOUBLE_EQ(g.axisMaximum("YAxis-1"), 7.9);
    g.setAxisRange("XAxis", std::nan(""), 1);
    g.setAxisRange("XAxis", 3, 3);
    g.setAxisMinimum("XAxis", std::numeric_limits<double>::infinity());
    g.setAxisRange("ZAxis", 0, 1);
    EXPECT_EQ(g.axisMinimum("XAxis"), 0); // the initial 0 .. 10
    EXPECT_EQ(g.axisMaximum("XAxis"), 10);
    EXPECT_EQ(g.axisMinimum("ZAxis"), 0);

    // "Minimum then maximum" lands where asked, even far from the old range.
    g.setAxisMinimum("XAxis", 1375);
    EXPECT_EQ(g.axisMaximum("XAxis"), 1385); // width kept while only the minimum is set
    g.setAxisMaximum("XAxis", 1400);
    EXPECT_EQ(g.axisMinimum("XAxis"), 1375);
    EXPECT_EQ(g.axisMaximum("XAxis"), 1400);
    g.setAxisMaximum("XAxis", -20);
    EXPECT_EQ(g.axisMinimum("XAxis"), -45);
}

TEST(Graph, GridHasTenByEightDivisionsWhateverTheRanges) {
    Graph g;
    EXPECT_DOUBLE_EQ(g.gridStep("XAxis"), 1.0);
    EXPECT_DOUBLE_EQ(g.gridStep("YAxis-1"), 1.0);
    g.setAxisRange("YAxis-1", -0.9, 7.9);
    EXPECT_DOUBLE_EQ(g.gridStep("YAxis-1"), 8.8 / 8);
    g.setAxisRange("XAxis", 2.5, 12.5);
    EXPECT_DOUBLE_EQ(g.customPlot()->xAxis->ticker()->tickOrigin(), 2.5);
    g.setAxisRange("XAxis", 0, 0.001);
    EXPECT_DOUBLE_EQ(g.gridStep("XAxis"), 0.0001);
}

TEST_F(GraphCursor, StyleTwoIsAVerticalLineAtXAndSixAHorizontalOneAtY) {
    EXPECT_EQ(graph.cursorX("Cursor1"), 3.0);
    EXPECT_EQ(graph.cursorY(2), -2.0);
    graph.setCursorPosition(3, 1, 1); // no such cursor
    graph.setCursorPosition(1, std::nan(""), 0.0);
    EXPECT_EQ(graph.cursorX(1), 3.0);
    graph.setCursorStyle(1, 6);
    graph.setCursorStyle(1, 4); // unknown: ignored
    EXPECT_EQ(graph.cursorStyle(1), 6);

    // Each shown cursor draws one straight line: level at its y for 6, upright at its x for 2.
    std::vector<QLineF> shown;
    for (int i = 0; i < graph.customPlot()->itemCount(); ++i) {
        auto* line = qobject_cast<QCPItemStraightLine*>(graph.customPlot()->item(i));
        if (line != nullptr && line->visible()) {
            shown.emplace_back(line->point1->pixelPosition(), line->point2->pixelPosition());
        }
    }
    ASSERT_EQ(shown.size(), 2u);
    const bool firstLevel = std::abs(shown[0].dy()) < 0.5;
    const QLineF level = shown[firstLevel ? 0 : 1];
    const QLineF upright = shown[firstLevel ? 1 : 0];
    EXPECT_NEAR(level.dy(), 0, 0.5);
    EXPECT_NEAR(level.y1(), pixel(0, 1.0).y(), 0.5);
    EXPECT_NEAR(upright.dx(), 0, 0.5);
    EXPECT_NEAR(upright.x1(), pixel(7.0, 0).x(), 0.5);
}

TEST_F(GraphCursor, UserDragsCursorsInModeTwoAndOnlyThatRaisesCursorChanged) {
    QSignalSpy spy(&graph, &Graph::cursorChanged);
    QSignalSpy replots(graph.customPlot(), &QCustomPlot::afterReplot);
    graph.setCursorPosition(1, 3.0, 0.5);
    graph.setCursorStyle(2, 6);
    graph.setCursorStyle(2, 2);
    graph.setCursorVisible(1, true);
    EXPECT_EQ(spy.count(), 0);     // code sets raise nothing...
    EXPECT_EQ(replots.count(), 0); // ...and a batch of them is drawn by one queued replot
    ASSERT_TRUE(tracely::test::waitUntil([&] { return replots.count() >= 1; }));
    QCoreApplication::processEvents();
    EXPECT_EQ(replots.count(), 1);

    const double xPixel = 10.0 / graph.customPlot()->axisRect()->width();
    const double yPixel = 8.0 / graph.customPlot()->axisRect()->height();
    drag(screen(), pixel(3.0, 0.0), pixel(6.0, 0.0));
    ASSERT_GT(spy.count(), 0);
    EXPECT_EQ(spy.last().at(0).toInt(), 1);
    EXPECT_NEAR(spy.last().at(1).toDouble(), 6.0, 2 * xPixel);
    EXPECT_NEAR(graph.cursorX(1), 6.0, 2 * xPixel);
    EXPECT_EQ(graph.cursorX(2), 7.0);
    EXPECT_EQ(graph.axisMinimum("XAxis"), 0); // the plot itself does not pan

    graph.setCursorStyle(2, 6);
    drag(screen(), pixel(5.0, -2.0), pixel(5.0, 2.5));
    EXPECT_EQ(spy.last().at(0).toInt(), 2);
    EXPECT_NEAR(graph.cursorY(2), 2.5, 2 * yPixel);
    EXPECT_EQ(graph.cursorX(2), 7.0);
    drag(screen(), pixel(5.0, 2.5), pixel(5.0, 40.0));
    EXPECT_EQ(graph.cursorY(2), 4.0); // stays on screen
}

TEST_F(GraphCursor, NoDragAwayFromAShownCursorOrOutsideModeTwo) {
    QSignalSpy spy(&graph, &Graph::cursorChanged);
    drag(screen(), pixel(5.0, 0.0), pixel(8.0, 0.0));
    graph.setCursorVisible(2, false);
    drag(screen(), pixel(7.0, 0.0), pixel(8.0, 0.0));
    graph.setInteractionMode(Graph::NoInteraction);
    graph.setInteractionMode(9); // unknown: ignored
    drag(screen(), pixel(3.0, 0.0), pixel(6.0, 0.0));
    EXPECT_EQ(spy.count(), 0);
    EXPECT_EQ(graph.cursorX(1), 3.0);
    EXPECT_EQ(graph.cursorX(2), 7.0);
    EXPECT_EQ(graph.interactionMode(), Graph::NoInteraction);
}

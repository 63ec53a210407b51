#include "src/widgets/graph.h"

#include "tests/widgets/mouse.h"

#include <qcustomplot.h>

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>

using tracely::widgets::Graph;

namespace {

class GraphCursor : public ::testing::Test {
protected:
    void SetUp() override {
        graph.resize(420, 320);
        graph.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&graph));
        graph.customPlot()->replot(); // lays out the axis rect so pixels map to coordinates
        graph.setInteractionMode(Graph::DragCursors);
        for (int c = 1; c <= 2; ++c) {
            graph.setCursorVisible(c, true);
        }
        graph.setCursorPosition("Cursor1", 3.0, 1.0);
        graph.setCursorPosition("Cursor2", 7.0, -2.0);
    }

    QPointF pixel(double x, double y) const {
        return {graph.customPlot()->xAxis->coordToPixel(x),
                graph.customPlot()->yAxis->coordToPixel(y)};
    }

    QWidget* screen() const { return graph.customPlot(); }

    // One pixel in x and y units: the resolution of a drag.
    double xPixel() const { return 10.0 / graph.customPlot()->axisRect()->width(); }
    double yPixel() const { return 8.0 / graph.customPlot()->axisRect()->height(); }

    Graph graph;
};

} // namespace

TEST_F(GraphCursor, CursorsByNameOrIndex) {
    EXPECT_EQ(graph.cursorX("Cursor1"), 3.0);
    EXPECT_EQ(graph.cursorY(1), 1.0);
    EXPECT_EQ(graph.cursorX(2), 7.0);
    EXPECT_EQ(graph.cursorY("Cursor2"), -2.0);
    graph.setCursorPosition(3, 1, 1);
    graph.setCursorPosition("Cursor3", 1, 1);
    graph.setCursorPosition(1, std::nan(""), 0.0);
    EXPECT_EQ(graph.cursorX(1), 3.0);
    EXPECT_EQ(graph.cursorX(3), 0.0);
    graph.setCursorVisible(2, false);
    EXPECT_FALSE(graph.cursorVisible("Cursor2"));
    EXPECT_TRUE(graph.cursorVisible("cursor1"));
}

TEST_F(GraphCursor, StyleTwoIsAVerticalLineAndSixAHorizontalOne) {
    EXPECT_EQ(graph.cursorStyle(1), Graph::kCursorVertical);
    graph.setCursorStyle(1, 6);
    EXPECT_EQ(graph.cursorStyle(1), 6);
    graph.setCursorStyle(1, 4); // unknown: ignored
    EXPECT_EQ(graph.cursorStyle(1), 6);

    // Each cursor draws exactly one straight line: level for 6, upright for 2.
    const auto lines = graph.customPlot()->itemCount();
    int shownLevel = 0;
    int shownUpright = 0;
    for (int i = 0; i < lines; ++i) {
        auto* line = qobject_cast<QCPItemStraightLine*>(graph.customPlot()->item(i));
        if (line == nullptr || !line->visible()) {
            continue;
        }
        const QPointF a = line->point1->pixelPosition();
        const QPointF b = line->point2->pixelPosition();
        if (std::abs(a.y() - b.y()) < 0.5) {
            ++shownLevel;
            EXPECT_NEAR(a.y(), pixel(0, 1.0).y(), 0.5);
        } else if (std::abs(a.x() - b.x()) < 0.5) {
            ++shownUpright;
            EXPECT_NEAR(a.x(), pixel(7.0, 0).x(), 0.5);
        }
    }
    EXPECT_EQ(shownLevel, 1);
    EXPECT_EQ(shownUpright, 1);
}

TEST_F(GraphCursor, SettingFromCodeRaisesNothing) {
    QSignalSpy spy(&graph, &Graph::cursorChanged);
    graph.setCursorPosition(1, 4.0, 0.0);
    graph.setCursorStyle(2, 6);
    graph.setCursorVisible(1, false);
    EXPECT_EQ(spy.count(), 0);
}

TEST_F(GraphCursor, UserDragsAVerticalCursorInModeTwo) {
    QSignalSpy spy(&graph, &Graph::cursorChanged);
    const double xBefore = graph.axisMinimum("XAxis");
    tracely::test::drag(screen(), pixel(3.0, 0.0), pixel(6.0, 0.0));
    ASSERT_GT(spy.count(), 0);
    EXPECT_EQ(spy.last().at(0).toInt(), 1);
    EXPECT_NEAR(spy.last().at(1).toDouble(), 6.0, 2 * xPixel());
    EXPECT_NEAR(graph.cursorX(1), 6.0, 2 * xPixel());
    EXPECT_EQ(graph.cursorX(2), 7.0);
    EXPECT_EQ(graph.axisMinimum("XAxis"), xBefore); // the plot itself does not pan
}

TEST_F(GraphCursor, UserDragsAHorizontalCursorAndItStaysOnScreen) {
    graph.setCursorStyle(2, 6);
    QSignalSpy spy(&graph, &Graph::cursorChanged);
    tracely::test::drag(screen(), pixel(5.0, -2.0), pixel(5.0, 2.5));
    ASSERT_GT(spy.count(), 0);
    EXPECT_EQ(spy.last().at(0).toInt(), 2);
    EXPECT_NEAR(graph.cursorY(2), 2.5, 2 * yPixel());
    EXPECT_EQ(graph.cursorX(2), 7.0);
    tracely::test::drag(screen(), pixel(5.0, 2.5), pixel(5.0, 40.0));
    EXPECT_EQ(graph.cursorY(2), 4.0);
}

TEST_F(GraphCursor, NoDragAwayFromACursorOrOutsideModeTwo) {
    QSignalSpy spy(&graph, &Graph::cursorChanged);
    tracely::test::drag(screen(), pixel(5.0, 0.0), pixel(8.0, 0.0));
    graph.setCursorVisible(2, false);
    tracely::test::drag(screen(), pixel(7.0, 0.0), pixel(8.0, 0.0)); // hidden: not grabbed
    graph.setInteractionMode(Graph::NoInteraction);
    tracely::test::drag(screen(), pixel(3.0, 0.0), pixel(6.0, 0.0));
    EXPECT_EQ(spy.count(), 0);
    EXPECT_EQ(graph.cursorX(1), 3.0);
    EXPECT_EQ(graph.cursorX(2), 7.0);
    graph.setInteractionMode(9); // unknown: ignored
    EXPECT_EQ(graph.interactionMode(), Graph::NoInteraction);
}

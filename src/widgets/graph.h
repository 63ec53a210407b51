#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

#include <array>
#include <cstddef>
#include <vector>

class QCustomPlot;
class QCPAxis;
class QCPGraph;
class QCPItemStraightLine;
class QMouseEvent;

namespace tracely::widgets {

// Names a plot or a cursor the way the panel code does: by name, or by 1-based index.
class GraphKey {
public:
    GraphKey(int index) : index_(index) {}
    GraphKey(const QString& name) : name_(name) {}
    GraphKey(const char* name) : name_(QString::fromUtf8(name)) {}
    int index() const { return index_; }
    const QString& name() const { return name_; }

private:
    int index_ = 0;
    QString name_;
};

// An oscilloscope screen on QCustomPlot: dark background, a grid of 10 by 8 divisions
// whatever the axis ranges, named plots (1-based), two cursors "Cursor1" and "Cursor2", and
// the axes "XAxis" and "YAxis-1". Every change queues one repaint for the next event-loop
// turn, so a batch of changes costs a single replot.
class Graph : public QWidget {
    Q_OBJECT
public:
    static constexpr int kDivisionsX = 10;
    static constexpr int kDivisionsY = 8;
    static constexpr int kPointStyleLine = 0;
    static constexpr int kPointStyleMarks = 3;
    static constexpr int kCursorVertical = 2;
    static constexpr int kCursorHorizontal = 6;
    enum InteractionMode { NoInteraction = 0, PanZoom = 1, DragCursors = 2 };

    explicit Graph(QWidget* parent = nullptr);

    QCustomPlot* customPlot() const { return plot_; }

    // --- Plots. Unknown names or indices are ignored (getters give 0 / false / nullptr).
    // Adds a plot, or recolours the one of that name; returns its index.
    int addPlot(const QString& name, const QColor& colour);
    int plotIndex(const QString& name) const;
    int numberOfPlots() const { return static_cast<int>(plots_.size()); }
    void clearPlot(const GraphKey& plot);
    void clearAll();
    // Point i lies at x0 + i * dx. Non-finite y values leave a gap; a non-finite x0 or dx
    // (or an x that overflows) leaves the plot as it was.
    void plotY(const GraphKey& plot, const std::vector<double>& y, double x0, double dx);
    // A row-major rows x cols matrix. seriesPerRow false: column k is drawn on plot k+1 (each
    // column one series of `rows` points); true: row k is. Plots missing for a series are
    // added. A matrix shorter than rows x cols is refused.
    void plotSeries(const std::vector<double>& matrix, int rows, int cols, double x0, double dx,
                    bool seriesPerRow);
    void setPlotVisible(const GraphKey& plot, bool visible);
    bool plotVisible(const GraphKey& plot) const;
    // 0: line only; 3: line plus a mark on every point. Other styles are ignored.
    void setPointStyle(const GraphKey& plot, int style);
    int pointStyle(const GraphKey& plot) const;
    int plotCount(const GraphKey& plot) const; // number of points
    QCPGraph* plotGraph(const GraphKey& plot) const;

    // --- Cursors "Cursor1" and "Cursor2" (or 1, 2). Setting from code raises nothing.
    void setCursorPosition(const GraphKey& cursor, double x, double y);
    double cursorX(const GraphKey& cursor) const;
    double cursorY(const GraphKey& cursor) const;
    void setCursorVisible(const GraphKey& cursor, bool visible);
    bool cursorVisible(const GraphKey& cursor) const;
    // 2: vertical line at x; 6: horizontal line at y. Other styles are ignored.
    void setCursorStyle(const GraphKey& cursor, int style);
    int cursorStyle(const GraphKey& cursor) const;
    // 0 none, 1 the user pans and zooms, 2 the user drags the cursors. Others are ignored.
    void setInteractionMode(int mode);
    int interactionMode() const { return mode_; }

    // --- Axes "XAxis" and "YAxis-1". Unknown names are ignored (getters give 0).
    void setAxisRange(const QString& axis, double min, double max);
    // Setting the minimum at or past the maximum moves the maximum along (and the other way
    // round), keeping the width, so that "minimum then maximum" always ends where asked.
    void setAxisMinimum(const QString& axis, double value);
    void setAxisMaximum(const QString& axis, double value);
    double axisMinimum(const QString& axis) const;
    double axisMaximum(const QString& axis) const;
    // Width of one grid division on that axis.
    double gridStep(const QString& axis) const;

    void redraw();

signals:
    // The user moved a cursor (index 1 or 2) with the mouse.
    void cursorChanged(int cursorIndex, double x, double y);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    struct Plot {
        QString name;
        QCPGraph* graph = nullptr;
        int style = kPointStyleLine;
    };
    struct Cursor {
        QCPItemStraightLine* vertical = nullptr;
        QCPItemStraightLine* horizontal = nullptr;
        double x = 0.0;
        double y = 0.0;
        int style = kCursorVertical;
        bool visible = false;
    };

    Plot* findPlot(const GraphKey& key);
    const Plot* findPlot(const GraphKey& key) const;
    Cursor* findCursor(const GraphKey& key);
    const Cursor* findCursor(const GraphKey& key) const;
    QCPAxis* findAxis(const QString& name) const;

    void fill(Plot& plot, const double* first, std::size_t count, std::size_t stride, double x0,
              double dx);
    void applyStyle(Plot& plot);
    void createCursors();
    void applyCursor(Cursor& cursor);
    void onMousePress(QMouseEvent* event);
    void onMouseMove(QMouseEvent* event);
    void onMouseRelease(QMouseEvent* event);
    int cursorNear(const QPointF& pos) const; // 1-based, 0 for none
    void scheduleReplot();

    QCustomPlot* plot_ = nullptr;
    std::vector<Plot> plots_;
    std::array<Cursor, 2> cursors_;
    int mode_ = NoInteraction;
    int dragging_ = 0; // 1-based cursor being dragged
};

} // namespace tracely::widgets

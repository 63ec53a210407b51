#pragma once

#include <QColor>
#include <QSize>

class QCustomPlot;
class QCPAxis;

namespace tracely::widgets {

// Dark screen, dotted graticule, light labels, a frame on all four sides, fast drawing.
void applyScopeLook(QCustomPlot* plot);
// Tick labels and tick marks in proportion to the screen's size: the lettering follows the
// width, held within what the height leaves room for.
void fitScopeLook(QCustomPlot* plot, QSize size);
// Puts the ticks (and so the grid lines) of an axis on `divisions` equal divisions of its
// current range, starting at its minimum. The axis opposite shares the same ticker.
void applyDivisionGrid(QCPAxis* axis, int divisions);
// A light trace colour for the n-th plot added without one.
QColor defaultTraceColour(int n);

} // namespace tracely::widgets

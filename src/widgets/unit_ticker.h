#pragma once

#include <QString>

#include <functional>

namespace tracely::widgets {

class Graph;

// Every how many ticks a label fits: the smallest of 1, 2, 5, 10, 20, 50 ... whose spacing
// in pixels holds the widest label plus a gap. Degenerate widths give 1; ticks closer than a
// pixel give a step so large that at most one label shows.
int labelEvery(double pixelsPerTick, double widestLabelPixels, double gapPixels = 6.0);

// Turns a graph division (the axis value at a tick) into the text shown for it.
using TickText = std::function<QString(double)>;

// Labels the division grid on the screen's top (horizontal) or right (vertical) edge with
// `text` of each division line: seconds or volts beside the divisions of the main axes.
// Labels that would run into each other are left out, on these and on the main axes.
void showSecondaryLabels(Graph* graph, Qt::Orientation orientation, TickText text);

// Names the eight logic lines D0..D7 beside their traces (line k drawn from k to k + 0.5),
// the division grid kept on the opposite edge.
void showLineNames(Graph* graph);

// Leaves out main-axis labels that would overlap (long numbers after a far pan).
void thinMainLabels(Graph* graph);

} // namespace tracely::widgets

#pragma once

#include <QSize>
#include <QString>

#include <vector>

class QPrinter;

namespace tracely::widgets {
class Graph;
}

// Both graphs as drawn, one above the other, to an image, an SVG drawing or a printer.
namespace tracely::graph_export {

using Graphs = std::vector<const widgets::Graph*>;

// The size of the stacked picture: the widest graph by the sum of their heights.
QSize stackedSize(const Graphs& graphs);

// False (and a sentence in `error`) when the file cannot be written.
[[nodiscard]] bool savePng(const QString& path, const Graphs& graphs, QString* error);
[[nodiscard]] bool saveSvg(const QString& path, const Graphs& graphs, QString* error);
// Fits the picture to the printer's page, keeping its proportions.
[[nodiscard]] bool print(QPrinter& printer, const Graphs& graphs, QString* error);

} // namespace tracely::graph_export

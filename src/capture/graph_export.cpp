#include "src/capture/graph_export.h"

#include "src/widgets/graph.h"

#include <QFile>
#include <QImage>
#include <QPrinter>
#include <QSvgGenerator>
#include <qcustomplot.h>

#include <algorithm>

namespace tracely::graph_export {

namespace {

// Draws the graphs stacked from the top-left corner of the painter's coordinates.
void paintStacked(QCPPainter& painter, const Graphs& graphs) {
    int y = 0;
    for (const widgets::Graph* g : graphs) {
        painter.save();
        painter.translate(0, y);
        g->customPlot()->toPainter(&painter, g->width(), g->height());
        painter.restore();
        y += g->height();
    }
}

bool nothingToDraw(const Graphs& graphs, QString* error) {
    const QSize size = stackedSize(graphs);
    if (size.isEmpty()) {
        if (error) {
            *error = QStringLiteral("The graphs have no size to draw.");
        }
        return true;
    }
    return false;
}

} // namespace

QSize stackedSize(const Graphs& graphs) {
    int w = 0;
    int h = 0;
    for (const widgets::Graph* g : graphs) {
        w = std::max(w, g->width());
        h += g->height();
    }
    return {w, h};
}

bool savePng(const QString& path, const Graphs& graphs, QString* error) {
    if (nothingToDraw(graphs, error)) {
        return false;
    }
    QImage image(stackedSize(graphs), QImage::Format_RGB32);
    image.fill(Qt::black);
    {
        QCPPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        paintStacked(painter, graphs);
    }
    if (!image.save(path, "PNG")) {
        if (error) {
            *error = QStringLiteral("Could not write ") + path + QLatin1Char('.');
        }
        return false;
    }
    return true;
}

bool saveSvg(const QString& path, const Graphs& graphs, QString* error) {
    if (nothingToDraw(graphs, error)) {
        return false;
    }
    QFile probe(path);
    if (!probe.open(QIODevice::WriteOnly)) {
        if (error) {
            *error = QStringLiteral("Could not write ") + path + QStringLiteral(": ") +
                     probe.errorString();
        }
        return false;
    }
    probe.close();
    QSvgGenerator svg;
    svg.setFileName(path);
    svg.setSize(stackedSize(graphs));
    svg.setViewBox(QRect(QPoint(0, 0), stackedSize(graphs)));
    svg.setTitle(QStringLiteral("Tracely capture"));
    QCPPainter painter(&svg);
    painter.setMode(QCPPainter::pmVectorized);
    paintStacked(painter, graphs);
    return true;
}

bool print(QPrinter& printer, const Graphs& graphs, QString* error) {
    if (nothingToDraw(graphs, error)) {
        return false;
    }
    QCPPainter painter;
    if (!painter.begin(&printer)) {
        if (error) {
            *error = QStringLiteral("The printer could not be started.");
        }
        return false;
    }
    painter.setMode(QCPPainter::pmVectorized);
    const QRectF page = printer.pageLayout().paintRectPixels(printer.resolution());
    const QSize size = stackedSize(graphs);
    const double scale = std::min(page.width() / size.width(), page.height() / size.height());
    painter.scale(scale, scale);
    paintStacked(painter, graphs);
    painter.end();
    return true;
}

} // namespace tracely::graph_export

#include "src/settings/widget_window.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <climits>
#include <cmath>

namespace tracely {
namespace {

constexpr double kTwipsPerInch = 1440.0;
constexpr double kFallbackDpi = 96.0;

double twipsPerPixel(double dpi) {
    return kTwipsPerInch / (std::isfinite(dpi) && dpi > 0 ? dpi : kFallbackDpi);
}

std::int32_t toTwips(int pixels, double perPixel) {
    const double t =
        std::clamp(std::nearbyint(pixels * perPixel), double{INT32_MIN}, double{INT32_MAX});
    return static_cast<std::int32_t>(t);
}

int toPixels(std::int32_t twips, double perPixel) {
    const double p =
        std::clamp(std::nearbyint(twips / perPixel), double{INT_MIN / 2}, double{INT_MAX / 2});
    return static_cast<int>(p);
}

} // namespace

QScreen* WidgetWindow::screen() const {
    QScreen* s = widget_.screen();
    return s != nullptr ? s : QGuiApplication::primaryScreen();
}

PlacedWindow::State WidgetWindow::state() const {
    if (widget_.isMinimized()) {
        return State::Minimised;
    }
    return widget_.isMaximized() ? State::Maximised : State::Normal;
}

std::int32_t WidgetWindow::left() const {
    const QScreen* s = screen();
    const int origin = s != nullptr ? s->availableGeometry().x() : 0;
    return toTwips(widget_.frameGeometry().x() - origin, twipsPerPixelX());
}

std::int32_t WidgetWindow::top() const {
    const QScreen* s = screen();
    const int origin = s != nullptr ? s->availableGeometry().y() : 0;
    return toTwips(widget_.frameGeometry().y() - origin, twipsPerPixelY());
}

std::int32_t WidgetWindow::width() const {
    return toTwips(widget_.frameGeometry().width(), twipsPerPixelX());
}

std::int32_t WidgetWindow::height() const {
    return toTwips(widget_.frameGeometry().height(), twipsPerPixelY());
}

void WidgetWindow::move(std::int32_t left, std::int32_t top, std::int32_t width,
                        std::int32_t height) {
    const Qt::WindowStates restored =
        widget_.windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized);
    if (restored != widget_.windowState()) {
        widget_.setWindowState(restored);
    }
    const QScreen* s = screen();
    const QPoint origin = s != nullptr ? s->availableGeometry().topLeft() : QPoint();
    // The frame is placed; the client area is what resize() sets, so take off the decoration.
    const QRect frame = widget_.frameGeometry();
    const QRect client = widget_.geometry();
    const int extraW = frame.width() - client.width();
    const int extraH = frame.height() - client.height();
    widget_.move(origin.x() + toPixels(left, twipsPerPixelX()),
                 origin.y() + toPixels(top, twipsPerPixelY()));
    widget_.resize(std::max(1, toPixels(width, twipsPerPixelX()) - extraW),
                   std::max(1, toPixels(height, twipsPerPixelY()) - extraH));
}

void WidgetWindow::setMaximised() {
    widget_.showMaximized();
}

std::int32_t WidgetWindow::screenWidth() const {
    const QScreen* s = screen();
    return s != nullptr ? toTwips(s->availableGeometry().width(), twipsPerPixelX()) : 0;
}

std::int32_t WidgetWindow::screenHeight() const {
    const QScreen* s = screen();
    return s != nullptr ? toTwips(s->availableGeometry().height(), twipsPerPixelY()) : 0;
}

double WidgetWindow::twipsPerPixelX() const {
    const QScreen* s = screen();
    return twipsPerPixel(s != nullptr ? s->logicalDotsPerInchX() : kFallbackDpi);
}

double WidgetWindow::twipsPerPixelY() const {
    const QScreen* s = screen();
    return twipsPerPixel(s != nullptr ? s->logicalDotsPerInchY() : kFallbackDpi);
}

} // namespace tracely

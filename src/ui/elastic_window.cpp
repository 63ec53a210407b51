#include "src/ui/elastic_window.h"

#include "src/ui/elastic.h"
#include "src/widgets/graph.h"
#include "src/widgets/scale_widget.h"

#include <QDockWidget>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
#include <QMainWindow>
#include <QScreen>
#include <QStatusBar>

#include <algorithm>
#include <climits>
#include <cmath>

namespace tracely {

namespace {

constexpr double kTwipsPerInch = 1440.0;
constexpr double kFallbackDpi = 96.0;
constexpr int kSmallestFont = 6; // points: a caption shrunk to fit stops here

double perPixel(double dpi) {
    return kTwipsPerInch / (std::isfinite(dpi) && dpi > 0.0 ? dpi : kFallbackDpi);
}

int toPixels(double twips, double perPx) {
    return static_cast<int>(std::clamp(std::nearbyint(twips / perPx), -1.0e6, 1.0e6));
}

// Plain containers of the design (a bare QWidget, a group box) hold controls of their own;
// every other widget is one control, whatever it is built from inside.
bool isContainer(const QWidget* w) {
    return w->metaObject() == &QWidget::staticMetaObject || qobject_cast<const QGroupBox*>(w);
}

void collect(QWidget* parent, std::vector<QPointer<QWidget>>& out,
             std::vector<QWidget*>& containers) {
    for (QObject* o : parent->children()) {
        auto* w = qobject_cast<QWidget*>(o);
        if (w == nullptr || w->isWindow()) {
            continue;
        }
        out.emplace_back(w);
        if (isContainer(w)) {
            containers.push_back(w);
            collect(w, out, containers);
        }
    }
}

// Lettering that the widget draws to its own size rather than in its font.
bool sizesOwnText(const QWidget* w) {
    return qobject_cast<const widgets::ScaleWidget*>(w) || qobject_cast<const widgets::Graph*>(w);
}

} // namespace

QWidget* ElasticWindow::control(int index) const {
    return index >= 0 && index < controlCount() ? controls_[static_cast<std::size_t>(index)].data()
                                                : nullptr;
}

QStatusBar* ElasticWindow::statusBar() const {
    // Not QMainWindow::statusBar(), which would make one.
    return window_.findChild<QStatusBar*>(QString(), Qt::FindDirectChildrenOnly);
}

bool ElasticWindow::docked(const QWidget* w) const {
    return w != nullptr && w == statusBar();
}

void ElasticWindow::fixDesign() {
    if (fixed_) {
        return;
    }
    fixed_ = true;
    QWidget* central = window_.centralWidget();
    std::vector<QWidget*> containers;
    if (central != nullptr) {
        containers.push_back(central);
        collect(central, controls_, containers);
    }
    // Lay out from the window down: a hidden widget hears of its new size only when shown, so
    // each layout is run by hand, parents before their contents.
    if (QLayout* top = window_.layout()) {
        top->invalidate();
        top->activate();
    }
    for (QWidget* c : containers) {
        if (QLayout* l = c->layout()) {
            l->invalidate();
            l->activate();
        }
    }
    for (QWidget* c : containers) {
        delete c->layout(); // the widgets stay where the layout put them
    }
    for (const QPointer<QWidget>& w : controls_) {
        w->setMinimumSize(0, 0);
        w->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    }
    if (QStatusBar* bar = statusBar()) {
        bar->setFixedHeight(bar->height());
        controls_.emplace_back(bar);
    }
    if (central != nullptr) {
        central->updateGeometry();
    }
}

double ElasticWindow::twipsPerPixelX() const {
    const QScreen* s = window_.screen() ? window_.screen() : QGuiApplication::primaryScreen();
    return perPixel(s != nullptr ? s->logicalDotsPerInchX() : kFallbackDpi);
}

double ElasticWindow::twipsPerPixelY() const {
    const QScreen* s = window_.screen() ? window_.screen() : QGuiApplication::primaryScreen();
    return perPixel(s != nullptr ? s->logicalDotsPerInchY() : kFallbackDpi);
}

std::optional<double> ElasticWindow::property(int index, Property p) const {
    const QWidget* w = control(index);
    if (w == nullptr) {
        return std::nullopt;
    }
    const QRect g = w->geometry();
    switch (p) {
    case Property::Top:
        return g.y() * twipsPerPixelY();
    case Property::Left:
        return g.x() * twipsPerPixelX();
    case Property::Height:
        return g.height() * twipsPerPixelY();
    case Property::Width:
        return g.width() * twipsPerPixelX();
    case Property::FontSize:
        if (sizesOwnText(w) || w->font().pointSizeF() <= 0.0) {
            return std::nullopt;
        }
        return w->font().pointSizeF();
    default:
        return std::nullopt; // no right margins and no lines on this window
    }
}

bool ElasticWindow::setProperty(int index, Property p, std::int32_t value) {
    QWidget* w = control(index);
    if (w == nullptr) {
        return false;
    }
    QRect g = w->geometry();
    switch (p) {
    case Property::Top:
    case Property::Left:
    case Property::Width:
        if (docked(w)) {
            return false;
        }
        if (p == Property::Top) {
            g.moveTop(toPixels(value, twipsPerPixelY()));
        } else if (p == Property::Left) {
            g.moveLeft(toPixels(value, twipsPerPixelX()));
        } else {
            g.setWidth(std::max(0, toPixels(value, twipsPerPixelX())));
        }
        w->setGeometry(g);
        return true;
    case Property::Height:
        if (docked(w)) {
            w->setFixedHeight(std::max(0, toPixels(value, twipsPerPixelY())));
        } else {
            g.setHeight(std::max(0, toPixels(value, twipsPerPixelY())));
            w->setGeometry(g);
        }
        return true;
    case Property::FontSize: {
        if (sizesOwnText(w) || value <= 0 || value > 1000) {
            return false;
        }
        QFont f = w->font();
        f.setPointSize(value);
        w->setFont(f);
        // Fonts follow the width alone: on a window made much wider than tall, a caption of
        // two lines would lose its second line. It gets the largest even size that fits.
        if (auto* label = qobject_cast<QLabel*>(w)) {
            while (f.pointSize() > kSmallestFont && label->sizeHint().height() > label->height()) {
                f.setPointSize(f.pointSize() - 2);
                label->setFont(f);
            }
        }
        return true;
    }
    default:
        return false;
    }
}

ElasticForm::State ElasticWindow::windowState() const {
    if (window_.isMinimized()) {
        return State::Minimised;
    }
    return window_.isMaximized() || window_.isFullScreen() ? State::Maximised : State::Normal;
}

int ElasticWindow::chromeHeight() const {
    // The menu bar and any bar docked above or below the panel are not scaled: the panel
    // is laid out in what they leave of the window.
    const QWidget* menu = window_.menuWidget();
    int h = menu != nullptr && !menu->isHidden() ? menu->sizeHint().height() : 0;
    for (const QDockWidget* d :
         window_.findChildren<QDockWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        const Qt::DockWidgetArea a = window_.dockWidgetArea(const_cast<QDockWidget*>(d));
        if (!d->isHidden() && (a == Qt::TopDockWidgetArea || a == Qt::BottomDockWidgetArea)) {
            h += d->sizeHint().height();
        }
    }
    return h;
}

double ElasticWindow::height() const {
    return (window_.height() - chromeHeight()) * twipsPerPixelY() + elastic::kUnscaledHeight;
}

double ElasticWindow::width() const {
    return window_.width() * twipsPerPixelX();
}

bool ElasticWindow::setHeight(std::int32_t twips) {
    // A minimised or maximised window is sized by the window system alone.
    if (windowState() != State::Normal) {
        return false;
    }
    const int client = toPixels(twips - elastic::kUnscaledHeight, twipsPerPixelY());
    window_.resize(window_.width(), std::max(1, client + chromeHeight()));
    return true;
}

bool ElasticWindow::setWidth(std::int32_t twips) {
    if (windowState() != State::Normal) {
        return false;
    }
    window_.resize(std::max(1, toPixels(twips, twipsPerPixelX())), window_.height());
    return true;
}

double ElasticWindow::screenHeight() const {
    const QScreen* s = window_.screen() ? window_.screen() : QGuiApplication::primaryScreen();
    return s != nullptr ? s->availableGeometry().height() * twipsPerPixelY() : 0.0;
}

double ElasticWindow::screenWidth() const {
    const QScreen* s = window_.screen() ? window_.screen() : QGuiApplication::primaryScreen();
    return s != nullptr ? s->availableGeometry().width() * twipsPerPixelX() : 0.0;
}

} // namespace tracely

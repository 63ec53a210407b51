#pragma once

#include "src/ui/elastic_form.h"

#include <QPointer>

#include <vector>

class QMainWindow;
class QStatusBar;
class QWidget;

namespace tracely {

// A QMainWindow as the elastic layout's form. Twips come from the screen's logical DPI (1440 to
// the inch). The window's height, as read and set here, is its client area below the menu bar
// plus the 400 twips of title bar and frame that the layout leaves unscaled: window managers
// draw anything from no decoration at all to a tall title bar, so the allowance is fixed and
// exactly the client area scales.
//
// The controls are the central widget's, depth first in the order they were created (a plain
// container or group box and then its contents), followed by the status bar. The status bar
// stays docked along the window's foot: it takes a height and a font size, and refuses a top,
// left or width. Knobs, slides and graphs size their lettering from their own geometry, so they
// have no font size here.
class ElasticWindow : public ElasticForm {
public:
    explicit ElasticWindow(QMainWindow& window) : window_(window) {}

    // The panel as designed: laid out once by its Qt layouts at the window's present size, then
    // the layouts are taken away and the controls are collected, so that from now on only the
    // elastic layout places them. Once; later calls do nothing.
    void fixDesign();
    bool designFixed() const { return fixed_; }
    QWidget* control(int index) const;
    double twipsPerPixelX() const;
    double twipsPerPixelY() const;

    int controlCount() const override { return static_cast<int>(controls_.size()); }
    bool isLine(int) const override { return false; }
    std::optional<double> property(int index, Property p) const override;
    bool setProperty(int index, Property p, std::int32_t value) override;

    State windowState() const override;
    double height() const override;
    double width() const override;
    bool setHeight(std::int32_t twips) override;
    bool setWidth(std::int32_t twips) override;
    double screenHeight() const override;
    double screenWidth() const override;

    // Qt repaints from the widgets' own drawing: the setting is kept but changes nothing.
    bool autoRedraw() const override { return autoRedraw_; }
    void setAutoRedraw(bool on) override { autoRedraw_ = on; }

private:
    QStatusBar* statusBar() const;
    bool docked(const QWidget* w) const;
    int chromeHeight() const; // menu and docked bars, in pixels

    QMainWindow& window_;
    std::vector<QPointer<QWidget>> controls_;
    bool fixed_ = false;
    bool autoRedraw_ = false;
};

} // namespace tracely

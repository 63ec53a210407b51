#pragma once

#include "src/core/front_panel_state.h"
#include "src/panel/front_panel.h"
#include "src/ui/link_status.h"

#include <QHash>
#include <QObject>
#include <QString>

#include <functional>

class QLabel;
class QWidget;

namespace tracely {

// Keyboard shortcuts of the frequent actions, shown in the tooltips.
namespace keys {
inline constexpr const char* kAcquire = "F5";
inline constexpr const char* kStore = "F6";
inline constexpr const char* kRepeat = "F7";
inline constexpr const char* kCursors = "F8";
inline constexpr const char* kHelp = "F1";
} // namespace keys

// The panel in words: each control's accessible name (its role and what it shows now), its
// tooltip (what it does, its value in units, its shortcut), the units beside the scale and
// level knobs and on the graphs' second axes, D0..D7 on the logic graph, and a status banner
// over the analog graph. Reads the shared state; changes nothing of it.
class PanelWords : public QObject {
    Q_OBJECT
public:
    PanelWords(const FrontPanelState& state, const FrontPanel& panel, QWidget* window);

    LinkStatus& status() { return status_; }
    // Shows the status's words on the banner and tells assistive technology.
    void statusChanged();
    // The COND lamp took a colour.
    void lampChanged(bool lit, quint32 colour);
    // The cursor readout took a new text.
    void readoutChanged();

    // Units on the captions and tooltips, for the panel as it is now; runs once per event-loop
    // turn however many controls changed.
    void scheduleRefresh();
    void refresh();

    QLabel* banner() const { return banner_; }
    // Tooltip text of a control: what it does, its state, its shortcut.
    QString toolTipFor(const QWidget* control) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Properties a control carries for its tooltip.
    static constexpr const char* kWhat = "whatItDoes";
    static constexpr const char* kShortcut = "shortcutKey";

    void describeChannel(bool a);
    void describeInputs(); // the primary channel and the analog input source
    void describeTimeAndPan();
    void describeTriggerControls();
    void describeCapture();
    void describeStatusBar();
    void describeGraphs();
    void explain(QWidget* control, const QString& what, const char* shortcut = nullptr);
    void watchChanges();
    void placeBanner();
    void showAxisUnits();
    // Tells assistive technology about `control` when its name differs from the last told.
    void announceIfChanged(QWidget* control);

    QString voltsPerDiv(bool a) const;
    QString secondsPerDiv() const;
    QString levelText() const;
    QString offsetText(bool a) const;

    const FrontPanelState& s_;
    FrontPanel p_;
    QWidget* window_;
    LinkStatus status_;
    QLabel* banner_ = nullptr;
    bool lampLit_ = false;
    quint32 lampColour_ = 0;
    bool refreshQueued_ = false;
    QHash<const QWidget*, QString> told_; // the name each control last announced
};

} // namespace tracely

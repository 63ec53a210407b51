#include "src/ui/panel_words.h"

#include "src/display/units.h"
#include "src/widgets/described.h"
#include "src/widgets/graph.h"
#include "src/widgets/identify.h"
#include "src/widgets/keyed_status_bar.h"
#include "src/widgets/knob.h"
#include "src/widgets/slide.h"
#include "src/widgets/two_state_button.h"
#include "src/widgets/unit_ticker.h"

#include <QCheckBox>
#include <QEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

namespace tracely {

using widgets::describe;
using widgets::TwoStateButton;

namespace {

QString u(const std::string& s) {
    return QString::fromStdString(s);
}

} // namespace

PanelWords::PanelWords(const FrontPanelState& state, const FrontPanel& panel, QWidget* window)
    : QObject(window), s_(state), p_(panel), window_(window) {
    banner_ = new QLabel(p_.CWGraph1);
    widgets::identify(banner_, QStringLiteral("lblInstrumentStatus"),
                      QStringLiteral("instrument status"));
    banner_->setAttribute(Qt::WA_TransparentForMouseEvents);
    banner_->setAlignment(Qt::AlignCenter);
    banner_->setStyleSheet(
        QStringLiteral("QLabel { background: rgba(20, 28, 34, 215); color: rgb(255, 221, 51);"
                       " border: 1px solid rgb(110, 120, 130); padding: 3px 10px; }"));
    banner_->setWordWrap(true);
    describe(banner_, [this] {
        const QString why = status_.explanation();
        return why.isEmpty() ? status_.headline() : status_.headline() + QStringLiteral("; ") + why;
    });
    p_.CWGraph1->installEventFilter(this);

    describeChannel(true);
    describeChannel(false);
    describeInputs();
    describeTimeAndPan();
    describeTriggerControls();
    describeCapture();
    describeStatusBar();
    describeGraphs();
    showAxisUnits();
    watchChanges();
    statusChanged();
    refresh();
}

void PanelWords::watchChanges() {
    using widgets::Knob;
    using widgets::Slide;
    for (Knob* k : {p_.CWKChaLvl, p_.CWKChbLvl, p_.CWKTimeRange, p_.CWKTrigLvl, p_.CWKPan}) {
        connect(k, &Knob::valueChanged, this, &PanelWords::scheduleRefresh);
    }
    for (Slide* s : {p_.CWSCHaOffset, p_.CWSCHbOffset, p_.CWSPan}) {
        connect(s, &Slide::valueChanged, this, &PanelWords::scheduleRefresh);
    }
    for (TwoStateButton* b : {p_.CWBCHAx10, p_.CWBCHBx10, p_.CWBPriChan, p_.CWBCHAInv, p_.CWBCHBInv,
                              p_.CWBCHaEnable, p_.CWBCHbEnable, p_.CWBSampleMode, p_.CWBCursors}) {
        connect(b, &TwoStateButton::valueChanged, this, &PanelWords::scheduleRefresh);
    }
    for (QAbstractButton* b :
         {static_cast<QAbstractButton*>(p_.chkAsource),
          static_cast<QAbstractButton*>(p_.chkTrigSource),
          static_cast<QAbstractButton*>(p_.optTrigRE), static_cast<QAbstractButton*>(p_.optTrigFE),
          static_cast<QAbstractButton*>(p_.optTrigLVL)}) {
        connect(b, &QAbstractButton::toggled, this, &PanelWords::scheduleRefresh);
    }
    for (QPushButton* b : p_.cmdTrigB) {
        connect(b, &QPushButton::clicked, this, &PanelWords::scheduleRefresh);
    }
}

void PanelWords::scheduleRefresh() {
    if (!std::exchange(refreshQueued_, true)) {
        QTimer::singleShot(0, this, [this] {
            refreshQueued_ = false;
            refresh();
        });
    }
}

void PanelWords::refresh() {
    const auto setCaption = [this](const char* id, const QString& title, const QString& value) {
        if (auto* l = window_->findChild<QLabel*>(QString::fromLatin1(id))) {
            // The value in the regular weight: it must fit the knob's column.
            l->setText(title + QStringLiteral("<br><span style=\"font-weight:normal\">") +
                       value.toHtmlEscaped() + QStringLiteral("</span>"));
            l->setAccessibleName(title + QStringLiteral(": ") + value);
        }
    };
    setCaption("lblBScaleA", QStringLiteral("V-SCALE"), voltsPerDiv(true));
    setCaption("lblBScaleB", QStringLiteral("V-SCALE"), voltsPerDiv(false));
    setCaption("lblHScale", QStringLiteral("H-SCALE"), secondsPerDiv());
    setCaption("lblLevel", QStringLiteral("LEVEL"), levelText());
    for (QWidget* w : window_->findChildren<QWidget*>()) {
        if (w->property(kWhat).isValid() && w != p_.CWBTrigLed) {
            w->setToolTip(toolTipFor(w));
            announceIfChanged(w);
        }
    }
    p_.CWGraph1->redraw();
    p_.CWGLogic->redraw();
}

QString PanelWords::toolTipFor(const QWidget* control) const {
    QString tip = control->property(kWhat).toString();
    if (const auto* d = widgets::describerOf(control); d && !d->state().isEmpty()) {
        tip += QStringLiteral("\nNow: ") + d->state();
    }
    const QString key = control->property(kShortcut).toString();
    if (!key.isEmpty()) {
        tip += QStringLiteral("\nShortcut: ") + key;
    }
    return tip;
}

bool PanelWords::eventFilter(QObject* watched, QEvent* event) {
    if (watched == p_.CWGraph1 && event->type() == QEvent::Resize) {
        placeBanner();
    } else if (event->type() == QEvent::ToolTip) {
        // Whatever changed since the last refresh (a lamp, the readout) shows as it is now.
        if (auto* w = qobject_cast<QWidget*>(watched); w && w->property(kWhat).isValid()) {
            if (w == p_.CWBTrigLed) {
                w->setToolTip(toolTipFor(w) + QStringLiteral("\n\n") +
                              w->property("healthText").toString());
            } else {
                w->setToolTip(toolTipFor(w));
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

void PanelWords::statusChanged() {
    const QString why = status_.explanation();
    banner_->setText(why.isEmpty() ? status_.headline()
                                   : status_.headline() + QLatin1Char('\n') + why);
    banner_->setToolTip(status_.detail());
    banner_->setVisible(status_.worthShowing());
    placeBanner();
    announceIfChanged(banner_);
    announceIfChanged(p_.cmdCapture);
}

void PanelWords::lampChanged(bool on, quint32 colour) {
    lampLit_ = on;
    lampColour_ = colour;
    announceIfChanged(p_.CWBTrigLed);
}

void PanelWords::readoutChanged() {
    announceIfChanged(p_.lblCursorData);
}

void PanelWords::announceIfChanged(QWidget* control) {
    const QString name = widgets::describedName(control);
    auto it = told_.find(control);
    if (it == told_.end()) {
        told_.insert(control, name); // the first look is no change
        return;
    }
    if (*it != name) {
        *it = name;
        widgets::announce(control);
    }
}

void PanelWords::placeBanner() {
    const QWidget* g = p_.CWGraph1;
    // As wide as its longest line, no wider than the screen; long lines wrap.
    const int w =
        std::min(banner_->fontMetrics().boundingRect(QRect(), 0, banner_->text()).width() + 24,
                 std::max(g->width() - 16, 20));
    banner_->setGeometry((g->width() - w) / 2, 24, w, banner_->heightForWidth(w));
    banner_->raise();
}

void PanelWords::showAxisUnits() {
    // Beside the divisions: the primary channel's volts on the right, the time from the
    // trigger along the top.
    widgets::showSecondaryLabels(p_.CWGraph1, Qt::Vertical, [this](double y) {
        const bool b = p_.CWBPriChan->value();
        return u(
            units::withPrefix(units::voltsAtDivision(y, b ? s_.sngCHbScale : s_.sngCHaScale,
                                                     b ? s_.sngCHbOffset : s_.sngCHaOffset,
                                                     (b ? p_.CWBCHBInv : p_.CWBCHAInv)->value()),
                              "V"));
    });
    widgets::showSecondaryLabels(p_.CWGraph1, Qt::Horizontal, [this](double x) {
        return u(
            units::withPrefix(units::secondsFromTrigger(x, s_.sngTrigPos, s_.lngTimeScale), "s"));
    });
    widgets::thinMainLabels(p_.CWGraph1);
    widgets::showLineNames(p_.CWGLogic);
    widgets::thinMainLabels(p_.CWGLogic);
}

QString PanelWords::voltsPerDiv(bool a) const {
    return u(units::withPrefix(units::voltsPerDivision(a ? s_.sngCHaScale : s_.sngCHbScale), "V")) +
           QStringLiteral("/div");
}

QString PanelWords::secondsPerDiv() const {
    return u(units::withPrefix(units::secondsPerDivision(s_.lngTimeScale), "s")) +
           QStringLiteral("/div");
}

QString PanelWords::levelText() const {
    if (p_.chkTrigSource->isChecked()) {
        return QStringLiteral("logic word");
    }
    const bool b = p_.CWBPriChan->value();
    const int d = units::levelDistance(p_.optTrigLVL->isChecked(), p_.CWKTrigLvl->value(),
                                       s_.bytREG_R5, s_.bytREG_R6);
    return u(units::withPrefix(units::levelVolts(d, b ? s_.sngCHbAdj : s_.sngCHaAdj), "V")) +
           QStringLiteral(" (CH %1)").arg(b ? QLatin1Char('B') : QLatin1Char('A'));
}

QString PanelWords::offsetText(bool a) const {
    const float offset = a ? s_.sngCHaOffset : s_.sngCHbOffset;
    const double volts =
        -units::voltsAtDivision(0.0, a ? s_.sngCHaScale : s_.sngCHbScale, offset, false);
    return QStringLiteral("%1 div (%2)").arg(offset).arg(u(units::withPrefix(volts, "V")));
}

} // namespace tracely

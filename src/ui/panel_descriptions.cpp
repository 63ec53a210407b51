// What each control of the panel is called and says, and what its tooltip explains.
#include "src/ui/panel_words.h"

#include "src/display/units.h"
#include "src/instrument/status_texts.h"
#include "src/widgets/described.h"
#include "src/widgets/graph.h"
#include "src/widgets/keyed_status_bar.h"
#include "src/widgets/knob.h"
#include "src/widgets/slide.h"
#include "src/widgets/two_state_button.h"

#include <QCheckBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>

namespace tracely {

using widgets::describe;
using widgets::TwoStateButton;

namespace {

QString u(const std::string& s) {
    return QString::fromStdString(s);
}

QString onOff(const TwoStateButton* b) {
    return b->value() ? QStringLiteral("on") : QStringLiteral("off");
}

QString lit(const TwoStateButton* b) {
    return b->value() ? QStringLiteral("lit") : QStringLiteral("off");
}

QString caption(const QAbstractButton* b) {
    return QString(b->text()).remove(QLatin1Char('&'));
}

QString selected(const QRadioButton* b) {
    return caption(b) +
           (b->isChecked() ? QStringLiteral(", selected") : QStringLiteral(", not selected"));
}

} // namespace

void PanelWords::explain(QWidget* control, const QString& what, const char* shortcut) {
    control->setProperty(kWhat, what);
    if (shortcut != nullptr) {
        control->setProperty(kShortcut, QString::fromLatin1(shortcut));
    }
    control->installEventFilter(this);
}

void PanelWords::describeChannel(bool a) {
    const QString ch = a ? QStringLiteral("CH A") : QStringLiteral("CH B");
    TwoStateButton* enable = a ? p_.CWBCHaEnable : p_.CWBCHbEnable;
    TwoStateButton* led = a ? p_.CWChaLed : p_.CWChbLed;
    widgets::Knob* knob = a ? p_.CWKChaLvl : p_.CWKChbLvl;
    TwoStateButton* x10 = a ? p_.CWBCHAx10 : p_.CWBCHBx10;
    TwoStateButton* x10Led = a ? p_.CWBCHAx10Led : p_.CWBCHBx10Led;
    TwoStateButton* inv = a ? p_.CWBCHAInv : p_.CWBCHBInv;
    TwoStateButton* invLed = a ? p_.CWBCHAInvLed : p_.CWBCHBInvLed;
    widgets::Slide* offset = a ? p_.CWSCHaOffset : p_.CWSCHbOffset;
    TwoStateButton* cal = a ? p_.CWBCHaCal : p_.CWBCHbCal;
    TwoStateButton* calLed = a ? p_.CWBChaCalLed : p_.CWBChbCalLed;

    describe(enable, ch + QStringLiteral(" enable"), [enable] { return onOff(enable); });
    explain(enable,
            QStringLiteral("Shows %1; switching it on switches the other channel off.").arg(ch));
    describe(led, ch + QStringLiteral(" lamp"), [led] { return lit(led); });
    explain(led, QStringLiteral("Lit while %1 is shown.").arg(ch));
    describe(knob, ch + QStringLiteral(" volts per division"),
             [this, a] { return voltsPerDiv(a); });
    explain(knob, QStringLiteral("Volts per division of %1 (V-SCALE); the labels follow the x10 "
                                 "probe and the BNC/POD input.")
                      .arg(ch));
    describe(x10, ch + QStringLiteral(" x10 probe"), [x10] {
        return onOff(x10) + (x10->isEnabled() ? QString() : QStringLiteral(", not with POD input"));
    });
    explain(
        x10,
        QStringLiteral("On when a x10 probe is on %1: the volts read ten times larger.").arg(ch));
    describe(x10Led, ch + QStringLiteral(" x10 lamp"), [x10Led] { return lit(x10Led); });
    explain(x10Led, QStringLiteral("Lit while %1 reads as through a x10 probe.").arg(ch));
    describe(inv, ch + QStringLiteral(" invert"), [inv] { return onOff(inv); });
    explain(inv, QStringLiteral("Draws %1 upside down.").arg(ch));
    describe(invLed, ch + QStringLiteral(" invert lamp"), [invLed] { return lit(invLed); });
    explain(invLed, QStringLiteral("Lit while %1 is drawn upside down.").arg(ch));
    describe(offset, ch + QStringLiteral(" offset"), [this, a] { return offsetText(a); });
    explain(offset, QStringLiteral("Moves %1 up or down on the screen, in divisions.").arg(ch));
    describe(cal, ch + QStringLiteral(" CAL"), [this, a] { return offsetText(a); });
    explain(cal, QStringLiteral("Puts the %1 offset back to 0.").arg(ch));
    describe(calLed, ch + QStringLiteral(" offset lamp"), [calLed] { return lit(calLed); });
    explain(calLed, QStringLiteral("Lit while %1 has an offset.").arg(ch));
}

void PanelWords::describeInputs() {
    describe(p_.CWBPriChan, QStringLiteral("primary channel"),
             [this] { return p_.CWBPriChan->value() ? QStringLiteral("B") : QStringLiteral("A"); });
    explain(p_.CWBPriChan, QStringLiteral("The channel the analog trigger and the cursor voltages "
                                          "refer to: off A, on B."));
    describe(p_.chkAsource, QStringLiteral("analog input source"),
             [this] { return caption(p_.chkAsource); });
    explain(p_.chkAsource, QStringLiteral("BNC: the two BNC sockets; POD: the analog lines of the "
                                          "pod (x10 not available)."));
}

void PanelWords::describeTimeAndPan() {
    describe(p_.CWKTimeRange, QStringLiteral("time per division"),
             [this] { return secondsPerDiv(); });
    explain(p_.CWKTimeRange, QStringLiteral("Seconds per division (H-SCALE), 1 ns to 5 ms. Which "
                                            "sample rate suits it is set in MENU, Options."));
    describe(p_.CWKPan, QStringLiteral("pan"), [this] {
        return QStringLiteral("window from %1 div").arg(s_.varPanStart, 0, 'g', 6);
    });
    explain(p_.CWKPan, QStringLiteral("Turn to move the window a quarter division at a time."));
    describe(p_.CWSPan, QStringLiteral("pan slide"), [this] {
        const double from =
            units::secondsFromTrigger(s_.varPanStart, s_.sngTrigPos, s_.lngTimeScale);
        const double to =
            units::secondsFromTrigger(s_.varPanStart + 10, s_.sngTrigPos, s_.lngTimeScale);
        return QStringLiteral("%1 to %2 from the trigger")
            .arg(u(units::withPrefix(from, "s")), u(units::withPrefix(to, "s")));
    });
    explain(p_.CWSPan,
            QStringLiteral("Moves the window over the capture, as far as it has points."));
    describe(p_.CWBRePan, QStringLiteral("pan reset"), [this] {
        return s_.varPanStart == 0.0 ? QStringLiteral("at the start window")
                                     : QStringLiteral("window moved");
    });
    explain(p_.CWBRePan,
            QStringLiteral("Brings the window back to 0 to 10 divisions, the trigger in view."));
    describe(p_.CWBPanLED, QStringLiteral("pan lamp"), [this] { return lit(p_.CWBPanLED); });
    explain(p_.CWBPanLED, QStringLiteral("Lit while the pan knob is held."));
}

void PanelWords::describeTriggerControls() {
    describe(p_.CWSTrigInd, QStringLiteral("trigger level and zero markers"), [this] {
        QString text = QStringLiteral("CH A zero at %1 div, CH B zero at %2 div")
                           .arg(p_.CWSCHaOffset->value())
                           .arg(p_.CWSCHbOffset->value());
        if (!p_.chkTrigSource->isChecked()) {
            text.prepend(QStringLiteral("trigger level %1, ").arg(levelText()));
        }
        return text;
    });
    explain(p_.CWSTrigInd, QStringLiteral("Shows where the trigger level (red) and each channel's "
                                          "0 V line lie on the screen."));

    describe(p_.chkTrigSource, QStringLiteral("trigger source"),
             [this] { return caption(p_.chkTrigSource); });
    explain(p_.chkTrigSource, QStringLiteral("A: trigger on the primary channel's voltage; D: on "
                                             "a word of the eight logic lines."));
    describe(p_.optTrigRE, QStringLiteral("rising edge"),
             [this] { return selected(p_.optTrigRE); });
    explain(p_.optTrigRE, QStringLiteral("Analog (+): trigger as the voltage rises through the "
                                         "level. Logic (F=>T): as the word becomes true."));
    describe(p_.optTrigFE, QStringLiteral("falling edge"),
             [this] { return selected(p_.optTrigFE); });
    explain(p_.optTrigFE, QStringLiteral("Analog (-): trigger as the voltage falls through the "
                                         "level. Logic (T=>F): as the word stops being true."));
    describe(p_.optTrigLVL, QStringLiteral("level"), [this] { return selected(p_.optTrigLVL); });
    explain(p_.optTrigLVL, QStringLiteral("Analog (Level): trigger while the voltage is at the "
                                          "level. Logic (<=>): while the word is true."));
    describe(p_.CWKTrigLvl, QStringLiteral("trigger level"), [this] { return levelText(); });
    explain(p_.CWKTrigLvl,
            QStringLiteral("The analog trigger level, in volts of the primary channel."));
    for (int bit = 0; bit < 8; ++bit) {
        QPushButton* b = p_.cmdTrigB[static_cast<std::size_t>(bit)];
        describe(b, QStringLiteral("trigger word bit %1").arg(bit), [b] { return caption(b); });
        explain(b, QStringLiteral("Logic line D%1 in the trigger word: click for 1, 0 or X "
                                  "(don't care).")
                       .arg(bit));
    }
}

void PanelWords::describeCapture() {
    describe(p_.cmdCapture, QStringLiteral("acquire button"),
             [this] { return status_.headline(); });
    explain(p_.cmdCapture,
            QStringLiteral("Asks the instrument for a trace (searching for it "
                           "first when needed)."),
            keys::kAcquire);
    describe(p_.cmdStore, QStringLiteral("store button"), [this] {
        return s_.blnStored ? QStringLiteral("display frozen") : QStringLiteral("display live");
    });
    explain(p_.cmdStore,
            QStringLiteral("Freezes the display: captures are no longer drawn until "
                           "the next Acquire."),
            keys::kStore);
    describe(p_.CWBSampleMode, QStringLiteral("sample mode"), [this] {
        return p_.CWBSampleMode->value() ? QStringLiteral("repeat") : QStringLiteral("single");
    });
    explain(p_.CWBSampleMode,
            QStringLiteral("S: one trace per Acquire. R: repeat, a new trace as "
                           "soon as one is drawn."),
            keys::kRepeat);
    describe(p_.CWBTrigLed, QStringLiteral("COND lamp"),
             [this] { return lampWords(lampLit_, lampColour_); });
    explain(p_.CWBTrigLed, QStringLiteral("Yellow: waiting for the trigger. Blue: receiving the "
                                          "capture. Red: communication error. Off: idle."));
    describe(p_.CWBCursors, QStringLiteral("cursors"), [this] { return onOff(p_.CWBCursors); });
    explain(p_.CWBCursors,
            QStringLiteral("Shows two cursors to drag; the readout beside gives "
                           "time, voltage or frequency (MENU, Options)."),
            keys::kCursors);
    describe(p_.lblCursorData, QStringLiteral("cursor readout"), [this] {
        const QString t = p_.lblCursorData->text();
        return t.isEmpty() ? QStringLiteral("none") : t;
    });
    explain(p_.lblCursorData, QStringLiteral("The measurement between the two cursors."));
    describe(p_.CWBMenu, QStringLiteral("menu button"),
             [] { return QStringLiteral("opens Options"); });
    explain(p_.CWBMenu, QStringLiteral("Opens the Options dialog: sample rate, trigger position, "
                                       "cursors, display, serial port."));
    describe(p_.CWBHelp, QStringLiteral("help button"),
             [] { return QStringLiteral("opens the manual"); });
    explain(p_.CWBHelp, QStringLiteral("Opens the manual beside the panel."), keys::kHelp);
}

void PanelWords::describeStatusBar() {
    static const struct {
        const char* key;
        const char* role;
    } kPanels[] = {{status::kFirmware, "firmware"},         {status::kBaudRate, "line speed"},
                   {status::kComPort, "serial port"},       {status::kSampleRate, "sample rate"},
                   {status::kCursorData, "cursor channel"}, {status::kLink, "link status"}};
    for (const auto& panel : kPanels) {
        if (QLabel* l = p_.StatusBar1->panel(QString::fromLatin1(panel.key))) {
            describe(l, QString::fromLatin1(panel.role), [l] { return l->text(); });
        }
    }
    describe(p_.prgDump, QStringLiteral("dump progress"), [this] {
        return p_.prgDump->isVisible() ? QStringLiteral("%1 of %2 blocks")
                                             .arg(p_.prgDump->value())
                                             .arg(p_.prgDump->maximum())
                                       : QStringLiteral("idle");
    });
    explain(p_.prgDump, QStringLiteral("How far a long capture has come on the line."));
}

// The screens get words but no tooltip: one would pop up over the traces whenever the pointer
// rests there to read them.
void PanelWords::describeGraphs() {
    const auto window = [this] {
        const double from =
            units::secondsFromTrigger(s_.varPanStart, s_.sngTrigPos, s_.lngTimeScale);
        const double to =
            units::secondsFromTrigger(s_.varPanStart + 10, s_.sngTrigPos, s_.lngTimeScale);
        return QStringLiteral("%1 to %2 from the trigger")
            .arg(u(units::withPrefix(from, "s")), u(units::withPrefix(to, "s")));
    };
    describe(p_.CWGraph1, QStringLiteral("analog graph"), [this, window] {
        QStringList shown;
        for (bool a : {true, false}) {
            if ((a ? p_.CWBCHaEnable : p_.CWBCHbEnable)->value()) {
                shown << QStringLiteral("CH %1 at %2")
                             .arg(QLatin1Char(a ? 'A' : 'B'))
                             .arg(voltsPerDiv(a));
            }
        }
        const QString traces =
            shown.isEmpty() ? QStringLiteral("no channel") : shown.join(QStringLiteral(", "));
        return traces + QStringLiteral(", ") + secondsPerDiv() + QStringLiteral(", ") + window() +
               (s_.blnCaptureDone ? QString() : QStringLiteral(", no capture yet"));
    });
    describe(p_.CWGLogic, QStringLiteral("logic graph"), [this, window] {
        return QStringLiteral("lines D0 to D7, ") + window() +
               (s_.blnCaptureDone ? QString() : QStringLiteral(", no capture yet"));
    });
}

} // namespace tracely

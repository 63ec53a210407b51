#include "src/panel/controls.h"

#include "src/core/front_panel_state.h"
#include "src/core/panel_routines.h"
#include "src/instrument/registers.h"
#include "src/instrument/status_texts.h"
#include "src/widgets/graph.h"
#include "src/widgets/keyed_status_bar.h"
#include "src/widgets/slide.h"
#include "src/widgets/two_state_button.h"

#include <QCheckBox>

namespace tracely {

using widgets::TwoStateButton;

namespace {
Channel otherOf(Channel ch) {
    return ch == Channel::A ? Channel::B : Channel::A;
}
} // namespace

void Controls::setChannelScale(Channel ch) {
    if (ch == Channel::A) {
        display_->SetCHaScale();
    } else {
        display_->SetCHbScale();
    }
}

void Controls::hideTrigPlot() {
    p_.CWGraph1->setPlotVisible("Trig", false);
}

void Controls::channelEnableChanged(Channel ch, bool on) {
    const ChannelWidgets w = widgetsOf(ch);
    const ChannelWidgets other = widgetsOf(otherOf(ch));
    // The primary-channel button is on when channel B is primary.
    const bool thisIsPrimary = ch == Channel::B;
    if (on) {
        w.x10->setEnabled(true);
        w.led->setValue(true);
        p_.CWSTrigInd->setPointerVisible(w.zero, true);
        if (!other.enable->value()) {
            p_.CWBPriChan->setValue(thisIsPrimary);
            s_.strCursorsOn = w.cursor;
        }
        // Only one channel is on at a time; the other's handler follows its LED and marker.
        other.enable->setValue(false);
    } else {
        w.led->setValue(false);
        p_.CWSTrigInd->setPointerVisible(w.zero, false);
        p_.CWGraph1->clearPlot(w.plot);
        if (other.enable->value()) {
            p_.CWBPriChan->setValue(!thisIsPrimary);
            s_.strCursorsOn = other.cursor;
        }
    }
    p_.StatusBar1->setPanelText(QString::fromLatin1(status::kCursorData),
                                QString::fromStdString(status::cursorsOnText(s_.strCursorsOn)));
    setChannelScale(ch);
    // Channel B's own handler leaves the redraw to the handler that switched it.
    if (ch == Channel::A) {
        display_->PlotAnalog();
    }
    PlaceMarkers();
    hideTrigPlot();
}

void Controls::primaryChannelChanged() {
    TwoStateButton* button = p_.CWBPriChan;
    const auto aOn = [this] { return p_.CWBCHaEnable->value(); };
    const auto bOn = [this] { return p_.CWBCHbEnable->value(); };
    // The primary channel must be an enabled one when only one is. Setting the button to the
    // value it has raises nothing, so these sets cannot loop.
    if (!button->value()) {
        if (!aOn() && bOn()) {
            button->setValue(true);
            p_.CWGraph1->clearPlot("CHa");
        } else {
            button->setValue(false);
        }
    }
    if (button->value()) {
        if (aOn() && !bOn()) {
            button->setValue(false);
            p_.CWGraph1->clearPlot("CHb");
        } else {
            button->setValue(true);
        }
    }
    s_.bytREG_R14 = regs::computeR14(s_.bytCHaRange, s_.bytCHbRange, button->value(), aOn(), bOn());
    s_.bytREG_R8 = static_cast<std::uint8_t>(s_.bytREG_R8 | regs::kR8Bit0);
    PlaceMarkers();
    hideTrigPlot();
}

void Controls::voltsPerDivChanged(Channel ch) {
    setChannelScale(ch);
    display_->PlotAnalog();
    PlaceMarkers();
}

void Controls::x10Changed(Channel ch) {
    const ChannelWidgets w = widgetsOf(ch);
    w.x10Led->setValue(w.x10->value());
    setChannelScale(ch);
    display_->PlotAnalog();
}

void Controls::invertChanged(Channel ch, bool on) {
    // The plots and the markers apply the inversion; the LED only shows it.
    widgetsOf(ch).invLed->setValue(on);
    display_->PlotAnalog();
    PlaceMarkers();
}

void Controls::offsetChanged(Channel ch, int /*pointerIndex*/, double value) {
    const ChannelWidgets w = widgetsOf(ch);
    float& offset = ch == Channel::A ? s_.sngCHaOffset : s_.sngCHbOffset;
    offset = static_cast<float>(w.offset->value()); // the slide keeps it finite and in range
    w.calLed->setValue(value != 0.0);
    display_->PlotAnalog();
    PlaceMarkers();
}

void Controls::calPressed(Channel ch) {
    widgetsOf(ch).offset->setValue(0.0);
    setChannelScale(ch);
    display_->PlotAnalog();
}

void Controls::analogSourceChanged() {
    const bool pod = p_.chkAsource->isChecked();
    p_.chkAsource->setText(pod ? QStringLiteral("POD") : QStringLiteral("BNC"));
    s_.bytREG_R7 = regs::withAnalogSource(s_.bytREG_R7, pod);
    // The pod has no x10 probe; on the BNC the buttons come back as they were left.
    p_.CWBCHAx10->setEnabled(!pod);
    p_.CWBCHBx10->setEnabled(!pod);
    if (pod) {
        p_.CWBCHAx10->setValue(false);
        p_.CWBCHBx10->setValue(false);
    }
    display_->SetCHaScale();
    display_->SetCHbScale();
}

} // namespace tracely

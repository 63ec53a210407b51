#include "src/panel/controls.h"

#include "src/core/front_panel_state.h"
#include "src/core/panel_routines.h"
#include "src/widgets/knob.h"
#include "src/widgets/slide.h"
#include "src/widgets/two_state_button.h"

#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>

namespace tracely {

using widgets::Knob;
using widgets::Slide;
using widgets::TwoStateButton;

Controls::Controls(FrontPanelState& state, const FrontPanel& panel, QObject* parent)
    : QObject(parent), s_(state), p_(panel) {}

void Controls::connectPeers(DisplayRoutines& display, LinkRoutines& link) {
    display_ = &display;
    link_ = &link;
}

Controls::ChannelWidgets Controls::widgetsOf(Channel ch) const {
    if (ch == Channel::A) {
        return {p_.CWBCHaEnable, p_.CWChaLed,     p_.CWKChaLvl,    p_.CWBCHAx10, p_.CWBCHAx10Led,
                p_.CWBCHAInv,    p_.CWBCHAInvLed, p_.CWSCHaOffset, p_.CWBCHaCal, p_.CWBChaCalLed,
                "CHa",           "CHa_Zero",      "CH A"};
    }
    return {p_.CWBCHbEnable, p_.CWChbLed,     p_.CWKChbLvl,    p_.CWBCHBx10, p_.CWBCHBx10Led,
            p_.CWBCHBInv,    p_.CWBCHBInvLed, p_.CWSCHbOffset, p_.CWBCHbCal, p_.CWBChbCalLed,
            "CHb",           "CHb_Zero",      "CH B"};
}

Controls::Batch::~Batch() {
    if (--c_.depth_ == 0 && c_.updatePending_) {
        c_.updatePending_ = false;
        c_.link_->Update();
    }
}

void Controls::requestUpdate() {
    if (!s_.blnArmed) {
        return;
    }
    if (depth_ > 0) {
        updatePending_ = true;
    } else {
        link_->Update();
    }
}

void Controls::connectHandlers() {
    if (connected_) {
        return;
    }
    connected_ = true;
    for (Channel ch : {Channel::A, Channel::B}) {
        const ChannelWidgets w = widgetsOf(ch);
        connect(w.enable, &TwoStateButton::valueChanged, this,
                [this, ch](bool on) { channelEnableChanged(ch, on); });
        connect(w.knob, &Knob::valueChanged, this, [this, ch] { voltsPerDivChanged(ch); });
        connect(w.x10, &TwoStateButton::valueChanged, this, [this, ch] { x10Changed(ch); });
        connect(w.inv, &TwoStateButton::valueChanged, this,
                [this, ch](bool on) { invertChanged(ch, on); });
        connect(w.offset, &Slide::valueChanged, this,
                [this, ch](int index, double v) { offsetChanged(ch, index, v); });
        connect(w.cal, &TwoStateButton::valueChanged, this, [this, ch] { calPressed(ch); });
    }
    connect(p_.CWBPriChan, &TwoStateButton::valueChanged, this,
            [this] { primaryChannelChanged(); });
    connect(p_.chkAsource, &QCheckBox::toggled, this, [this] { analogSourceChanged(); });

    connect(p_.chkTrigSource, &QCheckBox::toggled, this, [this] { trigSourceChanged(); });
    for (int n = 0; n < 8; ++n) {
        connect(p_.cmdTrigB[static_cast<std::size_t>(n)], &QPushButton::clicked, this,
                [this, n] { CycleTrigBit(n); });
    }
    // Only the button becoming selected runs a mode handler; the one losing the selection
    // signals too and must not.
    const auto whenSelected = [this](QRadioButton* b, void (Controls::*handler)()) {
        connect(b, &QRadioButton::toggled, this, [this, handler](bool on) {
            if (on) {
                (this->*handler)();
            }
        });
    };
    whenSelected(p_.optTrigRE, &Controls::edgeModeSelected);
    whenSelected(p_.optTrigFE, &Controls::edgeModeSelected);
    whenSelected(p_.optTrigLVL, &Controls::levelModeSelected);
    connect(p_.CWKTrigLvl, &Knob::valueChanged, this, [this] { trigLevelChanged(); });
}

} // namespace tracely

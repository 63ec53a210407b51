#include "src/panel/controls.h"

#include "src/core/front_panel_state.h"
#include "src/instrument/registers.h"
#include "src/widgets/graph.h"
#include "src/widgets/knob.h"

#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>

namespace tracely {

using widgets::Knob;

namespace {

regs::TriggerRegs triggerRegs(const FrontPanelState& s) {
    return {s.bytREG_R5, s.bytREG_R6, s.bytREG_R7};
}

void store(FrontPanelState& s, const regs::TriggerRegs& r) {
    s.bytREG_R5 = r.r5;
    s.bytREG_R6 = r.r6;
    s.bytREG_R7 = r.r7;
}

// The level knob's scales: sixteen levels for a level trigger, three thresholds for an edge.
constexpr double kLevelMin = 16, kLevelMax = 240, kLevelStep = 16, kLevelDefault = 16;
constexpr double kEdgeMin = 64, kEdgeMax = 192, kEdgeStep = 64, kEdgeMid = 128;

} // namespace

void Controls::setSourceCaptions(bool logic) {
    p_.chkTrigSource->setText(logic ? QStringLiteral("D") : QStringLiteral("A"));
    p_.optTrigRE->setText(logic ? QStringLiteral("F=>T") : QStringLiteral("+"));
    p_.optTrigFE->setText(logic ? QStringLiteral("T=>F") : QStringLiteral("-"));
    p_.optTrigLVL->setText(logic ? QStringLiteral("<=>") : QStringLiteral("Level"));
}

void Controls::setWordButtonsEnabled(bool on) {
    for (QPushButton* b : p_.cmdTrigB) {
        b->setEnabled(on);
    }
}

void Controls::trigSourceChanged() {
    Batch batch(*this);
    const bool logic = p_.chkTrigSource->isChecked();
    Knob* knob = p_.CWKTrigLvl;

    knob->setValue(0.0); // clamps to the bottom of the knob's scale
    for (QPushButton* b : p_.cmdTrigB) {
        b->setText(QStringLiteral("X"));
    }
    const bool wasLevel = p_.optTrigLVL->isChecked();
    p_.optTrigLVL->setChecked(true); // runs the level handler when it was not selected
    p_.optTrigRE->setChecked(false);
    p_.optTrigFE->setChecked(false);
    // Level mode chosen while the source was logic left the knob on the edge scale: put it
    // back on the level scale, as choosing level on the analog source does.
    if (wasLevel && !logic) {
        setLevelKnobScale();
    }

    if (logic) {
        store(s_, regs::switchTrigSource(triggerRegs(s_), true));
        setSourceCaptions(true);
        knob->setEnabled(false);
        knob->setValue(0.0);
        setWordButtonsEnabled(true);
        p_.optTrigRE->setEnabled(false);
        p_.optTrigFE->setEnabled(false);
        hideTrigPlot();
    } else {
        store(s_, regs::switchTrigSource(triggerRegs(s_), false));
        setSourceCaptions(false);
        knob->setEnabled(true);
        setWordButtonsEnabled(false);
        p_.optTrigRE->setEnabled(true);
        p_.optTrigFE->setEnabled(true);
        SetTrigRegisters();
    }
    PlaceMarkers();
    requestUpdate();
}

void Controls::CycleTrigBit(int n) {
    if (n < 0 || n > 7) {
        return;
    }
    Batch batch(*this);
    QPushButton* button = p_.cmdTrigB[static_cast<std::size_t>(n)];
    const regs::TrigBitStep step =
        regs::cycleTrigBit(triggerRegs(s_), n, button->text().toStdString());
    button->setText(QString::fromStdString(step.caption));
    store(s_, step.regs); // already carries level code 00 when the word became all "X"
    // An edge needs at least one bit to watch.
    p_.optTrigRE->setEnabled(step.edgesEnabled);
    p_.optTrigFE->setEnabled(step.edgesEnabled);
    if (!step.edgesEnabled) {
        p_.optTrigLVL->setChecked(true);
        s_.bytREG_R7 = regs::withTrigCode(s_.bytREG_R7, regs::TrigCode::Level);
    }
    requestUpdate();
}

void Controls::setLevelKnobScale() {
    if (p_.chkTrigSource->isChecked()) {
        return;
    }
    Knob* knob = p_.CWKTrigLvl;
    // Step first: the edge positions 64, 128, 192 lie on the finer grid, so nothing moves
    // on the way.
    knob->setStep(kLevelStep);
    knob->setRange(kLevelMin, kLevelMax);
    if (knob->value() != kEdgeMid) {
        knob->setValue(kLevelDefault);
    }
}

void Controls::edgeModeSelected() {
    Batch batch(*this);
    const bool selected = p_.optTrigRE->isChecked() || p_.optTrigFE->isChecked();
    if (selected && !p_.chkTrigSource->isChecked()) {
        Knob* knob = p_.CWKTrigLvl;
        const double level = knob->value();
        // Range first: on the level grid every value inside 64..192 stays where it is.
        knob->setRange(kEdgeMin, kEdgeMax);
        knob->setStep(kEdgeStep);
        if (level != kEdgeMin && level != kEdgeMid && level != kEdgeMax) {
            knob->setValue(kEdgeMid);
        }
    }
    SetTrigRegisters();
    PlaceMarkers();
}

void Controls::levelModeSelected() {
    Batch batch(*this);
    if (p_.optTrigLVL->isChecked()) {
        setLevelKnobScale();
    }
    SetTrigRegisters();
    PlaceMarkers();
}

void Controls::trigLevelChanged() {
    Batch batch(*this);
    SetTrigRegisters();
    PlaceMarkers();
}

void Controls::SetTrigRegisters() {
    Batch batch(*this);
    const double level = p_.CWKTrigLvl->value();
    const bool analog = !p_.chkTrigSource->isChecked();
    regs::TriggerRegs r = triggerRegs(s_);
    if (p_.optTrigLVL->isChecked()) {
        r = regs::setTrigRegisters(r, regs::TrigMode::Level, analog, level);
    }
    if (p_.optTrigRE->isChecked()) {
        r = regs::setTrigRegisters(r, regs::TrigMode::RisingEdge, analog, level);
    }
    if (p_.optTrigFE->isChecked()) {
        r = regs::setTrigRegisters(r, regs::TrigMode::FallingEdge, analog, level);
    }
    store(s_, r);
    requestUpdate();
}

} // namespace tracely

#include "src/panel/front_panel.h"
#include "src/panel/front_panel_parts.h"

#include "src/instrument/timebase.h"
#include "src/widgets/identify.h"
#include "src/widgets/knob.h"
#include "src/widgets/two_state_button.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

// The timebase, pan, trigger, capture and cursor sections of the front panel.
namespace tracely {

using widgets::Knob;
using widgets::TwoStateButton;

using namespace panel_parts;

namespace {

// The time-range knob, labelled with its time per division, and the pan controls.
void makeTimeAndPan(QWidget* box, FrontPanel& p) {
    p.CWKTimeRange = named(new Knob(box), "CWKTimeRange", QStringLiteral("time per division"));
    p.CWKTimeRange->setRange(1, timebase::kPositions);
    for (int pos = 1; pos <= timebase::kPositions; ++pos) {
        const int i = p.CWKTimeRange->appendLabel();
        p.CWKTimeRange->setLabelText(i, QString::fromLatin1(timebase::timeScaleFor(pos)->label));
        p.CWKTimeRange->setLabelValue(i, pos);
    }
    p.CWKTimeRange->setStep(1);
    p.CWKTimeRange->setMinimumSize(110, 104);

    p.CWKPan = named(new Knob(box), "CWKPan", QStringLiteral("pan"));
    p.CWKPan->setRange(1, 10);
    p.CWKPan->setStep(1);
    p.CWKPan->setWrapping(true);
    p.CWKPan->setMinimumSize(64, 64);
    p.CWBRePan = button(box, "CWBRePan", QStringLiteral("RESET"), true);
    p.CWBPanLED = led(box, "CWBPanLED", QStringLiteral("pan moving"), colour::kGreen);
}

void makeTriggerControls(QWidget* box, FrontPanel& p) {
    p.CWKTrigLvl = named(new Knob(box), "CWKTrigLvl", QStringLiteral("trigger level"));
    p.CWKTrigLvl->setRange(0, 256);
    p.CWKTrigLvl->setMinimumSize(76, 64);

    p.chkTrigSource = named(new QCheckBox(QStringLiteral("A"), box), "chkTrigSource",
                            QStringLiteral("trigger source"));
    p.optTrigRE = named(new QRadioButton(QStringLiteral("+"), box), "optTrigRE",
                        QStringLiteral("rising edge"));
    p.optTrigFE = named(new QRadioButton(QStringLiteral("-"), box), "optTrigFE",
                        QStringLiteral("falling edge"));
    p.optTrigLVL = named(new QRadioButton(QStringLiteral("Level"), box), "optTrigLVL",
                         QStringLiteral("level"));

    p.CWBPriChan = button(box, "CWBPriChan", QStringLiteral("A/B"));
    p.chkAsource = named(new QCheckBox(QStringLiteral("BNC"), box), "chkAsource",
                         QStringLiteral("analog input source"));
}

// The eight trigger-word buttons, bit 7 on the left.
QWidget* makeTriggerWord(QWidget* box, FrontPanel& p) {
    auto* word = new QWidget(box);
    auto* wl = new QHBoxLayout(word);
    wl->setContentsMargins(0, 0, 0, 0);
    wl->setSpacing(1);
    static const char* const kIds[8] = {"cmdTrigB0", "cmdTrigB1", "cmdTrigB2", "cmdTrigB3",
                                        "cmdTrigB4", "cmdTrigB5", "cmdTrigB6", "cmdTrigB7"};
    for (int bit = 7; bit >= 0; --bit) {
        auto* b = named(new QPushButton(QStringLiteral("X"), word), kIds[bit],
                        QStringLiteral("trigger word bit %1").arg(bit));
        b->setFixedWidth(22);
        p.cmdTrigB[static_cast<std::size_t>(bit)] = b;
        wl->addWidget(b);
    }
    return word;
}

} // namespace

QWidget* buildTimeAndTrigger(QWidget* host, FrontPanel& p) {
    auto* box = named(new QGroupBox(QStringLiteral("TIMEBASE / TRIGGER"), host), "fraTrigger",
                      QStringLiteral("timebase and trigger"));
    auto* g = new QGridLayout(box);
    g->setContentsMargins(4, 4, 4, 4);
    g->setSpacing(3);
    makeTimeAndPan(box, p);
    makeTriggerControls(box, p);
    QWidget* word = makeTriggerWord(box, p);

    QWidget* pan = row(box, {p.CWBRePan, p.CWBPanLED});
    QWidget* primary = row(box, {p.CWBPriChan, p.chkAsource});

    g->addWidget(caption(box, "lblHScale", QStringLiteral("H-SCALE")), 0, 0);
    g->addWidget(p.CWKTimeRange, 1, 0, 2, 1);
    g->addWidget(caption(box, "lblPan", QStringLiteral("PAN")), 0, 1);
    g->addWidget(p.CWKPan, 1, 1);
    g->addWidget(pan, 2, 1);
    g->addWidget(caption(box, "lblLevel", QStringLiteral("LEVEL")), 0, 2);
    g->addWidget(p.CWKTrigLvl, 1, 2);
    g->addWidget(column(box, {caption(box, "lblPrimary", QStringLiteral("PRIMARY  A/B")), primary}),
                 2, 2);
    g->addWidget(column(box, {caption(box, "lblMode", QStringLiteral("MODE")), p.chkTrigSource,
                              caption(box, "lblEdge", QStringLiteral("SLOPE")), p.optTrigRE,
                              p.optTrigFE, p.optTrigLVL}),
                 0, 3, 3, 1);
    g->addWidget(caption(box, "lblTrigWord", QStringLiteral("DIGITAL")), 3, 0);
    g->addWidget(word, 3, 1, 1, 3);
    g->setRowStretch(1, 1);
    return box;
}

QWidget* buildProcessAndData(QWidget* host, FrontPanel& p) {
    auto* box = named(new QGroupBox(QStringLiteral("PROCESS / DATA"), host), "fraProcess",
                      QStringLiteral("capture and measurement"));
    auto* g = new QGridLayout(box);
    g->setContentsMargins(4, 4, 4, 4);
    g->setSpacing(3);

    p.cmdCapture = named(new QPushButton(QStringLiteral("Acquire"), box), "cmdCapture",
                         QStringLiteral("Acquire"));
    p.cmdStore =
        named(new QPushButton(QStringLiteral("Store"), box), "cmdStore", QStringLiteral("Store"));
    p.CWBSampleMode = button(box, "CWBSampleMode", QStringLiteral("S / R"));
    p.CWBSampleMode->setToolTip(QStringLiteral("Single trace (off) or repeat (on)"));
    p.CWBTrigLed = led(box, "CWBTrigLed", QStringLiteral("trigger LED"), colour::kYellow);
    p.CWBCursors = button(box, "CWBCursors", QStringLiteral("CURSORS"));
    p.lblCursorData = named(new QLabel(box), "lblCursorData", QStringLiteral("cursor readout"));
    p.lblCursorData->setFrameShape(QFrame::StyledPanel);
    p.lblCursorData->setFrameShadow(QFrame::Sunken);
    p.lblCursorData->setAlignment(Qt::AlignCenter);
    p.lblCursorData->setMinimumWidth(90);
    p.CWBMenu = button(box, "CWBMenu", QStringLiteral("MENU"), true);
    p.CWBHelp = button(box, "CWBHelp", QStringLiteral("HELP"), true);

    p.cmdCapture->setFixedHeight(30);
    p.cmdStore->setFixedHeight(30);
    p.lblCursorData->setFixedHeight(30);
    g->addWidget(caption(box, "lblProcess", QStringLiteral("PROCESS")), 0, 0);
    g->addWidget(p.cmdCapture, 0, 1);
    g->addWidget(p.cmdStore, 0, 2);
    g->addWidget(p.CWBSampleMode, 0, 3);
    g->addWidget(caption(box, "lblStatus", QStringLiteral("COND")), 0, 4);
    g->addWidget(p.CWBTrigLed, 0, 5, Qt::AlignCenter);
    g->addWidget(caption(box, "lblCursors", QStringLiteral("DATA")), 1, 0);
    g->addWidget(p.CWBCursors, 1, 1);
    g->addWidget(p.lblCursorData, 1, 2, 1, 2);
    g->addWidget(p.CWBMenu, 1, 4);
    g->addWidget(p.CWBHelp, 1, 5);
    return box;
}

} // namespace tracely

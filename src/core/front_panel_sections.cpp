#include "src/core/front_panel.h"

#include "src/link/timebase.h"
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

using widgets::identify;
using widgets::Knob;
using widgets::TwoStateButton;

namespace {

template <class W> W* named(W* w, const char* id, const QString& accessible) {
    identify(w, QString::fromLatin1(id), accessible);
    return w;
}

QLabel* caption(QWidget* parent, const char* id, const QString& text) {
    auto* l = named(new QLabel(text, parent), id, text);
    l->setAlignment(Qt::AlignCenter);
    QFont f = l->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 0.85);
    l->setFont(f);
    return l;
}

TwoStateButton* button(QWidget* parent, const char* id, const QString& caption,
                       bool momentary = false) {
    auto* b = named(new TwoStateButton(TwoStateButton::Look::Button, parent), id, caption);
    b->setCaption(caption);
    b->setMomentary(momentary);
    b->setFixedHeight(30);
    return b;
}

TwoStateButton* led(QWidget* parent, const char* id, const QString& role, quint32 colour) {
    auto* l = named(new TwoStateButton(TwoStateButton::Look::Led, parent), id, role);
    l->setColour(colour);
    return l;
}

QWidget* column(QWidget* parent, std::initializer_list<QWidget*> items) {
    auto* box = new QWidget(parent);
    auto* v = new QVBoxLayout(box);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(2);
    for (QWidget* w : items) {
        v->addWidget(w, 0, Qt::AlignHCenter);
    }
    return box;
}

} // namespace

QWidget* buildTimeAndTrigger(QWidget* host, FrontPanel& p) {
    auto* box = named(new QGroupBox(QStringLiteral("TIMEBASE / TRIGGER"), host), "fraTrigger",
                      QStringLiteral("timebase and trigger"));
    auto* g = new QGridLayout(box);
    g->setContentsMargins(4, 4, 4, 4);
    g->setSpacing(3);

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
    p.CWBPanLED = led(box, "CWBPanLED", QStringLiteral("pan moving"), 65280);

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

    auto* pan = new QWidget(box);
    auto* panRow = new QHBoxLayout(pan);
    panRow->setContentsMargins(0, 0, 0, 0);
    panRow->setSpacing(3);
    panRow->addWidget(p.CWBRePan, 1);
    panRow->addWidget(p.CWBPanLED);
    auto* primary = new QWidget(box);
    auto* primaryRow = new QHBoxLayout(primary);
    primaryRow->setContentsMargins(0, 0, 0, 0);
    primaryRow->setSpacing(3);
    primaryRow->addWidget(p.CWBPriChan, 1);
    primaryRow->addWidget(p.chkAsource);

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
    p.CWBTrigLed = led(box, "CWBTrigLed", QStringLiteral("trigger LED"), 65535);
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

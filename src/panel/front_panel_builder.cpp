#include "src/instrument/status_texts.h"
#include "src/panel/front_panel.h"
#include "src/panel/front_panel_parts.h"

#include "src/widgets/graph.h"
#include "src/widgets/identify.h"
#include "src/widgets/keyed_status_bar.h"
#include "src/widgets/knob.h"
#include "src/widgets/slide.h"
#include "src/widgets/two_state_button.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace tracely {

using widgets::Graph;
using widgets::Knob;
using widgets::Slide;
using widgets::TwoStateButton;

namespace {

using namespace panel_parts;

struct ChannelIds {
    const char *frame, *enable, *led, *knob, *x10, *x10Led, *inv, *invLed, *offset, *cal, *calLed;
    const char* name;
};

QGroupBox* channel(QWidget* host, FrontPanel& p, bool a) {
    const ChannelIds ids =
        a ? ChannelIds{"fraCHa",       "CWBCHaEnable", "CWChaLed",     "CWKChaLvl",
                       "CWBCHAx10",    "CWBCHAx10Led", "CWBCHAInv",    "CWBCHAInvLed",
                       "CWSCHaOffset", "CWBCHaCal",    "CWBChaCalLed", "CH A"}
          : ChannelIds{"fraCHb",       "CWBCHbEnable", "CWChbLed",     "CWKChbLvl",
                       "CWBCHBx10",    "CWBCHBx10Led", "CWBCHBInv",    "CWBCHBInvLed",
                       "CWSCHbOffset", "CWBCHbCal",    "CWBChbCalLed", "CH B"};
    const QString name = QString::fromLatin1(ids.name);
    QGroupBox* box = frame(host, ids.frame, name);
    auto* enable = button(box, ids.enable, name);
    auto* enableLed = led(box, ids.led, name + QStringLiteral(" on"));
    auto* knob = named(new Knob(box), ids.knob, name + QStringLiteral(" volts per division"));
    knob->setRange(1, 6);
    knob->setMinimumSize(70, 76);
    auto* x10 = button(box, ids.x10, QStringLiteral("x10"));
    auto* x10Led = led(box, ids.x10Led, name + QStringLiteral(" x10 probe"));
    auto* inv = button(box, ids.inv, QStringLiteral("INV"));
    auto* invLed = led(box, ids.invLed, name + QStringLiteral(" inverted"));
    auto* offset =
        named(new Slide(Qt::Vertical, box), ids.offset, name + QStringLiteral(" offset"));
    offset->setRange(-4, 4);
    auto* cal = button(box, ids.cal, QStringLiteral("CAL"));
    cal->setMomentary(true);
    auto* calLed = led(box, ids.calLed, name + QStringLiteral(" offset set"), colour::kYellow);

    // Buttons down the left, the volts-per-division knob in the middle, the offset slide with
    // its CAL button on the right.
    auto* g = new QGridLayout(box);
    g->setContentsMargins(4, 2, 4, 4);
    g->setHorizontalSpacing(4);
    g->setVerticalSpacing(2);
    g->addWidget(withLed(box, enable, enableLed), 0, 0);
    g->addWidget(withLed(box, x10, x10Led), 1, 0);
    g->addWidget(withLed(box, inv, invLed), 2, 0);
    g->addWidget(caption(box, a ? "lblBScaleA" : "lblBScaleB", QStringLiteral("V-SCALE")), 0, 1);
    g->addWidget(knob, 1, 1, 2, 1);
    g->addWidget(offset, 0, 2, 2, 1);
    g->addWidget(withLed(box, cal, calLed), 2, 2);
    (a ? p.CWBCHaEnable : p.CWBCHbEnable) = enable;
    (a ? p.CWChaLed : p.CWChbLed) = enableLed;
    (a ? p.CWKChaLvl : p.CWKChbLvl) = knob;
    (a ? p.CWBCHAx10 : p.CWBCHBx10) = x10;
    (a ? p.CWBCHAx10Led : p.CWBCHBx10Led) = x10Led;
    (a ? p.CWBCHAInv : p.CWBCHBInv) = inv;
    (a ? p.CWBCHAInvLed : p.CWBCHBInvLed) = invLed;
    (a ? p.CWSCHaOffset : p.CWSCHbOffset) = offset;
    (a ? p.CWBCHaCal : p.CWBCHbCal) = cal;
    (a ? p.CWBChaCalLed : p.CWBChbCalLed) = calLed;
    return box;
}

QWidget* graphs(QWidget* host, FrontPanel& p) {
    auto* area = new QWidget(host);
    auto* h = new QHBoxLayout(area);
    h->setContentsMargins(0, 0, 0, 0);
    h->setSpacing(2);

    p.CWSTrigInd = named(new Slide(Qt::Vertical, area), "CWSTrigInd",
                         QStringLiteral("trigger level and zero markers"));
    p.CWSTrigInd->setRange(-4, 4);
    p.CWSTrigInd->setMainPointerVisible(false);
    p.CWSTrigInd->addPointer(QStringLiteral("TrigLvl"), kTrigger);
    p.CWSTrigInd->addPointer(QStringLiteral("CHa_Zero"), kChannelA);
    p.CWSTrigInd->addPointer(QStringLiteral("CHb_Zero"), kChannelB);

    p.CWGraph1 = named(new Graph(area), "CWGraph1", QStringLiteral("analog graph"));
    p.CWGraph1->addPlot(QStringLiteral("CHa"), kChannelA);
    p.CWGraph1->addPlot(QStringLiteral("CHb"), kChannelB);
    p.CWGraph1->addPlot(QStringLiteral("Trig"), kTrigger);
    p.CWGraph1->setAxisRange(QStringLiteral("XAxis"), 0, 10);
    p.CWGraph1->setAxisRange(QStringLiteral("YAxis-1"), -4, 4);

    p.CWGLogic = named(new Graph(area), "CWGLogic", QStringLiteral("logic graph"));
    static const QColor kLines[8] = {{255, 221, 51},  {64, 208, 255}, {255, 110, 199},
                                     {110, 230, 110}, {255, 160, 64}, {140, 150, 255},
                                     {255, 120, 120}, {220, 220, 220}};
    for (int k = 0; k < 8; ++k) {
        p.CWGLogic->addPlot(QString::number(k + 1), kLines[k]);
    }
    p.CWGLogic->setAxisRange(QStringLiteral("XAxis"), 0, 10);
    p.CWGLogic->setAxisRange(QStringLiteral("YAxis-1"), -0.9, 7.9);

    p.CWSPan = named(new Slide(Qt::Horizontal, area), "CWSPan", QStringLiteral("pan slide"));
    p.CWSPan->setRange(-5500, 5500);
    p.CWSPan->setStep(1);

    // The marker slide stands beside the analog graph only, its scale matching the graph's
    // divisions.
    auto* screens = new QGridLayout;
    screens->setSpacing(2);
    screens->addWidget(p.CWSTrigInd, 0, 0);
    screens->addWidget(p.CWGraph1, 0, 1);
    screens->addWidget(p.CWGLogic, 1, 1);
    screens->addWidget(p.CWSPan, 2, 1);
    screens->setRowStretch(0, 3);
    screens->setRowStretch(1, 2);
    screens->setColumnStretch(1, 1);
    h->addLayout(screens, 1);
    return area;
}

} // namespace

QWidget* buildTimeAndTrigger(QWidget* host, FrontPanel& p);
QWidget* buildProcessAndData(QWidget* host, FrontPanel& p);

FrontPanel buildFrontPanel(QWidget* host) {
    FrontPanel p;
    // The panel's lettering is designed at an even size: the elastic layout gives fonts even
    // sizes, so the design's proportions then hold at every window size.
    QFont lettering = host->font();
    lettering.setPointSize(kDesignPointSize);
    host->setFont(lettering);
    auto* top = new QHBoxLayout(host);
    top->setContentsMargins(6, 6, 6, 6);
    top->setSpacing(6);
    top->addWidget(graphs(host, p), 1);

    // The controls keep their size; the screens take whatever the window gives beyond it.
    auto* column = new QWidget(host);
    column->setMaximumWidth(400);
    column->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    auto* controls = new QGridLayout(column);
    controls->setContentsMargins(0, 0, 0, 0);
    controls->setSpacing(4);
    controls->addWidget(channel(column, p, true), 0, 0);
    controls->addWidget(channel(column, p, false), 0, 1);
    controls->addWidget(buildTimeAndTrigger(column, p), 1, 0, 1, 2);
    controls->addWidget(buildProcessAndData(column, p), 2, 0, 1, 2);
    top->addWidget(column);

    p.StatusBar1 =
        named(new widgets::KeyedStatusBar(host), "StatusBar1", QStringLiteral("status bar"));
    p.StatusBar1->setFont(lettering); // it leaves the panel for the window's foot
    const auto addPanel = [&p](const char* key, const std::string& text) {
        p.StatusBar1->addPanel(QString::fromLatin1(key), QString::fromStdString(text));
    };
    addPanel(status::kFirmware, status::firmwareText());
    addPanel(status::kBaudRate, status::baudText());
    addPanel(status::kComPort, status::comPortText());
    addPanel(status::kSampleRate, status::sampleRateText({}));
    addPanel(status::kCursorData, status::cursorsOnText({}));
    // What the link is doing, in words, and how far a long dump has come. The words may be
    // longer than the window is wide: they give way rather than push the window wider.
    QLabel* link = p.StatusBar1->addPanel(QString::fromLatin1(status::kLink),
                                          QStringLiteral("Not connected"), 2);
    link->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    link->setMinimumWidth(
        link->fontMetrics().horizontalAdvance(QStringLiteral("Waiting for trigger")));
    p.prgDump = named(new QProgressBar(p.StatusBar1), "prgDump", QStringLiteral("dump progress"));
    p.prgDump->setTextVisible(false);
    p.prgDump->setFixedWidth(link->fontMetrics().horizontalAdvance(QStringLiteral("Firmware")));
    p.StatusBar1->addPermanentWidget(p.prgDump);
    p.prgDump->hide();
    return p;
}

} // namespace tracely

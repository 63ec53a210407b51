// The dialog's controls and their layout.
#include "src/ui/options_choices.h"
#include "src/ui/options_dialog.h"
#include "src/widgets/identify.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTabBar>
#include <QVBoxLayout>

namespace tracely {

namespace {

template <class W> W* named(W* w, const char* id, const QString& caption) {
    widgets::identify(w, QString::fromLatin1(id), caption);
    return w;
}

QGroupBox* frame(QWidget* page, const char* id, const QString& caption) {
    auto* box = named(new QGroupBox(caption, page), id, caption);
    new QVBoxLayout(box);
    return box;
}

QComboBox* list(QGroupBox* box, const char* id, const QString& role, const QStringList& items) {
    auto* combo = named(new QComboBox(box), id, role);
    combo->addItems(items);
    box->layout()->addWidget(combo);
    return combo;
}

template <class W> W* add(QGroupBox* box, W* w, const char* id, const QString& caption) {
    box->layout()->addWidget(named(w, id, caption));
    return w;
}

QWidget* page(int index) {
    auto* w = new QWidget;
    const QString id = QStringLiteral("picOptions%1").arg(index);
    widgets::identify(w, id, QStringLiteral("options page %1").arg(index));
    return w;
}

} // namespace

QWidget* OptionsDialog::buildCapturePage() {
    QWidget* w = page(0);
    auto* grid = new QGridLayout(w);
    fraDD7 = frame(w, "fraDD7", QStringLiteral("DD7 Data"));
    optLogic = add(fraDD7, new QRadioButton(QStringLiteral("L7")), "optLogic", "L7");
    optTrig = add(fraDD7, new QRadioButton(QStringLiteral("Trigger")), "optTrig", "Trigger");
    auto* trigPos = frame(w, "fraTrigPos", QStringLiteral("Trigger Position"));
    cboTrigPos =
        list(trigPos, "cboTrigPos", QStringLiteral("Trigger Position"), options::trigPositions());
    auto* clock = frame(w, "fraSampleClock", QStringLiteral("Sample Clock"));
    cboSampleClock =
        list(clock, "cboSampleClock", QStringLiteral("Sample Clock"), options::sampleClocks());
    auto* rate = frame(w, "fraSampleRate", QStringLiteral("Sample Rate"));
    cboSampleRate =
        list(rate, "cboSampleRate", QStringLiteral("Sample Rate"), options::sampleRates());
    grid->addWidget(fraDD7, 0, 0);
    grid->addWidget(trigPos, 0, 1);
    grid->addWidget(clock, 1, 0);
    grid->addWidget(rate, 1, 1);
    return w;
}

QWidget* OptionsDialog::buildCursorsPage() {
    QWidget* w = page(1);
    auto* row = new QHBoxLayout(w);
    auto* channel = frame(w, "fraChaSel", QStringLiteral("Channel Select"));
    cboChaSel = list(channel, "cboChaSel", QStringLiteral("Channel Select"), {});
    auto* type = frame(w, "fraCursorType", QStringLiteral("Cursor Type"));
    optFrequency =
        add(type, new QRadioButton(QStringLiteral("Frequency")), "optFrequency", "Frequency");
    optVoltage = add(type, new QRadioButton(QStringLiteral("Voltage")), "optVoltage", "Voltage");
    optVoltage->setToolTip(QStringLiteral("Display Horizontal Cursors"));
    optTime = add(type, new QRadioButton(QStringLiteral("Time")), "optTime", "Time");
    optTime->setToolTip(QStringLiteral("Display Vertical Cursors"));
    row->addWidget(channel, 0, Qt::AlignTop);
    row->addWidget(type, 0, Qt::AlignTop);
    return w;
}

QWidget* OptionsDialog::buildControlsPage() {
    QWidget* w = page(2);
    auto* row = new QHBoxLayout(w);
    auto* data = frame(w, "Frame1", QStringLiteral("Data"));
    chkPlotPoints =
        add(data, new QCheckBox(QStringLiteral("Plot Points")), "chkPlotPoints", "Plot Points");
    auto* display = frame(w, "fraDisplay", QStringLiteral("Display"));
    chkTrigVisible = add(display, new QCheckBox(QStringLiteral("ANTrigger Point")),
                         "chkTrigVisible", "ANTrigger Point");
    chkLogic =
        add(display, new QCheckBox(QStringLiteral("Logic Analyzer")), "chkLogic", "Logic Analyzer");
    chkAnalog = add(display, new QCheckBox(QStringLiteral("Analog")), "chkAnalog", "Analog");
    row->addWidget(data, 0, Qt::AlignTop);
    row->addWidget(display, 0, Qt::AlignTop);
    return w;
}

QWidget* OptionsDialog::buildCommunicationsPage() {
    QWidget* w = page(3);
    auto* row = new QHBoxLayout(w);
    auto* serial = frame(w, "fraSerialPort", QStringLiteral("Serial Port"));
    chkEnabled = add(serial, new QCheckBox(QStringLiteral("Enabled")), "chkEnabled", "Enabled");
    chkEnabled->setChecked(true);
    cboComPort = list(serial, "cboComPort", QStringLiteral("Com Port"), {});
    cboBaudRate = list(serial, "cboBaudRate", QStringLiteral("Baud Rate"), options::baudRates());
    row->addWidget(serial, 0, Qt::AlignTop);
    return w;
}

QWidget* OptionsDialog::buildLinkPage() {
    QWidget* w = page(4);
    auto* row = new QHBoxLayout(w);
    auto* faults = frame(w, "fraLinkFaults", QStringLiteral("Line Faults"));
    chkKeepRepeating =
        add(faults, new QCheckBox(QStringLiteral("Keep repeating through line faults")),
            "chkKeepRepeating", "Keep repeating through line faults");
    chkKeepRepeating->setToolTip(
        QStringLiteral("In repeat mode, start the next capture by itself after one was discarded "
                       "on a line fault; stop after five in a row"));
    auto* health = frame(w, "fraLinkHealth", QStringLiteral("Link Health"));
    lblLinkHealth = add(health, new QLabel, "lblLinkHealth", "link health");
    lblLinkHealth->setTextInteractionFlags(Qt::TextSelectableByMouse);
    row->addWidget(faults, 0, Qt::AlignTop);
    row->addWidget(health, 1, Qt::AlignTop);
    return w;
}

void OptionsDialog::buildControls() {
    tbsOptions = named(new QTabBar(this), "tbsOptions", QStringLiteral("Options tabs"));
    const struct {
        const char* caption;
        const char* key;
        const char* description;
    } tabs[] = {{"Capture", "tabCapture", "Set Options for Capture"},
                {"Cursors", "tabCursors", "Set Options for Cursors"},
                {"Controls", "tabControls", "Set Options for Controls"},
                {"Communications", "tabCommunications", "Set Options for Com Port"},
                {"Link", "tabLink", "Link health and what to do on line faults"}};
    for (const auto& t : tabs) {
        const int i = tbsOptions->addTab(QString::fromLatin1(t.caption));
        tbsOptions->setTabData(i, QString::fromLatin1(t.key));
        tbsOptions->setTabToolTip(i, QString::fromLatin1(t.description));
    }

    pages = named(new QStackedWidget(this), "picOptions", QStringLiteral("options pages"));
    pages->addWidget(buildCapturePage());
    pages->addWidget(buildCursorsPage());
    pages->addWidget(buildControlsPage());
    pages->addWidget(buildCommunicationsPage());
    pages->addWidget(buildLinkPage());

    cmdApply = named(new QPushButton(QStringLiteral("Apply"), this), "cmdApply", "Apply");
    cmdCancel = named(new QPushButton(QStringLiteral("Cancel"), this), "cmdCancel", "Cancel");
    cmdOK = named(new QPushButton(QStringLiteral("OK"), this), "cmdOK", "OK");

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdApply);
    buttons->addWidget(cmdCancel);
    buttons->addWidget(cmdOK);
    auto* column = new QVBoxLayout(this);
    column->addWidget(tbsOptions);
    column->addWidget(pages, 1);
    column->addLayout(buttons);
}

} // namespace tracely

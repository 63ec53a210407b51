#include "src/ui/options_dialog.h"

#include "src/instrument/status_texts.h"
#include "src/ui/mnemonics.h"
#include "src/ui/options_choices.h"
#include "src/widgets/graph.h"
#include "src/widgets/keyed_status_bar.h"
#include "src/widgets/two_state_button.h"

#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStackedWidget>
#include <QTabBar>
#include <QTimer>

namespace tracely {

namespace {

bool isCtrlTab(const QEvent* event) {
    if (event->type() != QEvent::KeyPress) {
        return false;
    }
    const auto* key = static_cast<const QKeyEvent*>(event);
    return key->key() == Qt::Key_Tab &&
           (key->modifiers() & ~Qt::KeypadModifier) == Qt::ControlModifier;
}

} // namespace

OptionsDialog::OptionsDialog(FrontPanelState& state, const FrontPanel& panel, LinkOptions& link,
                             DisplayRoutines& display, QWidget* parent)
    : QDialog(parent), s_(state), p_(panel), link_(link), display_(display) {
    setObjectName(QStringLiteral("frmOptions"));
    setWindowTitle(QStringLiteral("Options"));
    buildControls();
    connectControls();
    assignMnemonics(this);
    // Ctrl+Tab must reach the dialog whichever control has the focus.
    for (QWidget* w : findChildren<QWidget*>()) {
        w->installEventFilter(this);
    }
    fillFromState();
    // The link's numbers move while the dialog is open: keep the Link page current.
    auto* refresh = new QTimer(this);
    connect(refresh, &QTimer::timeout, this, [this] {
        if (pages->currentIndex() == pages->count() - 1) {
            showLinkHealth();
        }
    });
    refresh->start(1000);
}

void OptionsDialog::connectControls() {
    connect(tbsOptions, &QTabBar::currentChanged, this, &OptionsDialog::showTab);
    for (QRadioButton* opt : {optTime, optVoltage, optFrequency}) {
        connect(opt, &QRadioButton::toggled, this, [this](bool on) {
            if (on) {
                cursorTypeClicked();
            }
        });
    }
    connect(cboComPort, &QComboBox::activated, this, &OptionsDialog::portPicked);
    connect(cmdApply, &QPushButton::clicked, this, &OptionsDialog::apply);
    connect(cmdOK, &QPushButton::clicked, this, [this] {
        apply();
        accept();
    });
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void OptionsDialog::fillFromState() {
    blnDialogReady = false;

    adjustSize();
    if (const QScreen* screen = this->screen()) {
        const QRect area = screen->geometry();
        move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
    }

    switch (s_.intCursorType) {
    case 1:
        optTime->setChecked(true);
        break;
    case 2:
        optVoltage->setChecked(true);
        break;
    case 3:
        optFrequency->setChecked(true);
        break;
    default:
        break; // no cursor type selected
    }

    cboSampleRate->setCurrentIndex(options::sampleRateIndex(s_.strSampleRate));
    cboSampleClock->setCurrentIndex(options::sampleClockIndex(s_.strSampleClock));
    cboTrigPos->setCurrentIndex(options::trigPosIndex(s_.sngTrigPos).value_or(-1));

    chkAnalog->setChecked(s_.blnShowAN);
    chkLogic->setChecked(s_.blnShowLA);
    chkTrigVisible->setChecked(s_.blnPlotTrig);
    (s_.blnShowTrigLogic ? optTrig : optLogic)->setChecked(true);

    cboChaSel->clear();
    const QStringList channels =
        options::channelEntries(p_.CWBCHaEnable->value(), p_.CWBCHbEnable->value());
    cboChaSel->addItems(channels);
    cboChaSel->setCurrentIndex(options::channelSelection(channels, s_.strCursorsOn));
    cboChaSel->setEnabled(optVoltage->isChecked());

    chkPlotPoints->setChecked(s_.blnPlotPoints);
    chkKeepRepeating->setChecked(link_.keepRepeating());
    showLinkHealth();

    fillPortList();
    blnPortChanged = false;
    cboComPort->setCurrentIndex(cboComPort->findText(options::portEntry(s_.intComPort)));

    showTab(tbsOptions->currentIndex());
    blnDialogReady = true;
}

void OptionsDialog::fillPortList() {
    cboComPort->clear();
    for (int n = 1; n <= options::kPortCount; ++n) {
        if (link_.ComPortExists(n)) {
            cboComPort->addItem(options::portEntry(n));
            cboComPort->setItemData(cboComPort->count() - 1,
                                    options::portToolTip(link_.portPath(n), link_.portPermitted(n)),
                                    Qt::ToolTipRole);
        }
    }
}

void OptionsDialog::showLinkHealth() {
    const QString text = link_.linkHealth();
    lblLinkHealth->setText(text);
    lblLinkHealth->setAccessibleName(
        QStringLiteral("link health: ") +
        QString(text).replace(QLatin1Char('\n'), QStringLiteral("; ")));
}

void OptionsDialog::showTab(int index) {
    if (index < 0 || index >= pages->count()) {
        return;
    }
    if (index == pages->count() - 1) {
        showLinkHealth(); // the numbers as they are now
    }
    for (int i = 0; i < pages->count(); ++i) {
        pages->widget(i)->setEnabled(i == index);
    }
    pages->setCurrentIndex(index);
}

void OptionsDialog::nextTab() {
    const int last = tbsOptions->count() - 1;
    const int current = tbsOptions->currentIndex();
    tbsOptions->setCurrentIndex(current >= last ? 0 : current + 1);
}

bool OptionsDialog::eventFilter(QObject* watched, QEvent* event) {
    if (isCtrlTab(event)) {
        nextTab();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void OptionsDialog::keyPressEvent(QKeyEvent* event) {
    if (isCtrlTab(event)) {
        nextTab();
        return;
    }
    QDialog::keyPressEvent(event);
}

void OptionsDialog::cursorTypeClicked() {
    cboChaSel->setEnabled(optVoltage->isChecked());
}

void OptionsDialog::portPicked(int index) {
    if (!blnDialogReady) {
        return;
    }
    const std::optional<int> port = options::portFromEntry(cboComPort->itemText(index));
    if (!port) {
        return;
    }
    s_.intComPort = static_cast<std::int16_t>(*port);
    s_.blnAutoPort = false; // the link start no longer searches the ports
    blnPortChanged = true;
}

void OptionsDialog::applyCursorType() {
    using widgets::Graph;
    const auto style = [](Graph* g, int style) {
        g->setCursorStyle("Cursor1", style);
        g->setCursorStyle("Cursor2", style);
    };
    if (optTime->isChecked()) {
        s_.intCursorType = 1;
        style(p_.CWGraph1, Graph::kCursorVertical);
        style(p_.CWGLogic, Graph::kCursorVertical);
    }
    if (optVoltage->isChecked()) {
        s_.intCursorType = 2;
        style(p_.CWGraph1, Graph::kCursorHorizontal);
        p_.CWGLogic->setCursorVisible("Cursor1", false);
        p_.CWGLogic->setCursorVisible("Cursor2", false);
    }
    if (optFrequency->isChecked()) {
        s_.intCursorType = 3;
        style(p_.CWGraph1, Graph::kCursorVertical);
        style(p_.CWGLogic, Graph::kCursorVertical);
    }
}

void OptionsDialog::apply() {
    applyCursorType();
    display_.DisplayCursorData();

    s_.strSampleClock = cboSampleClock->currentText().toStdString();
    s_.strSampleRate = options::sampleRateFromEntry(cboSampleRate->currentText());
    p_.StatusBar1->setPanelText(QString::fromLatin1(status::kSampleRate),
                                QString::fromStdString(status::sampleRateText(s_.strSampleRate)));

    s_.blnShowAN = chkAnalog->isChecked();
    if (!s_.blnShowAN) {
        p_.CWGraph1->clearAll();
    }
    s_.blnShowLA = chkLogic->isChecked();
    if (!s_.blnShowLA) {
        p_.CWGLogic->clearAll();
    }
    s_.blnPlotPoints = chkPlotPoints->isChecked();

    s_.strCursorsOn = cboChaSel->currentText().toStdString();
    p_.StatusBar1->setPanelText(QString::fromLatin1(status::kCursorData),
                                QString::fromStdString(status::cursorsOnText(s_.strCursorsOn)));

    if (const std::optional<float> pos = options::trigPosFromEntry(cboTrigPos->currentText())) {
        s_.sngTrigPos = *pos;
    }
    s_.blnShowTrigLogic = optTrig->isChecked() && !optLogic->isChecked();
    s_.blnPlotTrig = chkTrigVisible->isChecked();
    p_.CWGraph1->setPlotVisible("Trig", s_.blnPlotTrig);

    link_.setKeepRepeating(chkKeepRepeating->isChecked());

    if (blnPortChanged) {
        blnPortChanged = false;
        // The link comes up on its own thread; a port that did not answer is tried once more
        // by the next Apply, if the dialog is still open then.
        link_.InitHdwe([dialog = QPointer<OptionsDialog>(this)](bool connected) {
            if (dialog && !connected) {
                dialog->blnPortChanged = true;
            }
        });
    }
    s_.blnTimeChanged = true; // the timebase follows a possibly new sample rate
}

} // namespace tracely

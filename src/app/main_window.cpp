#include "src/app/main_window.h"

#include "src/capture/capture_tools.h"
#include "src/display/display.h"
#include "src/instrument/registers.h"
#include "src/instrument/status_texts.h"
#include "src/link/link_reporter.h"
#include "src/measure/measure_bar.h"
#include "src/panel/controls.h"
#include "src/settings/settings_file.h"
#include "src/ui/dump_progress.h"
#include "src/ui/elastic.h"
#include "src/ui/elastic_window.h"
#include "src/ui/help_launcher.h"
#include "src/ui/options_dialog.h"
#include "src/ui/panel_words.h"
#include "src/ui/splash_box.h"
#include "src/widgets/graph.h"
#include "src/widgets/keyed_status_bar.h"
#include "src/widgets/knob.h"
#include "src/widgets/slide.h"
#include "src/widgets/two_state_button.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QDockWidget>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShortcut>

namespace tracely {

MainWindow::MainWindow(std::string settingsPath, QWidget* parent)
    : MainWindow(SettingsLocation::at(settingsPath), parent) {}

MainWindow::MainWindow(SettingsLocation settings, QWidget* parent)
    : QMainWindow(parent), settingsWhere_(std::move(settings)) {
    setWindowTitle(QStringLiteral("Tracely"));
    setObjectName(QStringLiteral("frmMain"));
    auto* host = new QWidget(this);
    setCentralWidget(host);
    p_ = buildFrontPanel(host);
    // The measurement bar lies between the panel and the status bar, outside the panel the
    // elastic layout scales: shown, it takes its height from the panel's share of the window.
    auto* dock = new QDockWidget(this);
    dock->setObjectName(QStringLiteral("dckMeasure"));
    dock->setFeatures(QDockWidget::NoDockWidgetFeatures);
    dock->setTitleBarWidget(new QWidget(dock));
    auto* bar = new MeasureBar(dock);
    dock->setWidget(bar);
    addDockWidget(Qt::BottomDockWidgetArea, dock);
    dock->hide(); // until the settings say otherwise
    connect(dock, &QDockWidget::visibilityChanged, this, [this] {
        if (form_) {
            formResize();
        }
    });
    setStatusBar(p_.StatusBar1);

    messageBox_ = [this](const QString& title, const QString& text) {
        QMessageBox::critical(this, title, text, QMessageBox::Ok);
    };

    engine_ = std::make_unique<AcquisitionEngine>(s_, [this](int n) { return configuredPort(n); });
    display_ = std::make_unique<Display>(s_, p_);
    controls_ = std::make_unique<Controls>(s_, p_);
    display_->connectPeers(*controls_, *engine_);
    controls_->connectPeers(*display_, *engine_);
    settings_ = std::make_unique<SettingsFile>(s_, p_, settingsWhere_);
    captureTools_ =
        std::make_unique<CaptureTools>(this, s_, p_, *display_, bar, settingsWhere_.readPath);

    // The engine learns the panel's states before any handler runs on a change of them.
    connectEngine();
    // Handlers first, as the panel's own events: the start-up values below cascade through
    // them exactly as a user's settings would.
    display_->connectHandlers();
    controls_->connectHandlers();
    connectWindowButtons();
    // After the handlers, so that the words describe the panel as they left it.
    words_ = new PanelWords(s_, p_, this);
    connectWords();
    addShortcuts();
    form_ = std::make_unique<ElasticWindow>(*this);
}

MainWindow::~MainWindow() {
    // The dock is hidden only as QWidget tears the window down, after our members are gone.
    if (auto* dock = findChild<QDockWidget*>(QStringLiteral("dckMeasure"))) {
        dock->disconnect(this);
    }
}

QString MainWindow::configuredPort(int n) const {
    // Read afresh each time: the file is the state, and a simulator may have just named itself.
    // A user's copy of the settings without the entry takes it from beside the program.
    for (const std::string& file : {settingsWhere_.readPath, settingsWhere_.portsPath}) {
        if (file.empty()) {
            continue;
        }
        cInifile ini;
        ini.setPath(file);
        ini.setSection("PORTS");
        ini.setKey("COM" + std::to_string(n));
        const QString path = QString::fromStdString(ini.Value()).trimmed();
        if (path.isEmpty()) {
            continue;
        }
        // A relative path is taken from the folder of the file that names it, not from
        // wherever the program happened to be started.
        if (path.contains(QLatin1Char('/')) && QDir::isRelativePath(path)) {
            return QFileInfo(QString::fromStdString(file)).dir().filePath(path);
        }
        return path;
    }
    return {};
}

// Where the settings go, when it is not the usual place, or that they cannot be saved: said
// once, in the link's panel (which the link takes over as soon as it has something to say),
// and on the standard error for a window that is already closing.
void MainWindow::showSettingsNote(const std::string& note) {
    if (note.empty()) {
        return;
    }
    const QString text = QString::fromStdString(note);
    QString shown = text; // the panel is narrow: the home folder as "~"
    const QString home = QDir::homePath();
    if (home.size() > 1) {
        shown.replace(home + QLatin1Char('/'), QStringLiteral("~/"));
    }
    showLinkText(shown, text);
    qWarning("%s", qPrintable(text));
}

void MainWindow::connectEngine() {
    AcquisitionEngine* e = engine_.get();
    connect(p_.CWKTimeRange, &widgets::Knob::valueChanged, e,
            [this](int, double v) { engine_->setTimeRange(v); });
    const auto panelState = [this] {
        engine_->setCapturePanel(CapturePanel{p_.CWBCHaEnable->value(), p_.CWBCHbEnable->value(),
                                              p_.chkTrigSource->isChecked()});
    };
    connect(p_.CWBCHaEnable, &widgets::TwoStateButton::valueChanged, e, panelState);
    connect(p_.CWBCHbEnable, &widgets::TwoStateButton::valueChanged, e, panelState);
    connect(p_.chkTrigSource, &QCheckBox::toggled, e, panelState);
    panelState();
    engine_->setTimeRange(p_.CWKTimeRange->value());

    connect(e, &AcquisitionEngine::lightChanged, this, [this](quint32 colour, bool lit) {
        if (lit) {
            p_.CWBTrigLed->setColour(colour);
        }
        p_.CWBTrigLed->setValue(lit);
    });
    connect(e, &AcquisitionEngine::panelText, p_.StatusBar1,
            &widgets::KeyedStatusBar::setPanelText);
    connect(e, &AcquisitionEngine::statusText, this,
            [this](const QString& text) { showLinkText(text); });
    connect(e, &AcquisitionEngine::commError, this, [this] {
        messageBox_(QString::fromLatin1(kCommErrorTitle), QString::fromLatin1(kCommErrorText));
    });
    connect(e, &AcquisitionEngine::captureReady, this, [this] {
        display_->PlotAnalog();
        display_->PlotLogic();
        captureTools_->captureDrawn();
    });
    connect(e, &AcquisitionEngine::progressChanged, this,
            [this](int done, int total, double secondsLeft) {
                showDumpProgress(p_.prgDump, done, total, secondsLeft);
                if (total > 0) {
                    showLinkText(dumpProgressShort(done, total, secondsLeft),
                                 QStringLiteral("Receiving the capture: ") +
                                     dumpProgressText(done, total, secondsLeft));
                }
            });
    connect(e, &AcquisitionEngine::healthChanged, this, &MainWindow::showHealth);
    showHealth();
}

void MainWindow::connectWords() {
    AcquisitionEngine* e = engine_.get();
    connect(display_.get(), &Display::readoutShown, this, [this] { words_->readoutChanged(); });
    connect(e, &AcquisitionEngine::lightChanged, this,
            [this](quint32 colour, bool lit) { words_->lampChanged(lit, colour); });
    connect(e, &AcquisitionEngine::phaseChanged, this,
            [this](LinkPhase phase, const QString& detail) {
                words_->status().phase(phase, detail);
                words_->statusChanged();
            });
    connect(e, &AcquisitionEngine::progressChanged, this, [this](int done, int total, double) {
        words_->status().progress(done, total);
        words_->statusChanged();
    });
    connect(p_.cmdCapture, &QPushButton::clicked, this, [this] {
        words_->status().stored(false);
        words_->statusChanged();
    });
    connect(p_.cmdStore, &QPushButton::clicked, this, [this] {
        words_->status().stored(true);
        words_->statusChanged();
    });
    connect(p_.CWBSampleMode, &widgets::TwoStateButton::valueChanged, this,
            [this](bool repeat) { words_->status().repeat(repeat); });
}

void MainWindow::addShortcuts() {
    const auto key = [this](const char* sequence, auto action) {
        auto* shortcut = new QShortcut(QKeySequence(QString::fromLatin1(sequence)), this);
        connect(shortcut, &QShortcut::activated, this, action);
    };
    key(keys::kAcquire, [this] { p_.cmdCapture->click(); });
    key(keys::kStore, [this] { p_.cmdStore->click(); });
    key(keys::kRepeat, [this] { p_.CWBSampleMode->setValue(!p_.CWBSampleMode->value()); });
    key(keys::kCursors, [this] { p_.CWBCursors->setValue(!p_.CWBCursors->value()); });
    // As a press and a release of the HELP button, which opens the manual on the release.
    key(keys::kHelp, [this] {
        p_.CWBHelp->setValue(true);
        p_.CWBHelp->setValue(false);
    });
}

void MainWindow::showLinkText(const QString& text, const QString& inFull) {
    const QString full = inFull.isEmpty() ? text : inFull;
    p_.StatusBar1->setPanelText(QString::fromLatin1(status::kLink), text);
    if (QLabel* label = p_.StatusBar1->panel(QString::fromLatin1(status::kLink))) {
        label->setToolTip(full); // the whole of it, should the panel be too narrow
        label->setAccessibleName(QStringLiteral("link status: ") + full);
    }
}

void MainWindow::showHealth() {
    const LinkHealth& h = engine_->health();
    const QString text = describeHealth(h);
    p_.CWBTrigLed->setToolTip(text);
    p_.CWBTrigLed->setProperty("healthText", text); // the lamp's tooltip adds its colours' meaning
    if (auto* caption = findChild<QWidget*>(QStringLiteral("lblStatus"))) {
        caption->setToolTip(text);
    }
    p_.CWBTrigLed->setAccessibleDescription(QStringLiteral("CWBTrigLed; ") + summariseHealth(h));
}

void MainWindow::connectWindowButtons() {
    connect(p_.cmdCapture, &QPushButton::clicked, this, [this] { engine_->acquireClicked(); });
    connect(p_.cmdStore, &QPushButton::clicked, this, [this] { engine_->storeClicked(true); });
    connect(p_.CWBSampleMode, &widgets::TwoStateButton::valueChanged, this,
            [this](bool repeat) { engine_->sampleModeChanged(repeat); });
    connect(p_.CWBMenu, &widgets::TwoStateButton::valueChanged, this, [this](bool on) {
        if (on) {
            openOptions();
        }
    });
    connect(p_.CWBHelp, &widgets::TwoStateButton::valueChanged, this,
            [this](bool value) { helpButtonChanged(value); });
}

void MainWindow::openOptions() {
    OptionsDialog dialog(s_, p_, *engine_, *display_, this);
    dialog.exec();
    // The modal dialog may have taken the button's release: leave it up for the next press.
    p_.CWBMenu->setDown(false);
    p_.CWBMenu->setValue(false);
}

void MainWindow::helpButtonChanged(bool value) {
    if (!help_) {
        help_ = std::make_unique<HelpLauncher>(this, QCoreApplication::applicationDirPath());
    }
    help_->helpButtonChanged(value);
}

void MainWindow::endSplashTime() {
    if (splash_ != nullptr) {
        splash_->endMinimumTime();
    }
}

void MainWindow::formLoad() {
    splash_ = new SplashBox(this);
    splash_->SplashOn(this, splashMs_);
    sizeAsDesigned();
    startTrigger();
    // The state starts with its own values; the knob's handler retimes it for position 10.
    p_.CWKTimeRange->setValue(10);
    p_.CWGraph1->setPlotVisible(QStringLiteral("Trig"), true);
    startChannels();
    display_->SetCHaScale();
    display_->SetCHbScale();
    controls_->PlaceMarkers();
    startGraphs();
    loadSavedPanel();
    fillStatusBar();
    words_->refresh();
    showSettingsNote(settingsWhere_.note);
    splash_->SplashOff();
    initLayout();
}

// Analog level trigger at mid scale; the trigger word all "X", disabled until the logic
// source is chosen.
void MainWindow::startTrigger() {
    for (QPushButton* b : p_.cmdTrigB) {
        b->setText(QStringLiteral("X"));
        b->setEnabled(false);
    }
    p_.CWKTrigLvl->setStep(16);
    p_.CWKTrigLvl->setRange(16, 240);
    p_.CWKTrigLvl->setValue(128);
    p_.optTrigLVL->setChecked(true);
    p_.CWKTrigLvl->setEnabled(true);
    p_.optTrigRE->setEnabled(true);
    p_.optTrigFE->setEnabled(true);
    p_.chkTrigSource->setText(QStringLiteral("A"));
    p_.chkTrigSource->setChecked(false);
    p_.optTrigLVL->setChecked(true);
}

// Channel A on and primary, channel B off, both x10 probes on, BNC input.
void MainWindow::startChannels() {
    // Both channels' knobs carry the x10 labels until their scales relabel them.
    for (bool a : {true, false}) {
        widgets::Knob* knob = a ? p_.CWKChaLvl : p_.CWKChbLvl;
        knob->clearLabels();
        for (int v : {50, 20, 10, 5, 2, 1}) {
            const int i = knob->appendLabel();
            knob->setLabelText(i, QString::number(v) + QLatin1Char(' '));
            knob->setLabelValue(i, v);
        }
    }
    p_.CWBCHaEnable->setValue(true);
    p_.CWChaLed->setValue(true);
    p_.CWBCHAx10->setValue(true);
    p_.CWBCHAx10Led->setValue(true);
    p_.CWSTrigInd->setPointerVisible(QStringLiteral("CHa_Zero"), true);

    p_.CWBCHbEnable->setValue(false);
    p_.CWChbLed->setValue(false);
    p_.CWSTrigInd->setPointerVisible(QStringLiteral("CHb_Zero"), false);
    p_.CWBCHBx10->setValue(true);
    p_.CWBCHBx10Led->setValue(true);

    p_.chkAsource->setText(QStringLiteral("BNC")); // R7 bit 3 starts clear

    p_.CWKChaLvl->setSelectedLabel(1);
    p_.CWKChbLvl->setSelectedLabel(1);
}

void MainWindow::startGraphs() {
    for (widgets::Graph* g : {p_.CWGraph1, p_.CWGLogic}) {
        g->setInteractionMode(widgets::Graph::DragCursors);
        g->clearAll();
    }
}

// The saved panel, replayed through the handlers, then the options of our own parts.
void MainWindow::loadSavedPanel() {
    settings_->LoadSettings();
    engine_->setKeepRepeating(settings_->readKeepRepeating());
    captureTools_->loadSettings();
}

void MainWindow::fillStatusBar() {
    setPanelText(status::kFirmware, status::firmwareText());
    setPanelText(status::kBaudRate, status::baudText());
    setPanelText(status::kComPort, status::comPortText());
    setPanelText(status::kSampleRate, status::sampleRateText(s_.strSampleRate));
    setPanelText(status::kCursorData, status::cursorsOnText(s_.strCursorsOn));
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!closed_) {
        closed_ = true;
        engine_->stop();
        settings_->SaveSettings([this] {
            settings_->writeKeepRepeating(engine_->keepRepeating());
            captureTools_->saveSettings(
                [this](const char* section, const char* key, const std::string& value) {
                    settings_->writeOwn(section, key, value);
                });
        });
        showSettingsNote(settings_->lastSave().message);
    }
    event->accept();
}

void MainWindow::setPanelText(const std::string& key, const std::string& text) {
    p_.StatusBar1->setPanelText(QString::fromStdString(key), QString::fromStdString(text));
}

} // namespace tracely

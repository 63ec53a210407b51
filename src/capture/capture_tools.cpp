#include "src/capture/capture_tools.h"

#include "src/capture/capture_csv.h"
#include "src/capture/capture_file.h"
#include "src/capture/capture_log.h"
#include "src/capture/graph_export.h"
#include "src/instrument/status_texts.h"
#include "src/measure/measure_bar.h"
#include "src/measure/measure_settings.h"
#include "src/widgets/graph.h"
#include "src/widgets/keyed_status_bar.h"
#include "src/widgets/knob.h"
#include "src/widgets/slide.h"
#include "src/widgets/two_state_button.h"

#include <QAction>
#include <QCheckBox>
#include <QDateTime>
#include <QDockWidget>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QSaveFile>

#include <cmath>

namespace tracely {

namespace {

const QString kCaptureFilter = QStringLiteral("Tracely captures (*.tracely)");

void setError(QString* error, const QString& text) {
    qCInfo(lcCapture).noquote() << text;
    if (error) {
        *error = text;
    }
}

bool writeFile(const QString& path, const QByteArray& bytes, QString* error) {
    // Written whole or not at all: a failed export never leaves half a file behind.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        setError(error, QStringLiteral("Could not write ") + path + QStringLiteral(": ") +
                            file.errorString());
        return false;
    }
    return true;
}

// The status bar's link panel: a few words, the whole sentence in its tooltip.
void say(const FrontPanel& p, const QString& text, const QString& inFull) {
    p.StatusBar1->setPanelText(QString::fromLatin1(status::kLink), text);
    if (QLabel* label = p.StatusBar1->panel(QString::fromLatin1(status::kLink))) {
        label->setToolTip(inFull);
        label->setAccessibleName(QStringLiteral("link status: ") + inFull);
    }
}

} // namespace

CaptureTools::CaptureTools(QMainWindow* window, FrontPanelState& state, const FrontPanel& panel,
                           DisplayRoutines& display, MeasureBar* bar, std::string iniPath)
    : window_(window), s_(state), p_(panel), display_(display), bar_(bar),
      iniPath_(std::move(iniPath)) {
    messageBox_ = [this](const QString& title, const QString& text) {
        QMessageBox::warning(window_, title, text);
    };
    askPath_ = [this](const QString& caption, const QString& filter, bool save) {
        return save ? QFileDialog::getSaveFileName(window_, caption, QString(), filter)
                    : QFileDialog::getOpenFileName(window_, caption, QString(), filter);
    };
    buildMenus(window);
    connect(bar_, &MeasureBar::logicLineChanged, this, [this] { measure(); });
}

CaptureTools::~CaptureTools() = default;

QAction* CaptureTools::action(const QString& objectName) const {
    return window_->findChild<QAction*>(objectName);
}

void CaptureTools::buildMenus(QMainWindow* window) {
    QMenu* file = window->menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("mnuFile"));
    const auto add = [this](QMenu* menu, const char* id, const QString& text,
                            const QKeySequence& keys, auto slot) {
        QAction* a = menu->addAction(text);
        a->setObjectName(QString::fromLatin1(id));
        a->setShortcut(keys);
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    const QString csv = QStringLiteral("Comma-separated values (*.csv)");
    add(file, "actOpenCapture", QStringLiteral("&Open capture..."), QKeySequence::Open, [this] {
        fromMenu(QStringLiteral("Open capture"), kCaptureFilter, false, &CaptureTools::openCapture);
    });
    add(file, "actSaveCapture", QStringLiteral("&Save capture..."), QKeySequence::Save, [this] {
        fromMenu(QStringLiteral("Save capture"), kCaptureFilter, true, &CaptureTools::saveCapture);
    });
    file->addSeparator();
    add(file, "actExportCsv", QStringLiteral("Export &CSV..."),
        QKeySequence(QStringLiteral("Ctrl+E")), [this, csv] {
            fromMenu(QStringLiteral("Export CSV"), csv, true, &CaptureTools::exportCsv);
        });
    add(file, "actExportPng", QStringLiteral("Export &PNG..."),
        QKeySequence(QStringLiteral("Ctrl+Shift+P")), [this] {
            fromMenu(QStringLiteral("Export PNG"), QStringLiteral("PNG images (*.png)"), true,
                     &CaptureTools::exportPng);
        });
    add(file, "actExportSvg", QStringLiteral("Export S&VG..."),
        QKeySequence(QStringLiteral("Ctrl+Shift+S")), [this] {
            fromMenu(QStringLiteral("Export SVG"), QStringLiteral("SVG drawings (*.svg)"), true,
                     &CaptureTools::exportSvg);
        });
    file->addSeparator();
    recordAction_ =
        add(file, "actRecord", QStringLiteral("&Record captures..."),
            QKeySequence(QStringLiteral("Ctrl+R")), [this](bool on) { recordFromMenu(on); });
    recordAction_->setCheckable(true);
    add(file, "actPreviousCapture", QStringLiteral("P&revious capture in file"),
        QKeySequence(QStringLiteral("Ctrl+PgUp")), [this] { showOpened(openedIndex_ - 1); });
    add(file, "actNextCapture", QStringLiteral("&Next capture in file"),
        QKeySequence(QStringLiteral("Ctrl+PgDown")), [this] { showOpened(openedIndex_ + 1); });
    file->addSeparator();
    add(file, "actPrint", QStringLiteral("&Print..."), QKeySequence::Print,
        [this] { printFromMenu(); });
    file->addSeparator();
    add(file, "actQuit", QStringLiteral("&Quit"), QKeySequence::Quit, [this] { window_->close(); });

    QMenu* view = window->menuBar()->addMenu(QStringLiteral("&View"));
    view->setObjectName(QStringLiteral("mnuView"));
    barAction_ = add(view, "actMeasurements", QStringLiteral("&Measurements"),
                     QKeySequence(QStringLiteral("Ctrl+M")), [this](bool on) { setBarShown(on); });
    barAction_->setCheckable(true);
}

void CaptureTools::fromMenu(const QString& caption, const QString& filter, bool save,
                            bool (CaptureTools::*act)(const QString&, QString*)) {
    if (save && !record_) {
        messageBox_(caption, QStringLiteral("There is no capture yet: acquire one or open a "
                                            "capture file first."));
        return;
    }
    QString path = askPath_(caption, filter, save);
    if (path.isEmpty()) {
        return;
    }
    // The chooser's filter names the extension; a name typed without one gets it.
    const QString ext = filter.section(QStringLiteral("*."), 1).section(QLatin1Char(')'), 0, 0);
    if (save && QFileInfo(path).suffix().isEmpty() && !ext.isEmpty()) {
        path += QLatin1Char('.') + ext;
    }
    QString error;
    if (!(this->*act)(path, &error)) {
        messageBox_(caption, error);
    }
}

void CaptureTools::printFromMenu() {
    if (!record_) {
        messageBox_(QStringLiteral("Print"), QStringLiteral("There is no capture to print yet."));
        return;
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    QPrintDialog dialog(&printer, window_);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    QString error;
    if (!print(printer, &error)) {
        messageBox_(QStringLiteral("Print"), error);
    }
}

CapturePanelFacts CaptureTools::panelFacts() const {
    CapturePanelFacts f;
    f.timeRange = static_cast<int>(std::lround(p_.CWKTimeRange->value()));
    f.a.enabled = p_.CWBCHaEnable->value();
    f.a.level = p_.CWKChaLvl->selectedLabel();
    f.a.x10 = p_.CWBCHAx10->value();
    f.a.inverted = p_.CWBCHAInv->value();
    f.b.enabled = p_.CWBCHbEnable->value();
    f.b.level = p_.CWKChbLvl->selectedLabel();
    f.b.x10 = p_.CWBCHBx10->value();
    f.b.inverted = p_.CWBCHBInv->value();
    f.pod = p_.chkAsource->isChecked();
    f.primaryB = p_.CWBPriChan->value();
    f.logicTrigger = p_.chkTrigSource->isChecked();
    f.triggerMode = p_.optTrigRE->isChecked()   ? TriggerMode::Rising
                    : p_.optTrigFE->isChecked() ? TriggerMode::Falling
                                                : TriggerMode::Level;
    f.triggerLevel = static_cast<int>(std::lround(p_.CWKTrigLvl->value()));
    f.triggerWord.clear();
    for (int n = 7; n >= 0; --n) {
        const QString t = p_.cmdTrigB[static_cast<std::size_t>(n)]->text();
        f.triggerWord += t == QStringLiteral("1") ? '1' : t == QStringLiteral("0") ? '0' : 'X';
    }
    f.takenAt = QDateTime::currentDateTimeUtc().toString(Qt::ISODate).toStdString();
    return f;
}

void CaptureTools::captureDrawn() {
    record_ = recordFromState(s_, panelFacts());
    points_ = displayPointsOf(*record_);
    measure();
    appendToRecording();
}

void CaptureTools::recordFromMenu(bool on) {
    if (!on) {
        stopRecording();
        return;
    }
    QString path = askPath_(QStringLiteral("Record captures"), kCaptureFilter, true);
    if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty()) {
        path += QStringLiteral(".tracely");
    }
    QString error;
    if (path.isEmpty() || !startRecording(path, &error)) {
        recordAction_->setChecked(false);
        if (!error.isEmpty()) {
            messageBox_(QStringLiteral("Record captures"), error);
        }
    }
}

bool CaptureTools::startRecording(const QString& path, QString* error) {
    stopRecording();
    auto file = std::make_unique<QFile>(path);
    const QByteArray start =
        QByteArray::fromStdString(capture_file::header() + capture_file::endMark());
    if (!file->open(QIODevice::ReadWrite | QIODevice::Truncate) ||
        file->write(start) != start.size() || !file->flush()) {
        setError(error, QStringLiteral("Could not write ") + path + QStringLiteral(": ") +
                            file->errorString());
        return false;
    }
    recordFile_ = std::move(file);
    recorded_ = 0;
    recordAction_->setChecked(true);
    return true;
}

void CaptureTools::stopRecording() {
    if (recordFile_) {
        recordFile_->close();
        recordFile_.reset();
        p_.StatusBar1->setPanelText(QString::fromLatin1(status::kLink),
                                    QStringLiteral("Recorded %1 captures").arg(recorded_));
    }
    recordAction_->setChecked(false);
}

// Each capture goes in place of the end mark, which follows it again: the file is whole after
// every capture, so stopping (or losing power) between captures loses nothing.
void CaptureTools::appendToRecording() {
    if (!recordFile_ || !record_) {
        return;
    }
    const QByteArray more =
        QByteArray::fromStdString(capture_file::captureParts(*record_) + capture_file::endMark());
    const qint64 end = recordFile_->size() - static_cast<qint64>(capture_file::kEndBytes);
    if (recordFile_->size() + more.size() > static_cast<qint64>(capture_file::kMaxBytes)) {
        stopRecording();
        messageBox_(QStringLiteral("Record captures"),
                    QStringLiteral("The recording is full; it was stopped after %1 captures.")
                        .arg(recorded_));
        return;
    }
    if (!recordFile_->seek(end) || recordFile_->write(more) != more.size() ||
        !recordFile_->flush()) {
        const QString why = recordFile_->errorString();
        qCInfo(lcCapture).noquote() << "recording stopped:" << why;
        stopRecording();
        messageBox_(QStringLiteral("Record captures"),
                    QStringLiteral("The recording stopped: ") + why);
        return;
    }
    ++recorded_;
    p_.StatusBar1->setPanelText(QString::fromLatin1(status::kLink),
                                QStringLiteral("Recording: %1 captures").arg(recorded_));
}

void CaptureTools::showOpened(int index) {
    if (index < 0 || index >= openedCount()) {
        return;
    }
    openedIndex_ = index;
    applyRecord(opened_[static_cast<std::size_t>(index)]);
    const QString where = QStringLiteral("Capture %1 of %2").arg(index + 1).arg(openedCount());
    say(p_, where, where + QStringLiteral(" in the file; Acquire returns to the instrument"));
}

void CaptureTools::measure() {
    if (!record_) {
        bar_->showNothing(QStringLiteral("no capture yet"));
        return;
    }
    const CaptureRecord& r = *record_;
    char which = 0;
    const std::vector<float>* volts = points_.analog(r, &which);
    const double dt = r.timeAdj;
    measure::AnalogMeasurements a;
    if (volts) {
        const float adj = which == 'B' ? r.b.adj : r.a.adj;
        a = measure::measureAnalog({*volts, dt, -128.0 * adj, 127.0 * adj});
    } else {
        const measure::Value none = measure::Value::none("no analog channel was captured");
        a = {none, none, none, none, none, none, none, none, none, none};
    }
    bar_->showValues(volts ? QStringLiteral("CH ") + QLatin1Char(which) : QStringLiteral("no CH"),
                     a, measure::measureLogic(points_.logic, bar_->logicLine(), dt));
}

bool CaptureTools::needCapture(QString* error) const {
    if (!record_) {
        setError(error, QStringLiteral("There is no capture yet: acquire one or open a capture "
                                       "file first."));
        return false;
    }
    return true;
}

bool CaptureTools::saveCapture(const QString& path, QString* error) {
    if (!needCapture(error)) {
        return false;
    }
    return writeFile(path, QByteArray::fromStdString(capture_file::write(*record_)), error);
}

bool CaptureTools::exportCsv(const QString& path, QString* error) {
    if (!needCapture(error)) {
        return false;
    }
    return writeFile(path, QByteArray::fromStdString(captureCsv(*record_, points_)), error);
}

bool CaptureTools::exportPng(const QString& path, QString* error) {
    return needCapture(error) && graph_export::savePng(path, {p_.CWGraph1, p_.CWGLogic}, error);
}

bool CaptureTools::exportSvg(const QString& path, QString* error) {
    return needCapture(error) && graph_export::saveSvg(path, {p_.CWGraph1, p_.CWGLogic}, error);
}

bool CaptureTools::print(QPrinter& printer, QString* error) {
    return needCapture(error) && graph_export::print(printer, {p_.CWGraph1, p_.CWGLogic}, error);
}

bool CaptureTools::openCapture(const QString& path, QString* error) {
    // A pipe or a device would never end; a folder has nothing to read.
    if (!QFileInfo(path).isFile()) {
        setError(error, path + QStringLiteral(" is not a capture file (not a regular file)."));
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        setError(error, QStringLiteral("Could not open ") + path + QStringLiteral(": ") +
                            file.errorString());
        return false;
    }
    // Read no more than a capture can be, whatever the file claims to be.
    const QByteArray bytes = file.read(static_cast<qint64>(capture_file::kMaxBytes) + 1);
    const capture_file::ReadResult result = capture_file::read(
        std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    if (result.records.empty()) {
        setError(error, QFileInfo(path).fileName() + QStringLiteral(": ") +
                            QString::fromStdString(result.message));
        return false;
    }
    stopRecording(); // the opened capture is not the instrument's
    opened_ = result.records;
    showOpened(0);
    if (openedCount() == 1) {
        const QString name = QFileInfo(path).fileName();
        say(p_, QStringLiteral("Showing ") + name,
            QStringLiteral("Showing the capture in ") + name +
                QStringLiteral("; Acquire returns to the instrument"));
    }
    return true;
}

void CaptureTools::applyRecord(const CaptureRecord& r) {
    // A capture from the instrument must not replace the one opened, until "Acquire".
    s_.blnStored = true;
    if (!r.sampleRate.empty()) {
        s_.strSampleRate = r.sampleRate;
        s_.strSampleClock = r.sampleClock;
    }
    if (!s_.blnConnected) {
        s_.lngBaudRate = r.baud; // a live link keeps its own speed
    }
    // The panel as the capture was taken; each control's own handler follows.
    p_.chkAsource->setChecked(r.pod);
    if (!r.pod) {
        p_.CWBCHAx10->setValue(r.a.x10);
        p_.CWBCHBx10->setValue(r.b.x10);
    }
    p_.CWKChaLvl->setSelectedLabel(r.a.level);
    p_.CWKChbLvl->setSelectedLabel(r.b.level);
    p_.CWSCHaOffset->setValue(r.a.offset);
    p_.CWSCHbOffset->setValue(r.b.offset);
    p_.CWBCHAInv->setValue(r.a.inverted);
    p_.CWBCHBInv->setValue(r.b.inverted);
    p_.CWBCHaEnable->setValue(r.a.enabled);
    p_.CWBCHbEnable->setValue(r.b.enabled);
    p_.CWKTimeRange->setValue(r.timeRange);
    // The capture's own timebase; the next Update recomputes the instrument's.
    s_.sngTimeAdj = r.timeAdj;
    s_.lngTimeScale = r.timeScale;
    s_.intTimeBase = r.timeBase;
    s_.blnTimeChanged = true;

    record_ = r;
    points_ = displayPointsOf(r);
    if (r.a.enabled && !r.b.enabled) {
        s_.sngCHaData = points_.cha;
    }
    if (r.b.enabled && !r.a.enabled) {
        s_.sngCHbData = points_.chb;
    }
    s_.bytLogicData = points_.logic;
    s_.intTrigIndex = points_.trigIndex;
    s_.blnCaptureDone = true;
    p_.StatusBar1->setPanelText(QString::fromLatin1(status::kSampleRate),
                                QString::fromStdString(status::sampleRateText(s_.strSampleRate)));
    display_.PlotAnalog();
    display_.PlotLogic();
    display_.DisplayCursorData();
    measure();
}

void CaptureTools::setBarShown(bool shown) {
    // The bar may sit in a holder of its own (a dock) that should vanish with it.
    QWidget* holder = bar_->parentWidget();
    (qobject_cast<QDockWidget*>(holder) != nullptr ? holder : bar_)->setVisible(shown);
    if (barAction_->isChecked() != shown) {
        barAction_->setChecked(shown);
    }
}

bool CaptureTools::barShown() const {
    return barAction_->isChecked();
}

void CaptureTools::loadSettings() {
    const MeasureSettings m = readMeasureSettings(iniPath_);
    bar_->setLogicLine(m.logicLine);
    setBarShown(m.barShown);
}

void CaptureTools::saveSettings(const SettingWriter& write) const {
    writeMeasureSettings({barShown(), bar_->logicLine()}, write);
}

} // namespace tracely

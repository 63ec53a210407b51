#pragma once

#include "src/capture/capture_record.h"
#include "src/core/front_panel_state.h"
#include "src/core/panel_routines.h"
#include "src/measure/measure_settings.h"
#include "src/panel/front_panel.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QFile;
class QMainWindow;
class QPrinter;

namespace tracely {

class MeasureBar;

// Takes the trace off the screen: keeps the capture last drawn (or opened), measures it into the
// measurement bar, saves and opens .tracely capture files, exports CSV, PNG and SVG, prints,
// and puts all of that in the window's File and View menus.
class CaptureTools : public QObject {
    Q_OBJECT
public:
    // A modal message (title, text), and a file chooser (caption, filter, save?) returning the
    // chosen path or nothing; tests put their own in place of the dialogs.
    using MessageBox = std::function<void(const QString& title, const QString& text)>;
    using AskPath =
        std::function<QString(const QString& caption, const QString& filter, bool save)>;

    CaptureTools(QMainWindow* window, FrontPanelState& state, const FrontPanel& panel,
                 DisplayRoutines& display, MeasureBar* bar, std::string iniPath);
    ~CaptureTools() override; // a recording's file closes with it

    void setMessageBox(MessageBox box) { messageBox_ = std::move(box); }
    void setAskPath(AskPath ask) { askPath_ = std::move(ask); }

    // A capture was drawn: it becomes the current one.
    void captureDrawn();
    const std::optional<CaptureRecord>& current() const { return record_; }
    const CapturePoints& points() const { return points_; }

    // Each returns false with the reason in `error` (a sentence for the user).
    [[nodiscard]] bool saveCapture(const QString& path, QString* error);
    [[nodiscard]] bool openCapture(const QString& path, QString* error);
    [[nodiscard]] bool exportCsv(const QString& path, QString* error);
    [[nodiscard]] bool exportPng(const QString& path, QString* error);
    [[nodiscard]] bool exportSvg(const QString& path, QString* error);
    [[nodiscard]] bool print(QPrinter& printer, QString* error);

    // Continuous record: while on, every capture drawn is appended to the file. A file that
    // holds several captures opens at its first; these step through them.
    [[nodiscard]] bool startRecording(const QString& path, QString* error);
    void stopRecording();
    bool recording() const { return recordFile_ != nullptr; }
    int recordedCount() const { return recorded_; }
    int openedCount() const { return static_cast<int>(opened_.size()); }
    int openedIndex() const { return openedIndex_; }
    void showOpened(int index); // 0-based; others are ignored

    void setBarShown(bool shown);
    bool barShown() const;
    // The bar's settings from and to TRACELY.INI ([MEASURE] only).
    void loadSettings();
    void saveSettings(const SettingWriter& write) const;

    QAction* action(const QString& objectName) const;

private:
    void buildMenus(QMainWindow* window);
    void measure();
    void applyRecord(const CaptureRecord& r);
    CapturePanelFacts panelFacts() const;
    bool needCapture(QString* error) const;
    // Runs a file action from the menu: asks for the path, reports a failure.
    void fromMenu(const QString& caption, const QString& filter, bool save,
                  bool (CaptureTools::*act)(const QString&, QString*));
    void printFromMenu();
    void recordFromMenu(bool on);
    void appendToRecording();

    QMainWindow* window_;
    FrontPanelState& s_;
    FrontPanel p_;
    DisplayRoutines& display_;
    MeasureBar* bar_;
    std::string iniPath_;
    std::optional<CaptureRecord> record_;
    CapturePoints points_;
    QAction* barAction_ = nullptr;
    QAction* recordAction_ = nullptr;
    std::unique_ptr<QFile> recordFile_;
    int recorded_ = 0;
    std::vector<CaptureRecord> opened_;
    int openedIndex_ = 0;
    MessageBox messageBox_;
    AskPath askPath_;
};

} // namespace tracely

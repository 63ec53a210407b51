#pragma once

#include "src/acquire/acquisition_engine.h"
#include "src/core/front_panel_state.h"
#include "src/panel/front_panel.h"
#include "src/settings/settings_place.h"

#include <QMainWindow>

#include <functional>
#include <memory>

namespace tracely {

class CaptureTools;
class Controls;
class Display;
class ElasticWindow;
class class_Elastic;
class HelpLauncher;
class PanelWords;
class SettingsFile;
class SplashBox;

// The instrument's one window and the composition root: it owns the state, the widgets, the
// serial port and every part, and hands each part the others' routines once.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // A modal message (title, text); tests put their own in place of the dialog.
    using MessageBox = std::function<void(const QString& title, const QString& text)>;

    // Settings read from and saved to one file.
    explicit MainWindow(std::string settingsPath, QWidget* parent = nullptr);
    explicit MainWindow(SettingsLocation settings, QWidget* parent = nullptr);
    ~MainWindow() override;

    void setMessageBox(MessageBox box) { messageBox_ = std::move(box); }
    // How long the splash box stays at least (3 s; tests need no wait).
    void setSplashTime(int ms) { splashMs_ = ms; }
    // Start-up need not keep the splash box for its minimum time (the program is stopping).
    void endSplashTime();

    FrontPanelState& state() { return s_; }
    const FrontPanel& panel() const { return p_; }
    PanelWords& words() { return *words_; }
    AcquisitionEngine& engine() { return *engine_; }
    SettingsFile& settings() { return *settings_; }
    CaptureTools& captureTools() { return *captureTools_; }

    // The start-up of the window: first values, scales, markers, the saved panel.
    void formLoad();
    // After every size change: a restored window kept at its minimum, then the elastic layout.
    void formResize();
    // The window as the elastic layout sees it (twips, the controls in their fixed order).
    const ElasticWindow& layoutForm() const { return *form_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void setPanelText(const std::string& key, const std::string& text);
    void connectEngine();
    void connectWords();
    void showHealth();
    void showLinkText(const QString& text, const QString& inFull = {});
    void openOptions();
    void helpButtonChanged(bool value);

    QString configuredPort(int n) const;
    void showSettingsNote(const std::string& note);
    void connectWindowButtons();
    // Start-up: the designed size, centred; at its end, the panel's layout recorded.
    void sizeAsDesigned();
    // The steps of formLoad, in its order.
    void startTrigger();
    void startChannels();
    void startGraphs();
    void loadSavedPanel();
    void fillStatusBar();
    void initLayout();
    void addShortcuts();

    FrontPanelState s_;
    FrontPanel p_;
    const SettingsLocation settingsWhere_; // as found at start: the engine's thread reads it
    std::unique_ptr<AcquisitionEngine> engine_;
    std::unique_ptr<Display> display_;
    std::unique_ptr<Controls> controls_;
    std::unique_ptr<SettingsFile> settings_;
    std::unique_ptr<HelpLauncher> help_;
    std::unique_ptr<CaptureTools> captureTools_; // File and View menus, measurements
    std::unique_ptr<ElasticWindow> form_;
    std::unique_ptr<class_Elastic> elastic_; // made on first use
    bool blnLayoutInit = false;              // while the layout records the panel
    SplashBox* splash_ = nullptr;            // owned by the window
    PanelWords* words_ = nullptr;            // owned by the window
    MessageBox messageBox_;
    int splashMs_ = 3000;
    bool closed_ = false;
};

} // namespace tracely

#pragma once

#include "src/acquire/link_options.h"
#include "src/core/front_panel_state.h"
#include "src/core/panel_routines.h"
#include "src/panel/front_panel.h"

#include <QDialog>

#include <array>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class QTabBar;

namespace tracely {

// The Options dialog (frmOptions): the options that have no control on the front panel, on
// four tabbed pages. It is filled from the shared state when it is created; Apply and OK write
// the state back, only a port pick takes effect at once. Create one per opening and run it
// modally; it never touches the settings file.
class OptionsDialog : public QDialog {
    Q_OBJECT
public:
    OptionsDialog(FrontPanelState& state, const FrontPanel& panel, LinkOptions& link,
                  DisplayRoutines& display, QWidget* parent = nullptr);

    // cmdApply: writes the dialog's choices into the state and the main window.
    void apply();
    // Ctrl+Tab: the next tab, the first after the last.
    void nextTab();

    bool dialogReady() const { return blnDialogReady; }
    bool portChanged() const { return blnPortChanged; }

    QTabBar* tbsOptions = nullptr;
    QStackedWidget* pages = nullptr; // picOptions0 .. picOptions3, page i for tab i
    QGroupBox* fraDD7 = nullptr;
    QRadioButton* optLogic = nullptr;
    QRadioButton* optTrig = nullptr;
    QComboBox* cboTrigPos = nullptr;
    QComboBox* cboSampleClock = nullptr;
    QComboBox* cboSampleRate = nullptr;
    QComboBox* cboChaSel = nullptr;
    QRadioButton* optFrequency = nullptr;
    QRadioButton* optVoltage = nullptr;
    QRadioButton* optTime = nullptr;
    QCheckBox* chkPlotPoints = nullptr;
    QCheckBox* chkTrigVisible = nullptr;
    QCheckBox* chkLogic = nullptr;
    QCheckBox* chkAnalog = nullptr;
    QCheckBox* chkEnabled = nullptr;
    QComboBox* cboComPort = nullptr;
    QComboBox* cboBaudRate = nullptr;
    QCheckBox* chkKeepRepeating = nullptr;
    QLabel* lblLinkHealth = nullptr;
    QPushButton* cmdApply = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdOK = nullptr;

protected:
    // The dialog sees Ctrl+Tab before its controls do.
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildControls();
    QWidget* buildCapturePage();
    QWidget* buildCursorsPage();
    QWidget* buildControlsPage();
    QWidget* buildCommunicationsPage();
    QWidget* buildLinkPage();
    void showLinkHealth();
    void connectControls();
    void fillFromState();
    void fillPortList();
    void showTab(int index);
    void cursorTypeClicked();
    void portPicked(int index);
    void applyCursorType();

    FrontPanelState& s_;
    const FrontPanel& p_;
    LinkOptions& link_;
    DisplayRoutines& display_;
    bool blnDialogReady = false;
    bool blnPortChanged = false;
};

} // namespace tracely

#pragma once

#include <array>

class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTabBar;
class QWidget;

namespace tracely::widgets {
class Graph;
class KeyedStatusBar;
class Knob;
class Slide;
class TwoStateButton;
} // namespace tracely::widgets

namespace tracely {

// Every control of the front panel, by the identifier the team uses for it (also its object
// name). The main window owns the widgets through Qt parents; the handlers reach them here.
struct FrontPanel {
    using Button = widgets::TwoStateButton;

    // Channel A
    Button* CWBCHaEnable = nullptr;
    Button* CWChaLed = nullptr;
    widgets::Knob* CWKChaLvl = nullptr;
    Button* CWBCHAx10 = nullptr;
    Button* CWBCHAx10Led = nullptr;
    Button* CWBCHAInv = nullptr;
    Button* CWBCHAInvLed = nullptr;
    widgets::Slide* CWSCHaOffset = nullptr;
    Button* CWBCHaCal = nullptr;
    Button* CWBChaCalLed = nullptr;

    // Channel B
    Button* CWBCHbEnable = nullptr;
    Button* CWChbLed = nullptr;
    widgets::Knob* CWKChbLvl = nullptr;
    Button* CWBCHBx10 = nullptr;
    Button* CWBCHBx10Led = nullptr;
    Button* CWBCHBInv = nullptr;
    Button* CWBCHBInvLed = nullptr;
    widgets::Slide* CWSCHbOffset = nullptr;
    Button* CWBCHbCal = nullptr;
    Button* CWBChbCalLed = nullptr;

    // Shared channel controls
    Button* CWBPriChan = nullptr;    // off: channel A primary
    QCheckBox* chkAsource = nullptr; // checked: "POD", clear: "BNC"

    // Graphs and the marker slide beside the analog graph
    widgets::Graph* CWGraph1 = nullptr;   // plots "CHa", "CHb", "Trig"
    widgets::Graph* CWGLogic = nullptr;   // plots 1..8, one per logic line
    widgets::Slide* CWSTrigInd = nullptr; // pointers "TrigLvl", "CHa_Zero", "CHb_Zero"

    // Timebase and pan
    widgets::Knob* CWKTimeRange = nullptr;
    widgets::Knob* CWKPan = nullptr;
    widgets::Slide* CWSPan = nullptr;
    Button* CWBRePan = nullptr;
    Button* CWBPanLED = nullptr;

    // Trigger
    QCheckBox* chkTrigSource = nullptr; // checked: logic ("D"), clear: analog ("A")
    QRadioButton* optTrigRE = nullptr;
    QRadioButton* optTrigFE = nullptr;
    QRadioButton* optTrigLVL = nullptr;
    widgets::Knob* CWKTrigLvl = nullptr;
    std::array<QPushButton*, 8> cmdTrigB{}; // index n is cmdTrigBn, bit n of the word

    // Capture
    QPushButton* cmdCapture = nullptr; // "Acquire"
    QPushButton* cmdStore = nullptr;   // "Store"
    Button* CWBSampleMode = nullptr;   // off: single ("S"), on: repeat ("R")
    Button* CWBTrigLed = nullptr;      // the link's status light

    // Cursors
    Button* CWBCursors = nullptr;
    QLabel* lblCursorData = nullptr;

    // Window buttons and status
    Button* CWBMenu = nullptr;
    Button* CWBHelp = nullptr;
    widgets::KeyedStatusBar* StatusBar1 = nullptr;
    QProgressBar* prgDump = nullptr; // in the status bar, while a long dump arrives
};

// Creates every control with its identifier, caption and scale range as designed, lays them
// out as the instrument's front panel inside `host`, and returns them. The status bar is
// created but not placed: the window puts it at its foot.
FrontPanel buildFrontPanel(QWidget* host);

} // namespace tracely

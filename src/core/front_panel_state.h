#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "src/instrument/trigger_codes.h"

namespace tracely {

// One row of the raw capture: the analog sample byte and the logic byte of the same sample.
struct SampleRow {
    std::uint8_t analog = 0; // column 1
    std::uint8_t logic = 0;  // column 2
};

// Logic display point: line k (1..8) at index k-1, each 0 or 1.
using LogicPoint = std::array<std::uint8_t, 8>;

// The state the whole front panel shares, in its four layers. Plain data, touched only from
// the GUI thread. Names follow the team's vocabulary (type prefix, register numbers) so that
// every handler reads like the panel it serves. Arrays that the panel numbers from 1 are
// stored from 0: row r of bytSampleBuf is bytSampleBuf[r - 1], display point p is
// sngCHaData[p - 1]. The values given here are the start-up values; nothing else repeats them.
//
// A part that needs one layer takes a reference to that layer's type; a part that needs
// several takes the whole FrontPanelState.

// Layer 1, the register image: one byte per instrument register the program programs.
// Handlers change it; only Update and RequestDump send it.
struct RegisterImageLayer {
    std::uint8_t bytREG_R3 = 0;
    std::uint8_t bytREG_R4 = 0;
    std::uint8_t bytREG_R5 = 128; // analog level trigger at mid scale
    std::uint8_t bytREG_R6 = 0;
    std::uint8_t bytREG_R7 = regs::kR7Start; // analog trigger source, BNC input, level mode
    std::uint8_t bytREG_R8 = regs::kR8Bit0;
    std::uint8_t bytREG_R11 = 0;
    std::uint8_t bytREG_R12 = 0;
    std::uint8_t bytREG_R13 = 0;
    std::uint8_t bytREG_R14 = 0;
    std::uint8_t bytREG_R15 = 0;
    std::uint8_t bytREG_R20 = 0;
};

// Layer 2, the program-level link, option and text variables, which the Options dialog
// reads and writes as directly as the main window does.
struct ProgramVariables {
    bool blnConnected = false;
    bool blnTimeChanged = false;
    bool blnAutoPort = true;
    std::int16_t intComPort = 1;
    std::int32_t lngBaudRate = 57600;
    std::string varFirmware;
    std::string strSampleRate = "25MSa/s";
    std::string strSampleClock = "25MHz";
    std::string strCursorsOn = "CH A";
    float sngTrigPos = 5.0f;
    bool blnShowTrigLogic = true;
    bool blnPlotTrig = true;
    bool blnShowAN = true;
    bool blnShowLA = true;
    bool blnPlotPoints = false;
};

// Layer 3, the main window's members. The public ones, read by the display and the link:
struct WindowPublicMembers {
    std::uint8_t bytS_REG_R5 = 0; // R5..R8 as the latest Update sent them
    std::uint8_t bytS_REG_R6 = 0;
    std::uint8_t bytS_REG_R7 = 0;
    std::uint8_t bytS_REG_R8 = 0;
    std::uint8_t bytCHaRange = 3;
    std::uint8_t bytCHbRange = 3;
    float sngCHaScale = 0.02f;
    float sngCHbScale = 0.02f;
    float sngCHaAdj = 0.28705883f;
    float sngCHbAdj = 0.28705883f;
    float sngCHaOffset = 0.0f;
    float sngCHbOffset = 0.0f;
    std::int32_t lngTimeScale = 1000000;
    float sngTimeAdj = 4e-08f;
    std::int16_t intTimeBase = 1;
    std::int16_t intCursorType = 1;
    std::optional<double> varCursorDif; // empty until the cursors first read a difference
    double dblPlotBase = 0.0;
};

// The private ones: the capture's sizes, buffers, display points and flags.
struct WindowCaptureMembers {
    std::int16_t intCHaLen = 0;
    std::int16_t intCHbLen = 0;
    std::int16_t intLogicLen = 0;
    std::int16_t intCHaLenNext = 0;
    std::int16_t intCHbLenNext = 0;
    std::int16_t intLogicLenNext = 0;
    std::int16_t intChunksLeft = 0;
    std::int16_t intChunksNext = 0;
    std::int16_t intCaptureLen = 0;
    std::int16_t intCaptureLenNext = 0;
    std::int16_t intTrigStart = 0;
    std::int16_t intTrigStartNext = 0;
    std::int16_t intDumpOffset = 0;
    std::int16_t intDumpOffsetNext = 0;
    std::int16_t intTrigIndex = 0;
    std::vector<SampleRow> bytSampleBuf;
    std::int16_t intWriteIdx = 1;
    std::string varTrigAnswer;
    std::vector<float> sngCHaData = std::vector<float>(2);
    std::vector<float> sngCHbData = std::vector<float>(2);
    std::vector<LogicPoint> bytLogicData = std::vector<LogicPoint>(2);
    bool blnAwaitTrig = false;
    bool blnDumping = false;
    bool blnArmed = false;
    bool blnRepeat = false;
    bool blnCaptureDone = false;
    bool blnStored = false;
    bool blnSendFailed = false;
};

// The window's horizontal pan.
struct WindowPanState {
    double dblPanPos = 1.0;
    double dblPanKnobLast = 1.0;
    double varPanStart = 0.0; // graph x of the window's left edge
};

struct MainWindowMembers : WindowPublicMembers, WindowCaptureMembers, WindowPanState {};

// Layer 4, the settings held by the front-panel widgets (knob positions, button states,
// captions), has no variables: whoever needs one reads its widget.
struct FrontPanelState : RegisterImageLayer, ProgramVariables, MainWindowMembers {};

// Update's hand-over of the capture geometry that CofigTime prepared: the sizes take effect for
// the capture the same Update requests, never for one already under way.
void commitCaptureGeometry(WindowCaptureMembers& s);

} // namespace tracely

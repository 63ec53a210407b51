#pragma once

#include "src/core/front_panel_state.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace tracely {

inline bool operator==(const SampleRow& x, const SampleRow& y) {
    return x.analog == y.analog && x.logic == y.logic;
}

// One analog channel as the capture was taken.
struct CaptureChannel {
    bool enabled = false;
    int level = 1; // volts-per-division knob position, 1..6
    bool x10 = false;
    bool inverted = false;
    float offset = 0.0f; // divisions
    std::uint8_t range = 3;
    float adj = 0.0f;   // volts per converter count
    float scale = 0.0f; // divisions per volt
    double voltsPerDiv() const { return scale > 0.0f ? 1.0 / scale : 0.0; }
    bool operator==(const CaptureChannel&) const = default;
};

enum class TriggerMode { Level, Rising, Falling };

// Everything a capture needs to be drawn, measured and exported again without the instrument:
// the raw sample rows, the registers it was programmed with, the timebase and the channels.
struct CaptureRecord {
    std::vector<SampleRow> samples; // bytSampleBuf, row 1 first

    // Registers R3..R20 of the image (index = register number) and R5..R8 as sent.
    std::array<std::uint8_t, 21> image{};
    std::array<std::uint8_t, 4> sent{}; // R5, R6, R7, R8

    // Timebase.
    int timeRange = 10; // knob position 1..21
    std::string sampleRate;
    std::string sampleClock;
    std::int32_t baud = 57600;
    float timeAdj = 0.0f;       // seconds per display point
    std::int32_t timeScale = 1; // graph units per second
    std::int16_t timeBase = 1;  // 0 ns, 1 µs, 2 ms
    std::int16_t trigRow = 1;   // the row the trigger search found
    std::int16_t chaLen = 0;    // display points per analog channel and logic trace
    std::int16_t chbLen = 0;
    std::int16_t logicLen = 0;

    CaptureChannel a, b;
    bool pod = false;      // analog input from the pod instead of the BNC
    bool primaryB = false; // channel B is the primary channel

    bool logicTrigger = false;
    TriggerMode triggerMode = TriggerMode::Level;
    int triggerLevel = 128;
    std::string triggerWord = "XXXXXXXX"; // bits 7..0
    bool showTrigLogic = true;

    std::string firmware;
    std::string takenAt; // UTC, ISO 8601; empty when unknown

    bool operator==(const CaptureRecord&) const = default;
};

// The display points of a capture, as the capture cycle makes them.
struct CapturePoints {
    std::vector<float> cha, chb;
    std::vector<LogicPoint> logic;
    std::int16_t trigIndex = 1; // the trigger's display point

    // The one analog channel that has points (A, B), or none.
    const std::vector<float>* analog(const CaptureRecord& r, char* which = nullptr) const;
};

CapturePoints displayPointsOf(const CaptureRecord& r);

// The capture now in the state, with the panel facts the state does not hold.
struct CapturePanelFacts {
    int timeRange = 10;
    CaptureChannel a, b; // enabled, level, x10, inverted filled in by the caller
    bool pod = false;
    bool primaryB = false;
    bool logicTrigger = false;
    TriggerMode triggerMode = TriggerMode::Level;
    int triggerLevel = 128;
    std::string triggerWord = "XXXXXXXX";
    std::string takenAt;
};
CaptureRecord recordFromState(const FrontPanelState& s, const CapturePanelFacts& facts);

} // namespace tracely

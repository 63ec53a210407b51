#pragma once

#include "src/core/front_panel_state.h"

#include <cstdint>
#include <vector>

// The arithmetic behind the analog and logic plots and the pan knob, kept free of widgets.
namespace tracely::display {

// Graph x units one display point spans, in single precision as the state holds its factors.
float plotStep(float timeAdj, std::int32_t timeScale);

// Graph x of display point 1, so that point `trigIndex` (1-based) lands on `trigPos`.
double plotBase(float trigPos, int trigIndex, float step);

// One channel's y values in divisions: volts x scale, negated when inverted, plus offset.
// Computed in single precision like the display points themselves.
std::vector<double> analogY(const std::vector<float>& volts, float scale, bool inverted,
                            float offset);

// The logic lines as a row-major points x 8 matrix: line k (1..8) of point p sits at
// bit x 0.5 + (k - 1), so that line k moves between k - 1 and k - 0.5.
inline constexpr int kLogicLines = 8;
std::vector<double> logicMatrix(const std::vector<LogicPoint>& points);

// Divisions one pan-knob event moves the window: a quarter division in the direction the
// knob turned, whatever the size of its jump, with the wrap between 10 and 1 read as one step.
inline constexpr double kPanQuantum = 0.25;
double panStep(double lastKnobValue, double knobValue);

} // namespace tracely::display

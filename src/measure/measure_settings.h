#pragma once

#include <string>

namespace tracely {

// The measurement bar's settings in TRACELY.INI, in a section of their own ("[MEASURE]") so the
// front panel's sections stay exactly as they are.
struct MeasureSettings {
    bool barShown = false;
    int logicLine = 0; // D0..D7
};

MeasureSettings readMeasureSettings(const std::string& iniPath);
// Writes only the [MEASURE] keys; everything else in the file is left alone.
void writeMeasureSettings(const std::string& iniPath, const MeasureSettings& m);

} // namespace tracely

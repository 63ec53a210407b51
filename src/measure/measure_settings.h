#pragma once

#include <functional>
#include <string>

namespace tracely {

// The measurement bar's settings in TRACELY.INI, in a section of their own ("[MEASURE]") so the
// front panel's sections stay exactly as they are.
struct MeasureSettings {
    bool barShown = false;
    int logicLine = 0; // D0..D7
};

MeasureSettings readMeasureSettings(const std::string& iniPath);
// Hands each [MEASURE] key to `write`, in order, for the settings file to put in its save.
using SettingWriter =
    std::function<void(const char* section, const char* key, const std::string& value)>;
void writeMeasureSettings(const MeasureSettings& m, const SettingWriter& write);

} // namespace tracely

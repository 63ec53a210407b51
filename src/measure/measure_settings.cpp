#include "src/measure/measure_settings.h"

#include "src/settings/c_inifile.h"
#include "src/settings/settings_values.h"

namespace tracely {

namespace {
constexpr const char* kSection = "MEASURE";
constexpr const char* kBarKey = "Bar";
constexpr const char* kLineKey = "LogicLine";
} // namespace

MeasureSettings readMeasureSettings(const std::string& iniPath) {
    cInifile ini;
    ini.setPath(iniPath);
    ini.setSection(kSection);
    MeasureSettings m;
    ini.setKey(kBarKey);
    m.barShown = settings::readBoolean(ini.Value()).value_or(false);
    ini.setKey(kLineKey);
    if (const auto n = settings::readNumber(ini.Value()); n && *n >= 0 && *n <= 7) {
        m.logicLine = static_cast<int>(*n);
    }
    return m;
}

void writeMeasureSettings(const MeasureSettings& m, const SettingWriter& write) {
    write(kSection, kBarKey, settings::writeBoolean(m.barShown));
    write(kSection, kLineKey, std::to_string(m.logicLine));
}

} // namespace tracely

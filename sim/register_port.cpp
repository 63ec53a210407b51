#include "sim/register_port.h"

#include "src/settings/inifile.h"

namespace tracely::sim {

std::string registerPort(const std::string& iniPath, int com, const std::string& linkPath) {
    cInifile ini;
    ini.setPath(iniPath);
    ini.setSection("PORTS");
    ini.setKey("COM" + std::to_string(com));
    ini.setValue(linkPath);
    if (!ini.Success()) {
        return "cannot write " + iniPath;
    }
    return {};
}

} // namespace tracely::sim

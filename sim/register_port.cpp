#include "sim/register_port.h"

#include "src/settings/c_inifile.h"

#include <filesystem>

namespace tracely::sim {

std::string registerPort(const std::string& iniPath, int com, const std::string& linkPath) {
    cInifile ini;
    ini.setPath(iniPath);
    ini.setSection("PORTS");
    ini.setKey("COM" + std::to_string(com));
    // Absolute, so that the program finds it whatever folder it is started from.
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(linkPath, ec);
    ini.setValue(ec ? linkPath : absolute.lexically_normal().string());
    if (!ini.Success()) {
        return "cannot write " + iniPath;
    }
    return {};
}

} // namespace tracely::sim

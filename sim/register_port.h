#pragma once

#include <string>

namespace tracely::sim {

// Points COMn of the program's settings file at the simulator's link, keeping every other line.
// Returns an error text, empty on success.
std::string registerPort(const std::string& iniPath, int com, const std::string& linkPath);

} // namespace tracely::sim

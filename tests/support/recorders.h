#pragma once

#include "src/link/link_reporter.h"
#include "src/link/status_light.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace tracely::test {

// Stand-ins for the window's status light and status bar that remember what they were told.
struct RecordingLight : StatusLight {
    std::vector<std::uint32_t> colours;
    bool lit = false;
    void setColour(std::uint32_t bgr) override { colours.push_back(bgr); }
    void setLit(bool on) override { lit = on; }
    std::uint32_t colour() const { return colours.empty() ? 0u : colours.back(); }
};

struct RecordingReporter : LinkReporter {
    std::map<std::string, std::string> panels;
    int commErrors = 0;
    void setPanelText(const std::string& key, const std::string& text) override {
        panels[key] = text;
    }
    void showCommError() override { ++commErrors; }
};

} // namespace tracely::test

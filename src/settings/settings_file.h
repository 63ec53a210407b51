#pragma once

#include "src/core/front_panel.h"
#include "src/core/front_panel_state.h"
#include "src/settings/inifile.h"

#include <string>

namespace tracely {

// TRACELY.INI: the front panel and the display options between runs. Loading puts each stored
// value into its control and lets the control's own handler run, in a fixed order, so that the
// state follows exactly as if the user had set the panel; options without a control go
// straight into the state.
class SettingsFile {
public:
    SettingsFile(FrontPanelState& state, const FrontPanel& panel, std::string path);

    void LoadSettings();
    void SaveSettings();
    // Our own options, in a section of their own beside the panel's four.
    bool readKeepRepeating();
    void writeKeepRepeating(bool on);

    const std::string& path() const { return path_; }
    cInifile& ini() { return ini_; }

private:
    std::string read(const char* key);
    void write(const char* key, const std::string& value);
    void loadOptions();
    void loadSettingsSection();
    void loadButtons();
    void loadTrigger();

    FrontPanelState& s_;
    const FrontPanel& p_;
    std::string path_;
    cInifile ini_;
};

// Where the settings file lives: beside the program when its folder is writable, otherwise
// in the user's configuration folder ($XDG_CONFIG_HOME/tracely, by default ~/.config/tracely),
// which is created when needed.
std::string settingsFilePath(const std::string& programFolder);

} // namespace tracely

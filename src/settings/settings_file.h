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

// What decides where the settings file lives, gathered so the rule can be tested as it is.
struct SettingsPlace {
    std::string programFolder;
    bool installed = false;      // the program's data sit in <prefix>/share/tracely
    bool fileWritable = false;   // TRACELY.INI beside the program can be written
    bool fileExists = false;     // TRACELY.INI beside the program is there
    bool folderWritable = false; // the program's folder can be written
    std::string xdgConfigHome;   // $XDG_CONFIG_HOME, empty when unset
    std::string home;            // $HOME, empty when unset
    std::string tempFolder;      // the last resort
};

// Beside the program when it runs from its build tree or a folder of its own that can be
// written (an existing writable file, or a writable folder without one); otherwise, and always
// for an installed program, $XDG_CONFIG_HOME/tracely (by default ~/.config/tracely).
std::string settingsFileFor(const SettingsPlace& place);

// Whether the program in `programFolder` runs from an installation: no manual beside it, but
// one in ../share/tracely/help.
bool runsInstalled(const std::string& programFolder);

// settingsFileFor() with the facts of this machine; creates the user's folder when chosen.
std::string settingsFilePath(const std::string& programFolder);

} // namespace tracely

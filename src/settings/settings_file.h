#pragma once

#include "src/core/front_panel_state.h"
#include "src/panel/front_panel.h"
#include "src/settings/c_inifile.h"
#include "src/settings/settings_place.h"

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tracely {

// TRACELY.INI: the front panel and the display options between runs. Loading puts each stored
// value into its control and lets the control's own handler run, in a fixed order, so that the
// state follows exactly as if the user had set the panel; options without a control go
// straight into the state. The panel's own settings (knob positions, button states, the
// trigger word's captions) have no variable: saving reads them from the widgets.
class SettingsFile {
public:
    // Read from and saved to one file.
    SettingsFile(FrontPanelState& state, const FrontPanel& panel, std::string path);
    SettingsFile(FrontPanelState& state, const FrontPanel& panel, SettingsLocation where);

    void LoadSettings();
    // Every key, in one atomic replace of the whole file; the writes `alsoWrite` makes (our own
    // options below) go into the same replace. Other sections, comments and foreign lines stay.
    void SaveSettings(const std::function<void()>& alsoWrite = {});
    // Our own options, in a section of their own beside the panel's four. A write outside
    // SaveSettings is a save of its own.
    bool readKeepRepeating();
    void writeKeepRepeating(bool on);
    // A key of another part of the program, in a section of its own (never one of the panel's
    // four); inside SaveSettings's `alsoWrite` it joins that save's replace.
    void writeOwn(const std::string& section, const std::string& key, const std::string& value);

    // The file read from (the file saved to after a save).
    const std::string& path() const { return where_.readPath; }
    const SettingsLocation& location() const { return where_; }
    cInifile& ini() { return ini_; }

    // What the last save did, in words for the status bar when it matters.
    struct [[nodiscard]] SaveOutcome {
        bool saved = false;
        std::string path;    // the file written, when saved
        std::string message; // empty for a save where it was meant to go
    };
    const SaveOutcome& lastSave() const { return lastSave_; }

private:
    struct Edit {
        std::string section;
        std::string key;
        std::string value;
    };

    std::string read(const char* key);
    void write(const char* key, const std::string& value);
    void loadOptions();
    void loadSettingsSection();
    void loadButtons();
    void loadTrigger();
    void writePanel();
    void commit();
    std::optional<std::string> baseFor(const std::string& target) const;

    FrontPanelState& s_;
    const FrontPanel& p_;
    SettingsLocation where_;
    cInifile ini_;
    bool gathering_ = false;
    std::vector<Edit> edits_;
    SaveOutcome lastSave_;
};

} // namespace tracely

#pragma once

#include "src/settings/ini_storage.h"

#include <string>

namespace tracely {

// Where the settings are read from and saved to in this run, and what the user is told.
struct SettingsLocation {
    std::string readPath;     // the file the panel is read from (it may not exist yet)
    std::string writePath;    // where a save goes; empty when nothing can be written
    std::string fallbackPath; // tried when a save to writePath fails; empty for none
    std::string portsPath;    // [PORTS] entries the read file lacks come from here; may be empty
    std::string note;         // said once in the status bar; empty when all is as usual

    // Read and saved in one place, as tests and single-file tools want it.
    static SettingsLocation at(const std::string& path) { return {path, path, {}, {}, {}}; }
};

// The facts that decide where the settings file lives, gathered so that the rule can be tested
// as it is.
struct SettingsPlace {
    std::string programFolder;
    bool installed = false;                        // the program's data sit in <prefix>/share
    ini::PathKind beside = ini::PathKind::Missing; // TRACELY.INI beside the program
    bool besideReplaceable = false; // a save can replace (or create) it: see ini::canReplace
    ini::PathKind user = ini::PathKind::Missing; // the user's copy
    bool userReplaceable = false;
    std::string xdgConfigHome; // $XDG_CONFIG_HOME, empty when unset
    std::string home;          // $HOME, empty when unset
    std::string tempFolder;    // the last resort for the user's folder
};

// $XDG_CONFIG_HOME/tracely/TRACELY.INI, by default ~/.config/tracely/TRACELY.INI.
std::string userSettingsPath(const SettingsPlace& place);

// A program run from its own folder (not installed) keeps its settings beside itself when a
// save can replace the file there, and reads them from there. Otherwise saves go to the user's
// copy, which is read first when it exists; until then the file beside the program is read, and
// it still lends its [PORTS] entries to a user's copy that has none. A file beside the program
// that is a folder, a pipe, unreadable or too large is not read; the note says so.
SettingsLocation settingsLocationFor(const SettingsPlace& place);

// Where a save goes under settingsLocationFor (the user's copy when none can be written).
std::string settingsFileFor(const SettingsPlace& place);

// Whether the program in `programFolder` runs from an installation: no manual beside it, but
// one in ../share/tracely/help.
bool runsInstalled(const std::string& programFolder);

// The facts of this machine (creating the user's folder when it may be needed), the location
// they give, and the temporary files of killed saves removed from both folders.
SettingsLocation locateSettings(const std::string& programFolder);

// Where a save of this machine goes: locateSettings(programFolder).writePath, or the user's
// copy when nothing can be written.
std::string settingsFilePath(const std::string& programFolder);

} // namespace tracely

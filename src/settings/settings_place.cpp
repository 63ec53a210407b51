#include "src/settings/settings_place.h"

#include <cstdlib>
#include <filesystem>

namespace tracely {
namespace {

namespace fs = std::filesystem;
using ini::PathKind;

constexpr const char* kFileName = "TRACELY.INI";

std::string besidePath(const SettingsPlace& place) {
    return (fs::path(place.programFolder) / kFileName).string();
}

// Why the file beside the program is not where the settings go, for the note.
std::string whyNotBeside(const SettingsPlace& place) {
    const std::string path = besidePath(place);
    switch (place.beside) {
    case PathKind::Directory:
        return path + " is a folder, not a file";
    case PathKind::Fifo:
        return path + " is a named pipe, not a file";
    case PathKind::Other:
        return path + " is not a file";
    case PathKind::Unreadable:
        return path + " cannot be read";
    case PathKind::TooLarge:
        return path + " is too large to be a settings file";
    case PathKind::File:
        return path + " cannot be written";
    case PathKind::Missing:
        break;
    }
    return "the folder " + place.programFolder + " cannot be written";
}

} // namespace

std::string userSettingsPath(const SettingsPlace& place) {
    const fs::path dir = !place.xdgConfigHome.empty() ? fs::path(place.xdgConfigHome)
                         : !place.home.empty()        ? fs::path(place.home) / ".config"
                                                      : fs::path(place.tempFolder);
    return (dir / "tracely" / kFileName).string();
}

SettingsLocation settingsLocationFor(const SettingsPlace& place) {
    const std::string beside = besidePath(place);
    const std::string user = userSettingsPath(place);
    const bool besideUsable = place.beside == PathKind::File || place.beside == PathKind::Missing;
    // An installed program's folder (/usr/bin) is never the place, even for root who may write
    // there.
    if (!place.installed && besideUsable && place.besideReplaceable) {
        return {beside, beside, user, {}, {}};
    }
    SettingsLocation where;
    const bool userUsable = place.user == PathKind::File || place.user == PathKind::Missing;
    where.writePath = userUsable && place.userReplaceable ? user : std::string();
    where.readPath = place.user == PathKind::File     ? user
                     : place.beside == PathKind::File ? beside
                                                      : user;
    if (where.readPath != beside && place.beside == PathKind::File) {
        where.portsPath = beside;
    }
    if (where.writePath.empty()) {
        where.note = "Settings cannot be saved: " + user + " cannot be written" +
                     (place.installed ? std::string() : " and " + whyNotBeside(place));
    } else if (!place.installed) {
        where.note = "Settings are kept in " + user + ": " + whyNotBeside(place);
    }
    return where;
}

std::string settingsFileFor(const SettingsPlace& place) {
    const SettingsLocation where = settingsLocationFor(place);
    return where.writePath.empty() ? userSettingsPath(place) : where.writePath;
}

bool runsInstalled(const std::string& programFolder) {
    std::error_code ec;
    const fs::path folder(programFolder);
    return !fs::is_directory(folder / "help", ec) &&
           fs::is_directory(folder / ".." / "share" / "tracely" / "help", ec);
}

SettingsLocation locateSettings(const std::string& programFolder) {
    SettingsPlace place;
    place.programFolder = programFolder;
    place.installed = runsInstalled(programFolder);
    const std::string beside = besidePath(place);
    place.beside = ini::probe(beside);
    place.besideReplaceable = ini::canReplace(beside);
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME")) {
        place.xdgConfigHome = xdg;
    }
    if (const char* home = std::getenv("HOME")) {
        place.home = home;
    }
    std::error_code ec;
    place.tempFolder = fs::temp_directory_path(ec).string();
    const std::string user = userSettingsPath(place);
    if (place.installed || !place.besideReplaceable) {
        fs::create_directories(fs::path(user).parent_path(), ec);
    }
    place.user = ini::probe(user);
    place.userReplaceable = ini::canReplace(user);

    // A save that was killed leaves its temporary file; no running save holds it any more.
    ini::removeStaleTemporaries(beside);
    ini::removeStaleTemporaries(user);
    return settingsLocationFor(place);
}

std::string settingsFilePath(const std::string& programFolder) {
    const SettingsLocation where = locateSettings(programFolder);
    return where.writePath.empty() ? where.readPath : where.writePath;
}

} // namespace tracely

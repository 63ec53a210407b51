// The settings load on an arbitrary file, through the panel's real handlers: nothing crashes or
// overflows whatever the file holds, the save after it succeeds, and saving again changes
// nothing.
#include "src/core/front_panel_state.h"
#include "src/core/panel_routines.h"
#include "src/display/display.h"
#include "src/panel/controls.h"
#include "src/panel/front_panel.h"
#include "src/settings/ini_storage.h"
#include "src/settings/settings_file.h"
#include "tests/fuzz/check.h"

#include <QApplication>
#include <QWidget>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include <unistd.h>

using namespace tracely;

using tracely::test::check;

namespace {

// The window's wiring of the routines, without the instrument: Update and CofigTime do nothing.
struct Routines : PanelRoutines {
    tracely::Display* d = nullptr;
    Controls* c = nullptr;
    void PlotAnalog() override { d->PlotAnalog(); }
    void PlotLogic() override { d->PlotLogic(); }
    void SetCHaScale() override { d->SetCHaScale(); }
    void SetCHbScale() override { d->SetCHbScale(); }
    void DisplayCursorData() override { d->DisplayCursorData(); }
    void PlaceMarkers() override { c->PlaceMarkers(); }
    void primaryChannelChanged() override { c->primaryChannelChanged(); }
    void Update() override {}
    void CofigTime() override {}
};

// One panel for the whole run, its state reset for each input: building the panel costs
// twenty times a load. A finding that needs the widgets as an earlier input left them shows
// its stack in the log; the input alone may not reproduce it.
struct Panel {
    QWidget host;
    FrontPanel p = buildFrontPanel(&host);
    FrontPanelState s;
    Routines routines;
    tracely::Display display{s, p};
    Controls controls{s, p};
    Panel() {
        display.connectPeers(routines, routines);
        controls.connectPeers(routines, routines);
        routines.d = &display;
        routines.c = &controls;
        display.connectHandlers();
        controls.connectHandlers();
    }
};

std::string g_file;

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static QApplication app(*argc, *argv);
    // On a memory file system: a save's fsync costs nothing there.
    std::filesystem::path dir = std::filesystem::exists("/dev/shm")
                                    ? std::filesystem::path("/dev/shm")
                                    : std::filesystem::temp_directory_path();
    dir /= "tracely-settings-fuzz-" + std::to_string(::getpid());
    std::filesystem::create_directories(dir);
    g_file = (dir / "TRACELY.INI").string();
    std::atexit([] { std::filesystem::remove_all(std::filesystem::path(g_file).parent_path()); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::ofstream(g_file, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    static const auto panel = std::make_unique<Panel>();
    panel->s = FrontPanelState{};
    SettingsFile file(panel->s, panel->p, g_file);
    file.LoadSettings();
    (void)file.readKeepRepeating();

    file.SaveSettings([&] { file.writeKeepRepeating(true); });
    check(file.lastSave().saved, "the save after the load failed");
    const std::string once = ini::loadFile(g_file).text;
    file.SaveSettings([&] { file.writeKeepRepeating(true); });
    check(ini::loadFile(g_file).text == once, "saving the same panel again changed the file");
    return 0;
}

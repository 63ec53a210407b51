#pragma once

#include "src/app/main_window.h"
#include "tests/support/temp_folder.h"

#include <QCoreApplication>
#include <QStringList>

#include <string>

namespace tracely::test {

// "[PORTS]" naming `port` as COM`at` and, for every other port, a path that names nothing, so
// the machine's own serial ports never take part.
inline std::string portsOnly(const std::string& port, int at = 1) {
    std::string ini = "[PORTS]\n";
    for (int n = 1; n <= 8; ++n) {
        ini += "COM" + std::to_string(n) + "=" + (n == at ? port : "/nonexistent/tty") + "\n";
    }
    return ini;
}

// The main window without the splash, its message boxes recorded instead of shown.
struct TestWindow {
    // Loaded from TRACELY.INI in a scratch folder of its own, holding `ini` (none when empty).
    explicit TestWindow(const std::string& ini = {}) : w(prepare(dir, ini)) {
        quiet();
        w.formLoad();
        QCoreApplication::processEvents(); // what the handlers post is drawn before a look
    }
    // On the settings the test names, not yet loaded.
    explicit TestWindow(SettingsLocation where) : w(std::move(where)) { quiet(); }

    TempFolder dir; // removed after the window
    MainWindow w;
    QStringList messages;

private:
    static SettingsLocation prepare(const TempFolder& dir, const std::string& ini) {
        if (!ini.empty()) {
            writeFile(dir.file("TRACELY.INI"), ini);
        }
        return SettingsLocation::at(dir.file("TRACELY.INI"));
    }
    void quiet() {
        w.setSplashTime(0);
        w.setMessageBox([this](const QString& title, const QString& text) {
            messages << title + QStringLiteral(": ") + text;
        });
    }
};

} // namespace tracely::test

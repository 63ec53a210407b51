#include "src/app/main_window.h"
#include "src/settings/settings_file.h"
#include "src/widgets/graph.h"
#include "src/widgets/keyed_status_bar.h"
#include "src/widgets/knob.h"
#include "src/widgets/slide.h"
#include "src/widgets/two_state_button.h"
#include "tests/support/sim_host.h"
#include "tests/support/test_window.h"
#include "tests/support/wait.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <tuple>
#include <vector>

using namespace tracely;
using tracely::test::readFile;
using tracely::test::TempFolder;
using tracely::test::waitUntil;

// A window on a settings file the test names, loaded when the test says.
struct Window : test::TestWindow {
    explicit Window(const std::string& ini) : TestWindow(SettingsLocation::at(ini)) {}
    explicit Window(SettingsLocation where) : TestWindow(std::move(where)) {}
};

// What the default file holds is checked below; these are what it does not say.
TEST(MainWindow, StartUpPanelWithoutASettingsFile) {
    test::TestWindow win; // on a folder without one
    const FrontPanel& p = win.w.panel();
    const FrontPanelState& s = win.w.state();
    // Channel A on and primary, analog level trigger at 128, word all "X" and disabled.
    EXPECT_TRUE(p.CWChaLed->value());
    for (QPushButton* b : p.cmdTrigB) {
        EXPECT_EQ(std::tuple(b->text(), b->isEnabled()), std::tuple(QStringLiteral("X"), false));
    }
    EXPECT_EQ(std::tuple(s.bytREG_R5, s.bytREG_R6, s.bytREG_R7, s.bytREG_R8),
              std::tuple(128, 0, 3, 1));
    // The scale for position 1 with the x10 probe: range 3, and one channel enabled.
    EXPECT_EQ(std::tuple(s.bytCHaRange, s.bytREG_R14),
              std::tuple(std::uint8_t(3), std::uint8_t(0xFF)));
    EXPECT_FLOAT_EQ(s.sngCHaScale, 0.02f);
    EXPECT_EQ(p.CWKChaLvl->labelText(1), QStringLiteral("50 "));
    EXPECT_EQ(p.StatusBar1->panelText(QStringLiteral("sbrSampleRate")),
              QStringLiteral("Sample Rate: 25MSa/s"));
    EXPECT_EQ(p.CWKTimeRange->value(), 10); // 1 us a division
    EXPECT_EQ(p.StatusBar1->panelText(QStringLiteral("sbrCursorData")),
              QStringLiteral("Cursors On: CH A"));
    // Nothing talks to the instrument at start-up, and the lamp says so.
    EXPECT_FALSE(s.blnConnected);
    EXPECT_TRUE(win.messages.isEmpty());
    EXPECT_EQ(p.StatusBar1->panelText(QStringLiteral("sbrLink")), QStringLiteral("Not connected"));
    EXPECT_TRUE(p.prgDump->isHidden());
    EXPECT_TRUE(p.CWBTrigLed->toolTip().contains("Captures: 0"));
    EXPECT_TRUE(p.CWBTrigLed->toolTip().contains("Last fault: none"));
    EXPECT_TRUE(p.CWBTrigLed->accessibleDescription().contains("0 captures"));
}

// The four sections of the panel, line by line; other sections and comments are left out.
std::vector<std::string> panelLines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    bool panel = false;
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == ';') {
            continue;
        }
        if (line[0] == '[') {
            panel = line == "[OPTIONS]" || line == "[SETTINGS]" || line == "[BUTTONS]" ||
                    line == "[TRIGGER]";
        }
        if (panel) {
            out.push_back(line);
        }
    }
    return out;
}

TEST(MainWindow, ClosingAfterAStartWithoutAFileWritesTheDefaultFile) {
    TempFolder dir;
    const std::string ini = dir.file("TRACELY.INI");
    {
        Window win(ini);
        win.w.formLoad();
        win.w.close();
    }
    EXPECT_EQ(panelLines(readFile(ini)),
              panelLines(readFile(TRACELY_TEST_DATA "/default_settings.ini")));
}

TEST(MainWindow, TheTriggerComesBackAsSavedInEveryMode) {
    enum Mode { Level, Rising, Falling, Logic };
    const struct {
        Mode mode;
        double knob;
    } cases[] = {{Level, 176}, {Rising, 192}, {Falling, 64}, {Logic, 0}};
    for (const auto& c : cases) {
        TempFolder dir;
        const std::string ini = dir.file("TRACELY.INI");
        FrontPanelState saved;
        double knob = 0;
        {
            Window win(ini);
            win.w.formLoad();
            const FrontPanel& p = win.w.panel();
            if (c.mode == Logic) {
                p.chkTrigSource->click();
                p.cmdTrigB[3]->click();                         // "1"
                p.cmdTrigB[2]->click(), p.cmdTrigB[2]->click(); // "0"
                p.optTrigRE->click();
            } else {
                (c.mode == Level    ? p.optTrigLVL
                 : c.mode == Rising ? p.optTrigRE
                                    : p.optTrigFE)
                    ->click();
                p.CWKTrigLvl->setValue(c.knob);
            }
            saved = win.w.state();
            knob = p.CWKTrigLvl->value();
            win.w.close();
        }
        Window again(ini);
        again.w.formLoad();
        const FrontPanelState& s = again.w.state();
        EXPECT_EQ(again.w.panel().CWKTrigLvl->value(), knob) << c.mode;
        EXPECT_EQ(std::tuple(s.bytREG_R5, s.bytREG_R6, s.bytREG_R7),
                  std::tuple(saved.bytREG_R5, saved.bytREG_R6, saved.bytREG_R7))
            << c.mode;
    }
}

TEST(MainWindow, SaysWhereTheSettingsGoAndTakesMissingPortsFromBesideTheProgram) {
    TempFolder dir;
    const std::string user = dir.file("user/TRACELY.INI");
    std::filesystem::create_directory(dir.path() / "user");
    std::ofstream(dir.file("TRACELY.INI")) << "[PORTS]\nCOM2=/dev/beside\nCOM3=sims/a\n";
    std::ofstream(user) << "[PORTS]\nCOM3=/dev/user\nCOM4=sims/b\n";
    Window win(SettingsLocation{user, user, {}, dir.file("TRACELY.INI"), "Settings are kept in X"});
    win.w.formLoad();
    EXPECT_EQ(win.w.panel().StatusBar1->panelText(QStringLiteral("sbrLink")),
              QStringLiteral("Settings are kept in X"));
    EXPECT_EQ(win.w.engine().portPath(2) + win.w.engine().portPath(3),
              QStringLiteral("/dev/beside/dev/user"));
    // A relative path is taken from the folder of the file that names it.
    EXPECT_EQ(win.w.engine().portPath(4), QString::fromStdString(dir.file("user/sims/b")));

    // A save that cannot go anywhere says so.
    std::filesystem::remove(user);
    std::filesystem::create_directory(user);
    win.w.close();
    EXPECT_TRUE(win.w.panel()
                    .StatusBar1->panelText(QStringLiteral("sbrLink"))
                    .startsWith(QStringLiteral("Settings not saved")));
}

TEST(MainWindow, KeepRepeatingLivesInASectionOfItsOwn) {
    TempFolder dir;
    const std::string ini = dir.file("TRACELY.INI");
    {
        Window win(ini);
        win.w.formLoad();
        EXPECT_FALSE(win.w.engine().keepRepeating()); // off unless the user asks
        win.w.engine().setKeepRepeating(true);
        win.w.close();
    }
    const std::string text = readFile(ini);
    const auto link = text.find("[LINK]\nKeepRepeating=True\n");
    ASSERT_NE(link, std::string::npos) << text;
    EXPECT_EQ(text.find("KeepRepeating"), link + 7); // nowhere in the panel's own sections
    Window again(ini);
    again.w.formLoad();
    EXPECT_TRUE(again.w.engine().keepRepeating());
}

TEST(MainWindow, AcquireDrawsATraceFromTheSimulator) {
    sim::Options o;
    o.pace = false;
    o.cha = sim::Waveform{sim::WaveKind::Sine, 100000.0, 1.5, 0.0};
    test::SimHost sim(o);
    test::TestWindow win(std::string("[PORTS]\nCOM1=") + sim.path() + "\n");
    const FrontPanel& p = win.w.panel();
    p.cmdCapture->click();
    ASSERT_TRUE(
        waitUntil([&] { return p.CWGraph1->plotCount(QStringLiteral("CHa")) == 500; }, 10000));
    EXPECT_EQ(p.CWGLogic->plotCount(1), 500);
    EXPECT_FALSE(p.CWBTrigLed->value()); // done: the light is off
    // Repeat mode keeps the captures coming (each has its own trigger address) until "Store".
    p.CWBSampleMode->setValue(true);
    std::string last = win.w.state().varTrigAnswer;
    int answers = 0;
    p.cmdCapture->click();
    EXPECT_TRUE(waitUntil(
        [&] {
            if (win.w.state().varTrigAnswer != last && !win.w.state().varTrigAnswer.empty()) {
                last = win.w.state().varTrigAnswer;
                ++answers;
            }
            return answers >= 3;
        },
        10000));
    const auto before = win.w.engine().health().captures;
    p.cmdStore->click();
    EXPECT_TRUE(win.w.state().blnStored);
    // The capture under way ends, and no other is asked for: a re-arm would come with it.
    ASSERT_TRUE(waitUntil([&] { return win.w.engine().health().captures > before; }));
    EXPECT_FALSE(win.w.state().blnArmed);
}

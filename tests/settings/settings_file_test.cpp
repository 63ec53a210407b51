#include "src/settings/settings_file.h"
#include "src/widgets/knob.h"
#include "src/widgets/slide.h"
#include "src/widgets/two_state_button.h"
#include "tests/settings/temp_dir.h"

#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>
#include <QWidget>

#include <gtest/gtest.h>

#include <vector>

#include <algorithm>

using namespace tracely;

namespace {

// A panel without handlers: the tests count the events a replay raises instead.
struct Rig {
    test::TempDir dir;
    QWidget host;
    FrontPanel p = buildFrontPanel(&host);
    FrontPanelState s;
    SettingsFile file{s, p, dir.file("TRACELY.INI")};
    int knobEvents = 0;
    int x10Events = 0;
    int risingEvents = 0;

    Rig() {
        p.CWKChaLvl->setValue(1);
        QObject::connect(p.CWKChaLvl, &widgets::Knob::valueChanged, [this] { ++knobEvents; });
        QObject::connect(p.CWBCHAx10, &widgets::TwoStateButton::valueChanged,
                         [this] { ++x10Events; });
        QObject::connect(p.optTrigRE, &QRadioButton::toggled,
                         [this](bool on) { risingEvents += on; });
    }
    void load(const std::string& text) {
        test::writeFile(file.path(), text);
        file.LoadSettings();
    }
};

} // namespace

TEST(SettingsFile, NoFileChangesNothingAndSavingWritesAllKeys) {
    Rig rig;
    const FrontPanelState before = rig.s;
    rig.file.LoadSettings();
    EXPECT_EQ(rig.knobEvents + rig.x10Events, 0);
    EXPECT_EQ(rig.s.strSampleRate, before.strSampleRate);
    EXPECT_EQ(rig.s.bytREG_R5, before.bytREG_R5);

    rig.file.SaveSettings();
    const std::string text = test::readFile(rig.file.path());
    const auto at = [&](const char* s) { return text.find(s); };
    EXPECT_LT(at("[OPTIONS]"), at("[SETTINGS]"));
    EXPECT_LT(at("[SETTINGS]"), at("[BUTTONS]"));
    EXPECT_LT(at("[BUTTONS]"), at("[TRIGGER]"));
    EXPECT_EQ(std::count(text.begin(), text.end(), '='), 39);
    for (const char* line : {"ShowAN=True\n", "Plotpoints=False\n", "Samplerate=25MSa/s\n",
                             "Trigpos=5\n", "TrigB0=X\n"}) {
        EXPECT_NE(at(line), std::string::npos) << line;
    }
    EXPECT_LT(at("TrigB7"), at("TrigB0"));
}

TEST(SettingsFile, OptionsAndTriggerWordAreReadAsWrittenOrLeftAlone) {
    Rig rig;
    rig.s.bytREG_R5 = 0;
    rig.s.bytREG_R6 = 255;
    rig.load("[OPTIONS]\nShowAN=abc\nShowLA=0\nSamplerate=1GSa/s\nTrigpos=2.5\n"
             "[TRIGGER]\nTrigB7=X\nTrigB3=1\nTrigB2=0\nTrigB0=X\n");
    EXPECT_TRUE(rig.s.blnShowAN); // unreadable: the start value stays
    EXPECT_FALSE(rig.s.blnShowLA);
    EXPECT_EQ(rig.s.strSampleRate, "1GSa/s"); // loaded unchanged, whatever it says
    EXPECT_FLOAT_EQ(rig.s.sngTrigPos, 2.5f);
    EXPECT_EQ(rig.s.bytREG_R5, 0x08);
    EXPECT_EQ(rig.s.bytREG_R6, 0xFF & ~0x08 & ~0x04);
    EXPECT_EQ(rig.p.cmdTrigB[3]->text(), QStringLiteral("1"));
}

TEST(SettingsFile, KnobPositionsRoundAndHandlersRunOnce) {
    Rig rig;
    rig.load("[SETTINGS]\nChalevel=2.5\n");
    EXPECT_EQ(rig.p.CWKChaLvl->value(), 2);
    EXPECT_EQ(rig.knobEvents, 1);

    rig.p.CWBCHAx10->setValue(true);
    rig.x10Events = 0;
    rig.load("[SETTINGS]\nChalevel=3.5\n[BUTTONS]\nChax10=True\n");
    EXPECT_EQ(rig.p.CWKChaLvl->value(), 4);
    EXPECT_EQ(rig.x10Events, 1); // unchanged value: the handler still runs, once
}

TEST(SettingsFile, EdgeOptionsOnlyEverSwitchOn) {
    Rig rig;
    rig.p.optTrigLVL->setChecked(true);
    rig.p.optTrigRE->setEnabled(true);
    rig.risingEvents = 0;
    rig.load("[TRIGGER]\nTrigedgeup=False\nTrigedgeupEN=False\n");
    EXPECT_FALSE(rig.p.optTrigRE->isChecked());
    EXPECT_TRUE(rig.p.optTrigRE->isEnabled());
    EXPECT_EQ(rig.risingEvents, 0);

    rig.load("[TRIGGER]\nTrigedgeup=True\n");
    EXPECT_TRUE(rig.p.optTrigRE->isChecked());
    EXPECT_EQ(rig.risingEvents, 1);
}

TEST(SettingsFile, SaveThenLoadRestoresThePanel) {
    Rig rig;
    rig.p.CWKTimeRange->setValue(17);
    rig.p.CWSCHaOffset->setValue(-1.5);
    rig.p.chkAsource->setChecked(true);
    rig.p.CWBSampleMode->setValue(true);
    rig.s.strSampleRate = "10KSa/s";
    rig.file.SaveSettings();

    QWidget host;
    FrontPanel p = buildFrontPanel(&host);
    FrontPanelState s;
    SettingsFile(s, p, rig.file.path()).LoadSettings();
    EXPECT_EQ(p.CWKTimeRange->value(), 17);
    EXPECT_EQ(p.CWSCHaOffset->value(), -1.5);
    EXPECT_TRUE(p.chkAsource->isChecked());
    EXPECT_TRUE(p.CWBSampleMode->value());
    EXPECT_EQ(s.strSampleRate, "10KSa/s");
}

TEST(SettingsFile, LivesBesideTheProgramOrInTheUsersFolder) {
    test::TempDir program;
    EXPECT_EQ(settingsFilePath(program.path().string()), program.file("TRACELY.INI"));
    test::TempDir config;
    ::setenv("XDG_CONFIG_HOME", config.path().c_str(), 1);
    EXPECT_EQ(settingsFilePath("/nonexistent/bin"),
              (config.path() / "tracely" / "TRACELY.INI").string());
    EXPECT_TRUE(std::filesystem::is_directory(config.path() / "tracely"));
    ::unsetenv("XDG_CONFIG_HOME");
}

struct PlaceCase {
    const char* what;
    bool installed, fileWritable, fileExists, folderWritable;
    const char* xdg;
    const char* home;
    const char* expected;
};

TEST(SettingsFile, PlaceFollowsTheProgramsFolderAndTheUsersOwn) {
    const PlaceCase cases[] = {
        {"build tree, no file yet", false, false, false, true, "/x", "/h", "/prog/TRACELY.INI"},
        {"build tree, file there", false, true, true, true, "/x", "/h", "/prog/TRACELY.INI"},
        {"writable file, read-only folder", false, true, true, false, "/x", "/h",
         "/prog/TRACELY.INI"},
        {"read-only file in a writable folder", false, false, true, true, "/x", "/h",
         "/x/tracely/TRACELY.INI"},
        {"folder not writable", false, false, false, false, "/x", "/h", "/x/tracely/TRACELY.INI"},
        {"installed, root may write /usr/bin", true, false, false, true, "/x", "/h",
         "/x/tracely/TRACELY.INI"},
        {"installed, a file beside it", true, true, true, true, "/x", "/h",
         "/x/tracely/TRACELY.INI"},
        {"installed, no XDG_CONFIG_HOME", true, false, false, false, "", "/h",
         "/h/.config/tracely/TRACELY.INI"},
        {"installed, neither variable", true, false, false, false, "", "",
         "/tmp/tracely/TRACELY.INI"},
    };
    for (const PlaceCase& c : cases) {
        SettingsPlace place;
        place.programFolder = "/prog";
        place.installed = c.installed;
        place.fileWritable = c.fileWritable;
        place.fileExists = c.fileExists;
        place.folderWritable = c.folderWritable;
        place.xdgConfigHome = c.xdg;
        place.home = c.home;
        place.tempFolder = "/tmp";
        EXPECT_EQ(settingsFileFor(place), c.expected) << c.what;
    }
}

TEST(SettingsFile, InstalledMeansTheManualInShareAndNoneBeside) {
    struct Case {
        const char* what;
        std::vector<const char*> folders; // made under a scratch root
        bool installed;
    };
    const Case cases[] = {
        {"build tree", {"bin/help", "share/tracely/help"}, false},
        {"installed", {"bin", "share/tracely/help"}, true},
        {"share without the manual", {"bin", "share/tracely"}, false},
        {"bare folder", {"bin"}, false},
    };
    for (const Case& c : cases) {
        test::TempDir root;
        for (const char* f : c.folders) {
            std::filesystem::create_directories(root.path() / f);
        }
        EXPECT_EQ(runsInstalled((root.path() / "bin").string()), c.installed) << c.what;
    }
}

TEST(SettingsFile, AnInstalledProgramUsesTheUsersFolder) {
    test::TempDir root;
    test::TempDir config;
    std::filesystem::create_directories(root.path() / "bin");
    std::filesystem::create_directories(root.path() / "share/tracely/help");
    ::setenv("XDG_CONFIG_HOME", config.path().c_str(), 1);
    // The folder is writable here (as /usr/bin is for root), and the file still goes aside.
    EXPECT_EQ(settingsFilePath((root.path() / "bin").string()),
              (config.path() / "tracely" / "TRACELY.INI").string());
    EXPECT_FALSE(std::filesystem::exists(root.path() / "bin" / "TRACELY.INI"));
    ::unsetenv("XDG_CONFIG_HOME");
}

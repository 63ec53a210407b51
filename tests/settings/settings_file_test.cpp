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

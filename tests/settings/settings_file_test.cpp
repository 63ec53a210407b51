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

#include <fstream>
#include <sstream>

using namespace tracely;

namespace {

// A panel without handlers: the tests count the events a replay raises instead.
struct Rig {
    test::TempDir dir;
    QWidget host;
    FrontPanel p = buildFrontPanel(&host);
    FrontPanelState s;
    SettingsFile file{s, p, (dir.path() / "TRACELY.INI").string()};
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
    void writeFile(const std::string& text) {
        std::ofstream(file.path(), std::ios::binary) << text;
    }
    std::string fileText() const {
        std::ifstream in(file.path(), std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }
};

} // namespace

TEST(SettingsFile, NoFileChangesNothingAndSavingWritesAllKeys) {
    Rig rig;
    const FrontPanelState before = rig.s;
    rig.file.LoadSettings();
    EXPECT_EQ(rig.knobEvents, 0);
    EXPECT_EQ(rig.x10Events, 0);
    EXPECT_EQ(rig.s.strSampleRate, before.strSampleRate);
    EXPECT_EQ(rig.s.bytREG_R5, before.bytREG_R5);

    rig.file.SaveSettings();
    const std::string text = rig.fileText();
    // Sections in order, thirty-nine keys.
    const auto at = [&](const char* s) { return text.find(s); };
    EXPECT_LT(at("[OPTIONS]"), at("[SETTINGS]"));
    EXPECT_LT(at("[SETTINGS]"), at("[BUTTONS]"));
    EXPECT_LT(at("[BUTTONS]"), at("[TRIGGER]"));
    int keys = 0;
    for (char c : text) {
        keys += c == '=';
    }
    EXPECT_EQ(keys, 39);
    EXPECT_NE(at("ShowAN=True"), std::string::npos);
    EXPECT_NE(at("Plotpoints=False"), std::string::npos);
    EXPECT_NE(at("Samplerate=25MSa/s"), std::string::npos);
    EXPECT_NE(at("Trigpos=5\n"), std::string::npos);
    EXPECT_NE(at("TrigB0=X"), std::string::npos);
    EXPECT_LT(at("TrigB7"), at("TrigB0"));
}

TEST(SettingsFile, OptionsAreReadAsWrittenOrLeftAlone) {
    Rig rig;
    rig.writeFile("[OPTIONS]\nShowAN=abc\nShowLA=0\nSamplerate=1GSa/s\nTrigpos=2.5\n");
    rig.file.LoadSettings();
    EXPECT_TRUE(rig.s.blnShowAN); // unreadable: the start value stays
    EXPECT_FALSE(rig.s.blnShowLA);
    EXPECT_EQ(rig.s.strSampleRate, "1GSa/s"); // loaded unchanged, whatever it says
    EXPECT_FLOAT_EQ(rig.s.sngTrigPos, 2.5f);
}

TEST(SettingsFile, KnobPositionsRoundAndHandlersRunOnce) {
    Rig rig;
    rig.writeFile("[SETTINGS]\nChalevel=2.5\n");
    rig.file.LoadSettings();
    EXPECT_EQ(rig.p.CWKChaLvl->value(), 2);
    EXPECT_EQ(rig.knobEvents, 1);

    Rig again;
    again.writeFile("[SETTINGS]\nChalevel=3.5\n[BUTTONS]\nChax10=True\n");
    again.p.CWBCHAx10->setValue(true);
    again.x10Events = 0;
    again.file.LoadSettings();
    EXPECT_EQ(again.p.CWKChaLvl->value(), 4);
    EXPECT_EQ(again.x10Events, 1); // unchanged value: the handler still runs, once
}

TEST(SettingsFile, EdgeOptionsOnlyEverSwitchOn) {
    Rig rig;
    rig.p.optTrigLVL->setChecked(true);
    rig.p.optTrigRE->setEnabled(true);
    rig.risingEvents = 0;
    rig.writeFile("[TRIGGER]\nTrigedgeup=False\nTrigedgeupEN=False\n");
    rig.file.LoadSettings();
    EXPECT_FALSE(rig.p.optTrigRE->isChecked());
    EXPECT_TRUE(rig.p.optTrigRE->isEnabled());
    EXPECT_EQ(rig.risingEvents, 0);

    rig.writeFile("[TRIGGER]\nTrigedgeup=True\n");
    rig.file.LoadSettings();
    EXPECT_TRUE(rig.p.optTrigRE->isChecked());
    EXPECT_EQ(rig.risingEvents, 1);
}

TEST(SettingsFile, TriggerWordBits) {
    Rig rig;
    rig.s.bytREG_R5 = 0;
    rig.s.bytREG_R6 = 255;
    rig.writeFile("[TRIGGER]\nTrigB7=X\nTrigB3=1\nTrigB2=0\nTrigB0=X\n");
    rig.file.LoadSettings();
    EXPECT_EQ(rig.s.bytREG_R5, 0x08);
    EXPECT_EQ(rig.s.bytREG_R6, 0xFF & ~0x08 & ~0x04);
    EXPECT_EQ(rig.p.cmdTrigB[3]->text(), QStringLiteral("1"));
}

TEST(SettingsFile, SaveThenLoadRestoresThePanel) {
    Rig rig;
    rig.p.CWKTimeRange->setValue(17);
    rig.p.CWSCHaOffset->setValue(-1.5);
    rig.p.chkAsource->setChecked(true);
    rig.p.CWBSampleMode->setValue(true);
    rig.s.strSampleRate = "10KSa/s";
    rig.file.SaveSettings();

    test::TempDir unused;
    QWidget host;
    FrontPanel p = buildFrontPanel(&host);
    FrontPanelState s;
    SettingsFile file(s, p, rig.file.path());
    file.LoadSettings();
    EXPECT_EQ(p.CWKTimeRange->value(), 17);
    EXPECT_EQ(p.CWSCHaOffset->value(), -1.5);
    EXPECT_TRUE(p.chkAsource->isChecked());
    EXPECT_TRUE(p.CWBSampleMode->value());
    EXPECT_EQ(s.strSampleRate, "10KSa/s");
}

TEST(SettingsFile, LivesBesideTheProgramOrInTheUsersFolder) {
    test::TempDir program;
    EXPECT_EQ(settingsFilePath(program.path().string()), (program.path() / "TRACELY.INI").string());
    test::TempDir config;
    ::setenv("XDG_CONFIG_HOME", config.path().c_str(), 1);
    EXPECT_EQ(settingsFilePath("/nonexistent/bin"),
              (config.path() / "tracely" / "TRACELY.INI").string());
    EXPECT_TRUE(std::filesystem::is_directory(config.path() / "tracely"));
    ::unsetenv("XDG_CONFIG_HOME");
}

#include "src/settings/ini_storage.h"
#include "src/settings/settings_file.h"
#include "src/widgets/knob.h"
#include "src/widgets/slide.h"
#include "src/widgets/two_state_button.h"
#include "tests/support/folder_watch.h"
#include "tests/support/temp_folder.h"

#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>
#include <QWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

using namespace tracely;

namespace {

// A panel without handlers: the tests count the events a replay raises instead.
struct Rig {
    test::TempFolder dir;
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

// What a save writes is checked against the default file in tests/data by the window's test.
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
    EXPECT_EQ(std::tuple(p.CWKTimeRange->value(), p.CWSCHaOffset->value(),
                         p.chkAsource->isChecked(), p.CWBSampleMode->value(), s.strSampleRate),
              std::tuple(17.0, -1.5, true, true, std::string("10KSa/s")));
}

TEST(SettingsFile, LivesBesideTheProgramOrInTheUsersFolder) {
    test::TempFolder program;
    // What a killed save left behind goes at the next start.
    test::writeFile(program.file(".TRACELY.INI.tmp42-1-0"), "[OPTIONS]\nShow");
    EXPECT_EQ(settingsFilePath(program.path().string()), program.file("TRACELY.INI"));
    EXPECT_FALSE(std::filesystem::exists(program.file(".TRACELY.INI.tmp42-1-0")));
    test::TempFolder config;
    ::setenv("XDG_CONFIG_HOME", config.path().c_str(), 1);
    EXPECT_EQ(settingsFilePath("/nonexistent/bin"),
              (config.path() / "tracely" / "TRACELY.INI").string());
    EXPECT_TRUE(std::filesystem::is_directory(config.path() / "tracely"));
    ::unsetenv("XDG_CONFIG_HOME");
}

TEST(SettingsFile, PlaceFollowsTheProgramsFolderAndTheUsersOwn) {
    using K = ini::PathKind;
    const std::string beside = "/prog/TRACELY.INI";
    const std::string user = "/x/tracely/TRACELY.INI";
    // clang-format off
    const struct {
        const char* what;
        bool installed; K besideKind; bool besideReplaceable; K userKind; bool userReplaceable;
        std::string read, write, ports; const char* note; // a part of the note, or "" for none
    } cases[] = {
        {"build tree, no file yet", false, K::Missing, true, K::Missing, true,
         beside, beside, "", ""},
        {"build tree, file there, a user's copy too", false, K::File, true, K::File, true,
         beside, beside, "", ""},
        {"writable file, read-only folder", false, K::File, false, K::Missing, true,
         beside, user, "", "kept in /x/tracely/TRACELY.INI: /prog/TRACELY.INI cannot be written"},
        {"read-only file, the user's copy made", false, K::File, false, K::File, true,
         user, user, beside, "cannot be written"},
        {"folder not writable, no file", false, K::Missing, false, K::Missing, true,
         user, user, "", "the folder /prog cannot be written"},
        {"a named pipe beside the program", false, K::Fifo, false, K::Missing, true,
         user, user, "", "/prog/TRACELY.INI is a named pipe"},
        {"a folder beside the program", false, K::Directory, false, K::Missing, true,
         user, user, "", "/prog/TRACELY.INI is a folder"},
        {"an unreadable file", false, K::Unreadable, true, K::Missing, true,
         user, user, "", "cannot be read"},
        {"a file too large", false, K::TooLarge, true, K::Missing, true,
         user, user, "", "too large"},
        {"nowhere to write", false, K::File, false, K::Missing, false,
         beside, "", "", "Settings cannot be saved: /x/tracely/TRACELY.INI cannot be written and"},
        {"the user's copy is a folder", false, K::File, false, K::Directory, false,
         beside, "", "", "cannot be saved"},
        {"installed, root may write /usr/bin", true, K::Missing, true, K::Missing, true,
         user, user, "", ""},
        {"installed, a file beside it", true, K::File, true, K::Missing, true,
         beside, user, "", ""},
        {"installed, nowhere to write", true, K::Missing, true, K::Missing, false,
         user, "", "", "Settings cannot be saved: /x/tracely/TRACELY.INI cannot be written"},
    };
    // clang-format on
    for (const auto& c : cases) {
        SettingsPlace place;
        place.programFolder = "/prog";
        place.installed = c.installed;
        place.beside = c.besideKind;
        place.besideReplaceable = c.besideReplaceable;
        place.user = c.userKind;
        place.userReplaceable = c.userReplaceable;
        place.xdgConfigHome = "/x";
        const SettingsLocation where = settingsLocationFor(place);
        EXPECT_EQ(std::tuple(where.readPath, where.writePath, where.portsPath),
                  std::tuple(c.read, c.write, c.ports))
            << c.what;
        if (*c.note == '\0') {
            EXPECT_EQ(where.note, "") << c.what;
        } else {
            EXPECT_NE(where.note.find(c.note), std::string::npos) << c.what << ": " << where.note;
        }
    }
    SettingsPlace place;
    place.programFolder = "/prog";
    place.installed = true;
    place.home = "/h";
    EXPECT_EQ(userSettingsPath(place), "/h/.config/tracely/TRACELY.INI");
    place.home.clear();
    place.tempFolder = "/tmp";
    EXPECT_EQ(userSettingsPath(place), "/tmp/tracely/TRACELY.INI");
}

TEST(SettingsFile, InstalledMeansTheManualInShareAndNoneBeside) {
    // Folders made under a scratch root: a build tree, installed, share without the manual.
    const std::pair<std::vector<const char*>, bool> cases[] = {
        {{"bin/help", "share/tracely/help"}, false},
        {{"bin", "share/tracely/help"}, true},
        {{"bin", "share/tracely"}, false}};
    for (const auto& [folders, installed] : cases) {
        test::TempFolder root;
        for (const char* f : folders) {
            std::filesystem::create_directories(root.path() / f);
        }
        EXPECT_EQ(runsInstalled((root.path() / "bin").string()), installed) << folders[1];
    }
}

namespace {

// A program folder with a TRACELY.INI of its own and a user's config folder, both scratch.
struct Folders {
    test::TempFolder program;
    test::TempFolder config;
    std::string beside = program.file("TRACELY.INI");
    std::string user = (config.path() / "tracely" / "TRACELY.INI").string();
    Folders() { ::setenv("XDG_CONFIG_HOME", config.path().c_str(), 1); }
    ~Folders() { ::unsetenv("XDG_CONFIG_HOME"); }
    SettingsLocation locate() const { return locateSettings(program.path().string()); }
};

const std::string kBeside =
    "; the lab's settings\n[PORTS]\nCOM1=/dev/ttyUSB0\n[SETTINGS]\nTimerange=12\n[NOTES]\nn=1\n";

} // namespace

TEST(SettingsFile, ASaveIsOneReplaceOfTheWholeFileKeepingOtherLines) {
    Rig rig;
    test::writeFile(rig.file.path(), kBeside);
    rig.file.LoadSettings();
    const test::FolderWatch replaces(rig.dir.path());
    rig.file.SaveSettings([&] { rig.file.writeKeepRepeating(true); });
    EXPECT_EQ(replaces.look().made, 1);
    EXPECT_TRUE(rig.file.lastSave().saved);
    EXPECT_EQ(rig.file.lastSave().message, "");
    const std::string text = test::readFile(rig.file.path());
    EXPECT_EQ(std::count(text.begin(), text.end(), '='), 39 + 3);
    for (const char* kept : {"; the lab's settings\n[PORTS]\nCOM1=/dev/ttyUSB0\n[SETTINGS]\n",
                             "[NOTES]\nn=1\n", "[LINK]\nKeepRepeating=True\n"}) {
        EXPECT_NE(text.find(kept), std::string::npos) << kept;
    }
    rig.file.writeKeepRepeating(false); // outside a save: a save of its own
    EXPECT_EQ(replaces.look().made, 1);
    EXPECT_FALSE(rig.file.readKeepRepeating());
}

TEST(SettingsFile, AReadOnlyFileIsReadAndTheUsersCopyWrittenAndReadFirstNextTime) {
    Folders f;
    test::writeFile(f.beside, kBeside);
    ASSERT_EQ(::chmod(f.beside.c_str(), 0444), 0);
    const SettingsLocation first = f.locate();
    EXPECT_NE(first.note.find(f.user), std::string::npos) << first.note;
    {
        Rig rig;
        SettingsFile file(rig.s, rig.p, first);
        file.LoadSettings();
        EXPECT_EQ(rig.p.CWKTimeRange->value(), 12); // read from beside the program
        rig.p.CWKTimeRange->setValue(14);
        file.SaveSettings();
        EXPECT_EQ(file.lastSave().path, f.user);
    }
    EXPECT_EQ(test::readFile(f.beside), kBeside);
    const std::string copy = test::readFile(f.user);
    EXPECT_NE(copy.find("; the lab's settings\n"), std::string::npos);
    EXPECT_NE(copy.find("Timerange=14\n"), std::string::npos);
    EXPECT_NE(copy.find("[NOTES]\nn=1\n"), std::string::npos);
    EXPECT_EQ(copy.find("PORTS"), std::string::npos); // these keep coming from beside

    const SettingsLocation next = f.locate();
    EXPECT_EQ(next.readPath, f.user);
    EXPECT_EQ(next.portsPath, f.beside);
    Rig rig;
    SettingsFile(rig.s, rig.p, next).LoadSettings();
    EXPECT_EQ(rig.p.CWKTimeRange->value(), 14);
}

TEST(SettingsFile, ASaveThatFailsTriesTheUsersCopyAndOtherwiseSaysSo) {
    Folders f;
    test::writeFile(f.beside, kBeside);
    const SettingsLocation where = f.locate();
    ASSERT_EQ(where.writePath, f.beside);
    ASSERT_EQ(::chmod(f.beside.c_str(), 0444), 0); // made read-only while the program ran
    {
        Rig rig;
        SettingsFile file(rig.s, rig.p, where);
        file.SaveSettings();
        EXPECT_TRUE(file.lastSave().saved);
        EXPECT_EQ(file.lastSave().path, f.user);
        EXPECT_NE(file.lastSave().message.find(f.beside), std::string::npos);
    }
    // Nowhere: both places refuse.
    std::filesystem::remove(f.user);
    std::filesystem::create_directory(f.user);
    Rig rig;
    SettingsFile file(rig.s, rig.p, where);
    file.SaveSettings();
    EXPECT_FALSE(file.lastSave().saved);
    EXPECT_NE(file.lastSave().message.find("not saved"), std::string::npos);
    EXPECT_EQ(test::readFile(f.beside), kBeside);
}

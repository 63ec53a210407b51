#include "src/settings/settings_file.h"

#include "src/settings/settings_values.h"
#include "src/widgets/knob.h"
#include "src/widgets/slide.h"
#include "src/widgets/two_state_button.h"

#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <tuple>
#include <unistd.h>

namespace tracely {

using namespace settings;

namespace {

constexpr const char* kFileName = "TRACELY.INI";

// The replay needs each handler to run once after its control holds the stored value; the
// controls only signal a change, so an unchanged value is signalled here.
void replay(widgets::ScaleWidget* w, double v) {
    const double before = w->value();
    w->setValue(v);
    if (w->value() == before) {
        emit w->valueChanged(0, w->value());
    }
}

void replay(widgets::TwoStateButton* b, bool v) {
    const bool before = b->value();
    b->setValue(v);
    if (b->value() == before) {
        emit b->valueChanged(v);
    }
}

void select(QRadioButton* option) {
    if (option->isChecked()) {
        emit option->toggled(true); // selected already: the click handler runs all the same
    } else {
        option->setChecked(true);
    }
}

std::string positionOf(const widgets::ScaleWidget* w) {
    return std::to_string(static_cast<long long>(std::llround(w->value())));
}

} // namespace

std::string settingsFileFor(const SettingsPlace& place) {
    namespace fs = std::filesystem;
    const fs::path beside = fs::path(place.programFolder) / kFileName;
    // An installed program's folder (/usr/bin) is never the place, even for root who may
    // write there.
    if (!place.installed && (place.fileWritable || (place.folderWritable && !place.fileExists))) {
        return beside.string();
    }
    const fs::path dir = !place.xdgConfigHome.empty() ? fs::path(place.xdgConfigHome)
                         : !place.home.empty()        ? fs::path(place.home) / ".config"
                                                      : fs::path(place.tempFolder);
    return (dir / "tracely" / kFileName).string();
}

bool runsInstalled(const std::string& programFolder) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path folder(programFolder);
    return !fs::is_directory(folder / "help", ec) &&
           fs::is_directory(folder / ".." / "share" / "tracely" / "help", ec);
}

std::string settingsFilePath(const std::string& programFolder) {
    namespace fs = std::filesystem;
    const fs::path beside = fs::path(programFolder) / kFileName;
    std::error_code ec;
    SettingsPlace place;
    place.programFolder = programFolder;
    place.installed = runsInstalled(programFolder);
    place.fileWritable = ::access(beside.c_str(), W_OK) == 0;
    place.fileExists = fs::exists(beside, ec);
    place.folderWritable = ::access(programFolder.c_str(), W_OK) == 0;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME")) {
        place.xdgConfigHome = xdg;
    }
    if (const char* home = std::getenv("HOME")) {
        place.home = home;
    }
    place.tempFolder = fs::temp_directory_path(ec).string();
    const std::string path = settingsFileFor(place);
    if (path != beside.string()) {
        fs::create_directories(fs::path(path).parent_path(), ec);
    }
    return path;
}

SettingsFile::SettingsFile(FrontPanelState& state, const FrontPanel& panel, std::string path)
    : s_(state), p_(panel), path_(std::move(path)) {}

std::string SettingsFile::read(const char* key) {
    ini_.setKey(key);
    return ini_.Value();
}

void SettingsFile::write(const char* key, const std::string& value) {
    ini_.setKey(key);
    ini_.setValue(value);
}

void SettingsFile::LoadSettings() {
    ini_.setPath(path_);
    loadOptions();
    loadSettingsSection();
    ini_.setSection("COLORS"); // selected, never read: kept for files that carry it
    loadButtons();
    loadTrigger();
}

void SettingsFile::loadOptions() {
    ini_.setSection("OPTIONS");
    for (auto [key, target] :
         {std::pair{"ShowAN", &s_.blnShowAN}, std::pair{"ShowLA", &s_.blnShowLA},
          std::pair{"Plottrig", &s_.blnPlotTrig}, std::pair{"Plotpoints", &s_.blnPlotPoints},
          std::pair{"Showtriglogic", &s_.blnShowTrigLogic}}) {
        if (const auto b = readBoolean(read(key))) {
            *target = *b;
        }
    }
    if (std::string t = read("Samplerate"); !t.empty()) {
        s_.strSampleRate = t;
    }
    if (std::string t = read("Sampleclock"); !t.empty()) {
        s_.strSampleClock = t;
    }
    if (const auto f = readSingle(read("Trigpos"))) {
        s_.sngTrigPos = *f;
    }
}

void SettingsFile::loadSettingsSection() {
    ini_.setSection("SETTINGS");
    for (auto [key, knob] :
         {std::pair{"Chalevel", p_.CWKChaLvl}, std::pair{"Chblevel", p_.CWKChbLvl}}) {
        if (std::string t = read(key); !t.empty()) {
            replay(knob, readPosition(t));
        }
    }
    for (auto [key, slide] :
         {std::pair{"Chaoffset", p_.CWSCHaOffset}, std::pair{"Chboffset", p_.CWSCHbOffset}}) {
        if (std::string t = read(key); !t.empty()) {
            // A value the slide cannot take leaves it as it is; its handler runs regardless.
            replay(slide, readNumber(t).value_or(slide->value()));
        }
    }
    if (std::string t = read("Timerange"); !t.empty()) {
        replay(p_.CWKTimeRange, readPosition(t));
    }
    if (const auto st = readState(read("Asource"))) {
        p_.chkAsource->setChecked(*st); // its handler runs on a change only
    }
}

void SettingsFile::loadButtons() {
    ini_.setSection("BUTTONS");
    for (auto [key, b] :
         {std::pair{"Chax10", p_.CWBCHAx10}, std::pair{"Chbx10", p_.CWBCHBx10},
          std::pair{"Chainv", p_.CWBCHAInv}, std::pair{"Chbinv", p_.CWBCHBInv},
          std::pair{"Chaenable", p_.CWBCHaEnable}, std::pair{"Chbenable", p_.CWBCHbEnable}}) {
        if (const auto v = readBoolean(read(key))) {
            replay(b, *v);
        }
    }
}

void SettingsFile::loadTrigger() {
    ini_.setSection("TRIGGER");
    if (const auto st = readState(read("Trigsource"))) {
        p_.chkTrigSource->setChecked(*st);
    }
    if (const auto v = readBoolean(read("Samplemode"))) {
        replay(p_.CWBSampleMode, *v);
    }
    if (const auto v = readBoolean(read("Primchannel"))) {
        replay(p_.CWBPriChan, *v);
    }
    for (auto [key, keyEn, option] : {std::tuple{"Trigedgeup", "TrigedgeupEN", p_.optTrigRE},
                                      std::tuple{"Trigedgedn", "TrigedgednEN", p_.optTrigFE},
                                      std::tuple{"Triglsense", "TriglsenseEN", p_.optTrigLVL}}) {
        if (readBoolean(read(key)).value_or(false)) {
            select(option);
        }
        if (readBoolean(read(keyEn)).value_or(false)) {
            option->setEnabled(true);
        }
    }
    if (std::string t = read("Triglevel"); !t.empty()) {
        replay(p_.CWKTrigLvl, readNumber(t).value_or(p_.CWKTrigLvl->value()));
    }
    if (readBoolean(read("TriglevelEN")).value_or(false)) {
        p_.CWKTrigLvl->setEnabled(true);
    }
    for (int bit = 7; bit >= 0; --bit) {
        const std::string key = "TrigB" + std::to_string(bit);
        const std::string t = read(key.c_str());
        if (t.empty()) {
            continue;
        }
        QPushButton* b = p_.cmdTrigB[static_cast<std::size_t>(bit)];
        b->setText(QString::fromStdString(t));
        const auto mask = static_cast<std::uint8_t>(1u << bit);
        if (b->text() == QLatin1String("1")) {
            s_.bytREG_R5 |= mask;
            s_.bytREG_R6 &= static_cast<std::uint8_t>(~mask);
        } else if (b->text() == QLatin1String("0")) {
            s_.bytREG_R5 &= static_cast<std::uint8_t>(~mask);
            s_.bytREG_R6 &= static_cast<std::uint8_t>(~mask);
        }
    }
}

void SettingsFile::SaveSettings() {
    ini_.setPath(path_);
    ini_.setSection("OPTIONS");
    write("ShowAN", writeBoolean(s_.blnShowAN));
    write("ShowLA", writeBoolean(s_.blnShowLA));
    write("Plottrig", writeBoolean(s_.blnPlotTrig));
    write("Plotpoints", writeBoolean(s_.blnPlotPoints));
    write("Showtriglogic", writeBoolean(s_.blnShowTrigLogic));
    write("Samplerate", s_.strSampleRate);
    write("Sampleclock", s_.strSampleClock);
    write("Trigpos", writeSingle(s_.sngTrigPos));

    ini_.setSection("SETTINGS");
    write("Chalevel", positionOf(p_.CWKChaLvl));
    write("Chblevel", positionOf(p_.CWKChbLvl));
    write("Chaoffset", writeNumber(p_.CWSCHaOffset->value()));
    write("Chboffset", writeNumber(p_.CWSCHbOffset->value()));
    write("Timerange", positionOf(p_.CWKTimeRange));
    write("Asource", writeState(p_.chkAsource->isChecked()));

    ini_.setSection("BUTTONS");
    write("Chax10", writeBoolean(p_.CWBCHAx10->value()));
    write("Chbx10", writeBoolean(p_.CWBCHBx10->value()));
    write("Chainv", writeBoolean(p_.CWBCHAInv->value()));
    write("Chbinv", writeBoolean(p_.CWBCHBInv->value()));
    write("Chaenable", writeBoolean(p_.CWBCHaEnable->value()));
    write("Chbenable", writeBoolean(p_.CWBCHbEnable->value()));

    ini_.setSection("TRIGGER");
    write("Trigsource", writeState(p_.chkTrigSource->isChecked()));
    write("Samplemode", writeBoolean(p_.CWBSampleMode->value()));
    write("Primchannel", writeBoolean(p_.CWBPriChan->value()));
    write("Triglevel", writeNumber(p_.CWKTrigLvl->value()));
    write("TriglevelEN", writeBoolean(p_.CWKTrigLvl->isEnabled()));
    write("Trigedgeup", writeBoolean(p_.optTrigRE->isChecked()));
    write("TrigedgeupEN", writeBoolean(p_.optTrigRE->isEnabled()));
    write("Trigedgedn", writeBoolean(p_.optTrigFE->isChecked()));
    write("TrigedgednEN", writeBoolean(p_.optTrigFE->isEnabled()));
    write("Triglsense", writeBoolean(p_.optTrigLVL->isChecked()));
    write("TriglsenseEN", writeBoolean(p_.optTrigLVL->isEnabled()));
    for (int bit = 7; bit >= 0; --bit) {
        const std::string key = "TrigB" + std::to_string(bit);
        write(key.c_str(), p_.cmdTrigB[static_cast<std::size_t>(bit)]->text().toStdString());
    }
}

namespace {
constexpr const char* kLinkSection = "LINK";
constexpr const char* kKeepRepeatingKey = "KeepRepeating";
} // namespace

bool SettingsFile::readKeepRepeating() {
    ini_.setPath(path_);
    ini_.setSection(kLinkSection);
    ini_.setDefault("");
    return readBoolean(read(kKeepRepeatingKey)).value_or(false);
}

void SettingsFile::writeKeepRepeating(bool on) {
    ini_.setPath(path_);
    ini_.setSection(kLinkSection);
    write(kKeepRepeatingKey, writeBoolean(on));
}

} // namespace tracely

#include "src/settings/settings_file.h"

#include "src/settings/ini_profile.h"
#include "src/settings/ini_storage.h"
#include "src/settings/settings_log.h"
#include "src/settings/settings_values.h"
#include "src/widgets/knob.h"
#include "src/widgets/slide.h"
#include "src/widgets/two_state_button.h"

#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>

#include <cmath>
#include <filesystem>
#include <optional>
#include <tuple>

namespace tracely {

using namespace settings;

namespace {

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

SettingsFile::SettingsFile(FrontPanelState& state, const FrontPanel& panel, std::string path)
    : SettingsFile(state, panel, SettingsLocation::at(path)) {}

SettingsFile::SettingsFile(FrontPanelState& state, const FrontPanel& panel, SettingsLocation where)
    : s_(state), p_(panel), where_(std::move(where)) {}

std::string SettingsFile::read(const char* key) {
    ini_.setKey(key);
    return ini_.Value();
}

// Writes are gathered and reach the file together, in one replace (see commit).
void SettingsFile::write(const char* key, const std::string& value) {
    ini_.setKey(key);
    edits_.push_back({ini_.Section(), key, value});
    if (!gathering_) {
        commit();
    }
}

void SettingsFile::LoadSettings() {
    ini_.setPath(where_.readPath);
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

void SettingsFile::SaveSettings(const std::function<void()>& alsoWrite) {
    gathering_ = true;
    writePanel();
    if (alsoWrite) {
        alsoWrite();
    }
    gathering_ = false;
    commit();
}

void SettingsFile::commit() {
    const std::vector<Edit> edits = std::exchange(edits_, {});
    lastSave_ = SaveOutcome{};
    std::string tried;
    for (const std::string& target : {where_.writePath, where_.fallbackPath}) {
        if (target.empty() || target == tried) {
            continue;
        }
        tried = target;
        if (target == where_.fallbackPath) {
            std::error_code ec; // the user's folder is made when it is first needed
            std::filesystem::create_directories(std::filesystem::path(target).parent_path(), ec);
        }
        std::optional<std::string> text = baseFor(target);
        if (!text) {
            qCInfo(lcSettings) << "not replacing" << target.c_str() << "(not a file to replace)";
            continue;
        }
        const std::string before = *text;
        for (const Edit& e : edits) {
            // A write the file could not read back is skipped; the others still go.
            ini::Refusal why = ini::Refusal::None;
            if (auto edited = ini::writeValue(*text, e.section, e.key, e.value, &why)) {
                *text = std::move(*edited);
            } else {
                qCInfo(lcSettings) << "skipped" << e.section.c_str() << e.key.c_str() << "(refusal"
                                   << static_cast<int>(why) << ")";
            }
        }
        const bool same = *text == before && ini::probe(target) == ini::PathKind::File;
        if (!same && !ini::replaceFile(target, *text)) {
            qCInfo(lcSettings) << "could not replace" << target.c_str();
            continue;
        }
        lastSave_.saved = true;
        lastSave_.path = target;
        if (target != where_.writePath) {
            lastSave_.message =
                "Settings saved to " + target + ": " + where_.writePath + " could not be written";
            qCInfo(lcSettings).noquote() << QString::fromStdString(lastSave_.message);
        }
        where_.readPath = target; // what is read from now on is what was saved
        ini_.setPath(target);
        return;
    }
    lastSave_.message =
        where_.writePath.empty() && where_.fallbackPath.empty()
            ? "Settings not saved: " + where_.note
            : "Settings not saved: " +
                  (where_.writePath.empty() ? where_.fallbackPath : where_.writePath) +
                  " could not be written";
    qCInfo(lcSettings).noquote() << QString::fromStdString(lastSave_.message);
}

// The text a save edits: the file itself, or for a new file the file read so far (so that a
// user's copy keeps its comments and other sections), without the [PORTS] entries, which keep
// coming from beside the program. Nothing for a file that must not be replaced.
std::optional<std::string> SettingsFile::baseFor(const std::string& target) const {
    const ini::FileText file = ini::loadFile(target);
    if (file.state == ini::FileState::Loaded) {
        return file.text;
    }
    if (file.state == ini::FileState::Unusable) {
        return std::nullopt;
    }
    if (target == where_.readPath) {
        return std::string();
    }
    const ini::FileText read = ini::loadFile(where_.readPath);
    if (read.state != ini::FileState::Loaded) {
        return std::string();
    }
    return ini::deleteSection(read.text, "PORTS").value_or(std::string());
}

void SettingsFile::writePanel() {
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
    ini_.setPath(where_.readPath);
    ini_.setSection(kLinkSection);
    ini_.setDefault("");
    return readBoolean(read(kKeepRepeatingKey)).value_or(false);
}

void SettingsFile::writeOwn(const std::string& section, const std::string& key,
                            const std::string& value) {
    edits_.push_back({section, key, value});
    if (!gathering_) {
        commit();
    }
}

void SettingsFile::writeKeepRepeating(bool on) {
    ini_.setSection(kLinkSection);
    write(kKeepRepeatingKey, writeBoolean(on));
}

} // namespace tracely

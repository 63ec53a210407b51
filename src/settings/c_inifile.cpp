#include "src/settings/c_inifile.h"

#include "src/settings/clng.h"
#include "src/settings/ini_profile.h"
#include "src/settings/ini_storage.h"

#include <optional>

namespace tracely {
namespace {

// The platform's buffers: a value read holds at most 254 characters, a list 8191.
constexpr std::size_t kValueBuffer = 255;
constexpr std::size_t kListBuffer = 8192;

std::string cut(std::string text, std::size_t buffer) {
    if (text.size() > buffer - 1) {
        text.resize(buffer - 1);
    }
    return text;
}

std::vector<std::string> keysOf(const std::string& path, const std::string& section) {
    const ini::FileText file = ini::loadFile(path);
    if (file.state != ini::FileState::Loaded) {
        return {};
    }
    return ini::keyNames(file.text, section);
}

std::vector<std::string> sectionsOf(const std::string& path) {
    const ini::FileText file = ini::loadFile(path);
    if (file.state != ini::FileState::Loaded) {
        return {};
    }
    return ini::sectionNames(file.text);
}

// The 1-based arrays of the classic interface become 0-based vectors; only names that fit
// the platform's list buffer are returned, as the list text would carry them.
void enumerate(const std::vector<std::string>& all, std::vector<std::string>& names,
               std::int32_t& count) {
    names = ini::splitNames(ini::joinNames(all, kListBuffer));
    count = static_cast<std::int32_t>(names.size());
}

} // namespace

// Loads the file, applies the edit and replaces the file when the text changed. A file that
// cannot be used (too large, not a regular file) is never replaced.
template <class Edit> void cInifile::commit(Edit edit) {
    lastReturnCode_ = 0;
    if (path_.empty()) {
        return;
    }
    const ini::FileText file = ini::loadFile(path_);
    if (file.state == ini::FileState::Unusable) {
        return;
    }
    const std::optional<std::string> edited = edit(file.text);
    if (!edited) {
        return;
    }
    if (*edited == file.text) {
        lastReturnCode_ = 1;
        return;
    }
    lastReturnCode_ = ini::replaceFile(path_, *edited) ? 1 : 0;
}

std::string cInifile::Value() const {
    const ini::FileText file = ini::loadFile(path_);
    std::optional<std::string> value;
    if (file.state == ini::FileState::Loaded) {
        value = ini::readValue(file.text, section_, key_);
    }
    return cut(value ? std::move(*value) : default_, kValueBuffer);
}

void cInifile::setValue(std::string_view sValue) {
    commit([&](const std::string& text) { return ini::writeValue(text, section_, key_, sValue); });
}

void cInifile::DeleteKey() {
    commit([&](const std::string& text) { return ini::deleteKey(text, section_, key_); });
}

void cInifile::DeleteSection() {
    commit([&](const std::string& text) { return ini::deleteSection(text, section_); });
}

std::string cInifile::INISection() const {
    const std::string list = ini::joinNames(keysOf(path_, section_), kListBuffer);
    return list.empty() ? cut(default_, kListBuffer) : list;
}

void cInifile::setINISection(std::string_view) {
    DeleteSection();
}

std::string cInifile::Sections() const {
    return ini::joinNames(sectionsOf(path_), kListBuffer);
}

void cInifile::EnumerateCurrentSection(std::vector<std::string>& sKey, std::int32_t& iCount) const {
    enumerate(keysOf(path_, section_), sKey, iCount);
}

void cInifile::EnumerateAllSections(std::vector<std::string>& sSections,
                                    std::int32_t& iCount) const {
    enumerate(sectionsOf(path_), sSections, iCount);
}

std::int32_t cInifile::CLngDefault(std::string_view sString, std::int32_t lDefault) {
    return ini::toLong(sString).value_or(lDefault);
}

} // namespace tracely

#pragma once

#include "src/settings/placed_window.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tracely {

// One INI file seen through a current section, key and default. The class keeps no copy of
// the file: every read and every write goes to the file at once, so the file is the state.
//
//     cInifile ini;
//     ini.setPath("/path/TRACELY.INI");
//     ini.setSection("PORTS");
//     ini.setKey("COM1");
//     ini.setValue("/dev/ttyUSB0");       // write; Success() tells whether it worked
//     std::string path = ini.Value();     // read; missing -> Default()
//
// Properties are a getter named as the property and a setter named set<Property>. Writes and
// deletes store 1 (done) or 0 (failed or refused) in LastReturnCode; reads never change it.
// Names are compared without regard to ASCII case.
class cInifile {
public:
    std::int32_t LastReturnCode() const { return lastReturnCode_; }
    bool Success() const { return lastReturnCode_ != 0; }

    const std::string& Default() const { return default_; }
    void setDefault(std::string sDefault) { default_ = std::move(sDefault); }
    const std::string& Path() const { return path_; }
    void setPath(std::string sPath) { path_ = std::move(sPath); }
    const std::string& Key() const { return key_; }
    void setKey(std::string sKey) { key_ = std::move(sKey); }
    const std::string& Section() const { return section_; }
    void setSection(std::string sSection) { section_ = std::move(sSection); }

    // The current key's value cut to 254 characters, or Default (cut alike) when the file,
    // section or key is missing, or the file cannot be used.
    std::string Value() const;
    // Writes the current key. NUL, CR and LF are removed from the value first.
    void setValue(std::string_view sValue);

    void DeleteKey();
    void DeleteSection();

    // Key names of the current section, each followed by a NUL (at most 8192 characters with
    // the final terminator); Default when the section has no keys.
    std::string INISection() const;
    // Removes the current section whatever the text.
    void setINISection(std::string_view sSection);
    // Section names of the file, each followed by a NUL, within the same 8192 characters.
    std::string Sections() const;

    // The key names of the current section / the section names of the file, 0-based, in file
    // order, with their count (0 and an empty vector when there are none).
    void EnumerateCurrentSection(std::vector<std::string>& sKey, std::int32_t& iCount) const;
    void EnumerateAllSections(std::vector<std::string>& sSections, std::int32_t& iCount) const;

    // Window placement under the current section ("Maximised", "Left", "Top", "Width",
    // "Height"). Key and Default read as before afterwards. A minimum size of 0 (the default)
    // means no minimum beyond a window of at least one twip.
    void SaveFormPosition(PlacedWindow& frmThis);
    void LoadFormPosition(PlacedWindow& frmThis, std::int32_t lMinWidth = 0,
                          std::int32_t lMinHeight = 0);

    // sString as a 32-bit integer (BASIC CLng rules, halves to even), or lDefault when it is
    // not a number or out of range.
    static std::int32_t CLngDefault(std::string_view sString, std::int32_t lDefault);

private:
    template <class Edit> void commit(Edit edit);

    std::string path_;
    std::string key_;
    std::string section_;
    std::string default_;
    std::int32_t lastReturnCode_ = 0;
};

} // namespace tracely

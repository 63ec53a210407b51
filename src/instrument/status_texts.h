#pragma once

#include <string>
#include <string_view>

// The status bar's panels: their keys and the texts they show, built in one place for every
// part that writes them.
namespace tracely::status {

inline constexpr const char* kFirmware = "sbrFirmWare";
inline constexpr const char* kBaudRate = "sbrBaudRate";
inline constexpr const char* kComPort = "sbrComPort";
inline constexpr const char* kSampleRate = "sbrSampleRate";
inline constexpr const char* kCursorData = "sbrCursorData";
inline constexpr const char* kLink = "sbrLink";

// "Firmware: " and so on, followed by the value (nothing while the link is down).
std::string firmwareText(std::string_view version = {});
std::string baudText(std::string_view baud = {});
std::string comPortText(std::string_view port = {});
std::string sampleRateText(std::string_view rate);
std::string cursorsOnText(std::string_view channel);

} // namespace tracely::status

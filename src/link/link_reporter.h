#pragma once

namespace tracely {

// Status-bar panel keys the link reports on.
namespace panel {
inline constexpr const char* kFirmware = "sbrFirmWare";
inline constexpr const char* kBaudRate = "sbrBaudRate";
inline constexpr const char* kComPort = "sbrComPort";
inline constexpr const char* kSampleRate = "sbrSampleRate";
inline constexpr const char* kCursorData = "sbrCursorData";
} // namespace panel

// The one message the user ever gets in a box: the instrument does not answer.
inline constexpr const char* kCommErrorText =
    "Unable to Communicate with Bitscope - Check Comm Port Connection!";
inline constexpr const char* kCommErrorTitle = "Tracely Comm Error";

} // namespace tracely

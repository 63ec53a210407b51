#pragma once

#include <string>

namespace tracely {

// Status-bar panel keys the link reports on.
namespace panel {
inline constexpr const char* kFirmware = "sbrFirmWare";
inline constexpr const char* kBaudRate = "sbrBaudRate";
inline constexpr const char* kComPort = "sbrComPort";
inline constexpr const char* kSampleRate = "sbrSampleRate";
inline constexpr const char* kCursorData = "sbrCursorData";
} // namespace panel

// Where the link shows what it found: keyed status-bar panels and the one message the user
// ever gets in a box. The main window implements it; tests record it.
class LinkReporter {
public:
    virtual ~LinkReporter() = default;
    virtual void setPanelText(const std::string& key, const std::string& text) = 0;
    // "Unable to Communicate with Bitscope - Check Comm Port Connection!", modal.
    virtual void showCommError() = 0;
};

struct FrontPanelState;

// The status bar of a link that is down: bare labels, the sample rate and the cursor source.
void reportLinkDown(LinkReporter& reporter, const FrontPanelState& state);

inline constexpr const char* kCommErrorText =
    "Unable to Communicate with Bitscope - Check Comm Port Connection!";
inline constexpr const char* kCommErrorTitle = "Tracely Comm Error";

} // namespace tracely

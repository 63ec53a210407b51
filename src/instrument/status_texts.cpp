#include "src/instrument/status_texts.h"

namespace tracely::status {

namespace {
std::string joined(std::string_view label, std::string_view value) {
    std::string text(label);
    text += value;
    return text;
}
} // namespace

std::string firmwareText(std::string_view version) {
    return joined("Firmware: ", version);
}

std::string baudText(std::string_view baud) {
    return joined("Baud: ", baud);
}

std::string comPortText(std::string_view port) {
    return joined("Com: ", port);
}

std::string sampleRateText(std::string_view rate) {
    return joined("Sample Rate: ", rate);
}

std::string cursorsOnText(std::string_view channel) {
    return joined("Cursors On: ", channel);
}

} // namespace tracely::status

#include "src/capture/capture_csv.h"

#include <array>
#include <charconv>
#include <string>

namespace tracely {

namespace {

std::string shortest(float v) {
    std::array<char, 32> buf{};
    const auto r = std::to_chars(buf.data(), buf.data() + buf.size(), v);
    return {buf.data(), r.ptr};
}

// Nine figures, never in the user's locale: a decimal comma would split the cell.
std::string general(double v) {
    std::array<char, 32> buf{};
    const auto r =
        std::to_chars(buf.data(), buf.data() + buf.size(), v, std::chars_format::general, 9);
    return {buf.data(), r.ptr};
}

double decimal(const std::string& text) {
    double v = 0.0;
    std::from_chars(text.data(), text.data() + text.size(), v);
    return v;
}

const char* modeName(TriggerMode m) {
    return m == TriggerMode::Rising    ? "rising edge"
           : m == TriggerMode::Falling ? "falling edge"
                                       : "level";
}

} // namespace

std::string csvField(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
        return std::string(text);
    }
    std::string out = "\"";
    for (char c : text) {
        out += c;
        if (c == '"') {
            out += '"';
        }
    }
    return out + "\"";
}

std::string captureCsv(const CaptureRecord& r, const CapturePoints& p) {
    std::string out;
    const auto row = [&out](std::string_view name, const std::string& value) {
        out += csvField(name) + "," + csvField(value) + "\r\n";
    };
    char which = 0;
    const std::vector<float>* volts = p.analog(r, &which);
    const CaptureChannel& ch = which == 'B' ? r.b : r.a;
    out += "Tracely capture\r\n";
    row("Sample rate", r.sampleRate);
    row("Sample clock", r.sampleClock);
    row("Seconds per point", shortest(r.timeAdj));
    row("Seconds per division", general(1.0 / r.timeScale));
    row("Channel", volts ? std::string(1, which) : std::string("none"));
    row("Volts per division", volts ? general(ch.voltsPerDiv()) : std::string());
    row("Probe", r.pod ? "pod" : ch.x10 ? "x10" : "x1");
    row("Input", r.pod ? "POD" : "BNC");
    row("Inverted on screen", ch.inverted ? "yes" : "no");
    row("Trigger source", r.logicTrigger ? "logic" : "analog");
    row("Trigger mode", modeName(r.triggerMode));
    row("Trigger level", std::to_string(r.triggerLevel));
    row("Trigger word (D7..D0)", r.triggerWord);
    row("Firmware", r.firmware);
    row("Taken (UTC)", r.takenAt);
    out += "\r\n";
    out += "time_s,volts,D0,D1,D2,D3,D4,D5,D6,D7\r\n";
    const std::size_t n = std::max(p.logic.size(), volts ? volts->size() : 0);
    // The single-precision interval by its decimal (4e-08, not 3.99999998e-08): times then read
    // as the whole multiples they are.
    const double dt = decimal(shortest(r.timeAdj));
    for (std::size_t i = 0; i < n; ++i) {
        const double t = (static_cast<double>(i) + 1.0 - p.trigIndex) * dt;
        out += general(t);
        out += ',';
        if (volts && i < volts->size()) {
            out += shortest((*volts)[i]);
        }
        for (std::size_t k = 0; k < 8; ++k) {
            out += ',';
            if (i < p.logic.size()) {
                out += p.logic[i][k] ? '1' : '0';
            }
        }
        out += "\r\n";
    }
    return out;
}

} // namespace tracely

#include "sim/signals.h"

#include <cctype>
#include <cmath>
#include <numbers>
#include <sstream>
#include <vector>

namespace tracely::sim {

namespace {

std::string lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return out;
}

std::vector<std::string> words(std::string_view text) {
    std::istringstream in{std::string(text)};
    std::vector<std::string> out;
    for (std::string w; in >> w;) {
        out.push_back(lower(w));
    }
    return out;
}

// A number followed by a unit with an optional metric prefix: "1.5v", "200mv", "1khz".
std::optional<double> quantity(const std::string& word, std::string_view unit) {
    if (word.size() <= unit.size() ||
        word.compare(word.size() - unit.size(), unit.size(), unit) != 0) {
        return std::nullopt;
    }
    std::string number = word.substr(0, word.size() - unit.size());
    double scale = 1.0;
    if (!number.empty()) {
        switch (number.back()) {
        case 'k':
            scale = 1e3;
            break;
        case 'm':
            // "m" before "hz" would be milli; before "v" it is milli too. Mega is "M" lowered,
            // so a frequency spelt "mhz" means megahertz: the only sensible reading.
            scale = unit == "hz" ? 1e6 : 1e-3;
            break;
        case 'u':
            scale = 1e-6;
            break;
        default:
            break;
        }
        if (scale != 1.0) {
            number.pop_back();
        }
    }
    std::size_t used = 0;
    double v = 0.0;
    try {
        v = std::stod(number, &used);
    } catch (...) {
        return std::nullopt;
    }
    if (used != number.size() || !std::isfinite(v * scale)) {
        return std::nullopt;
    }
    return v * scale;
}

std::optional<double> plainNumber(const std::string& word) {
    std::size_t used = 0;
    try {
        const double v = std::stod(word, &used);
        if (used == word.size() && std::isfinite(v)) {
            return v;
        }
    } catch (...) {
    }
    return std::nullopt;
}

double frac(double x) {
    return x - std::floor(x);
}

} // namespace

std::uint64_t mix(std::uint64_t a, std::uint64_t b, std::uint64_t c) {
    // splitmix64 over the three inputs
    std::uint64_t z = a * 0x9E3779B97F4A7C15ull ^
                      (b + 0x632BE59BD9B4E019ull) * 0xBF58476D1CE4E5B9ull ^
                      (c + 0x94D049BB133111EBull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

std::optional<Waveform> parseWave(std::string_view text, std::string& error) {
    const auto w = words(text);
    if (w.empty()) {
        error = "empty signal";
        return std::nullopt;
    }
    Waveform shape;
    const std::string& k = w[0];
    if (k == "sine") {
        shape.kind = WaveKind::Sine;
    } else if (k == "square") {
        shape.kind = WaveKind::Square;
    } else if (k == "triangle") {
        shape.kind = WaveKind::Triangle;
    } else if (k == "sawtooth" || k == "saw") {
        shape.kind = WaveKind::Sawtooth;
    } else if (k == "dc") {
        shape.kind = WaveKind::Dc;
    } else if (k == "noise") {
        shape.kind = WaveKind::Noise;
    } else {
        error = "unknown waveform '" + k + "'";
        return std::nullopt;
    }
    int volts = 0;
    for (std::size_t i = 1; i < w.size(); ++i) {
        if (auto f = quantity(w[i], "hz")) {
            if (*f <= 0.0 || *f > 1e9) {
                error = "frequency out of range: " + w[i];
                return std::nullopt;
            }
            shape.frequency = *f;
        } else if (auto v = quantity(w[i], "v")) {
            if (std::fabs(*v) > 1000.0) {
                error = "voltage out of range: " + w[i];
                return std::nullopt;
            }
            (volts++ == 0 ? shape.amplitude : shape.offset) = *v;
        } else {
            error = "not understood: '" + w[i] + "'";
            return std::nullopt;
        }
    }
    return shape;
}

std::optional<LogicPattern> parseLogic(std::string_view text, std::string& error) {
    const auto w = words(text);
    if (w.empty()) {
        error = "empty logic pattern";
        return std::nullopt;
    }
    LogicPattern shape;
    const std::string& k = w[0];
    if (k == "counter") {
        shape.kind = LogicKind::Counter;
    } else if (k == "walk" || k == "walking") {
        shape.kind = LogicKind::Walk;
    } else if (k == "gray") {
        shape.kind = LogicKind::Gray;
    } else if (k == "random") {
        shape.kind = LogicKind::Random;
    } else if (k == "uart") {
        shape.kind = LogicKind::Uart;
        shape.rate = 9600;
    } else if (k == "off") {
        shape.kind = LogicKind::Off;
    } else {
        error = "unknown logic pattern '" + k + "'";
        return std::nullopt;
    }
    for (std::size_t i = 1; i < w.size(); ++i) {
        if (auto f = quantity(w[i], "hz")) {
            shape.rate = *f;
        } else if (w[i].rfind("line", 0) == 0 && w[i].size() == 5 && w[i][4] >= '0' &&
                   w[i][4] <= '7') {
            shape.line = w[i][4] - '0';
        } else if (auto n = plainNumber(w[i])) {
            shape.rate = *n; // a bare number is a bit rate
        } else {
            error = "not understood: '" + w[i] + "'";
            return std::nullopt;
        }
    }
    if (!(shape.rate > 0.0) || shape.rate > 1e9) {
        error = "rate out of range";
        return std::nullopt;
    }
    return shape;
}

double voltage(const Waveform& w, double t, std::int64_t n, std::uint64_t seed, int channel) {
    const double ph = frac(w.frequency * t);
    switch (w.kind) {
    case WaveKind::Sine:
        return w.offset + w.amplitude * std::sin(2.0 * std::numbers::pi * ph);
    case WaveKind::Square:
        return w.offset + (ph < 0.5 ? w.amplitude : -w.amplitude);
    case WaveKind::Triangle:
        return w.offset + w.amplitude * (ph < 0.5 ? 4.0 * ph - 1.0 : 3.0 - 4.0 * ph);
    case WaveKind::Sawtooth:
        return w.offset + w.amplitude * (2.0 * ph - 1.0);
    case WaveKind::Dc:
        return w.offset + w.amplitude;
    case WaveKind::Noise: {
        const std::uint64_t r =
            mix(seed, static_cast<std::uint64_t>(channel), static_cast<std::uint64_t>(n));
        const double u = static_cast<double>(r >> 11) / 9007199254740992.0; // [0, 1)
        return w.offset + w.amplitude * (2.0 * u - 1.0);
    }
    }
    return 0.0;
}

std::uint8_t logicByte(const LogicPattern& l, double t, std::uint64_t seed) {
    if (l.kind == LogicKind::Off) {
        return 0;
    }
    const double steps = std::floor(t * l.rate);
    // Far-future times wrap harmlessly instead of overflowing the integer step.
    const auto step = static_cast<std::uint64_t>(std::fmod(steps, 1.8e19 / 2));
    switch (l.kind) {
    case LogicKind::Counter:
        return static_cast<std::uint8_t>(step);
    case LogicKind::Walk:
        return static_cast<std::uint8_t>(1u << (step % 8));
    case LogicKind::Gray:
        return static_cast<std::uint8_t>((step & 0xFF) ^ ((step & 0xFF) >> 1));
    case LogicKind::Random:
        return static_cast<std::uint8_t>(mix(seed, 0x10, step));
    case LogicKind::Uart: {
        // 8N1 frames of a repeating text, two idle bits between frames; idle is high.
        static constexpr std::string_view kText = "Tracely\r\n";
        const std::uint64_t frame = step / 12;
        const std::uint64_t bit = step % 12;
        const auto ch = static_cast<unsigned char>(kText[frame % kText.size()]);
        bool level = true;
        if (bit == 0) {
            level = false; // start bit
        } else if (bit <= 8) {
            level = ((ch >> (bit - 1)) & 1u) != 0;
        }
        return level ? static_cast<std::uint8_t>(1u << l.line) : 0;
    }
    case LogicKind::Off:
        break;
    }
    return 0;
}

} // namespace tracely::sim

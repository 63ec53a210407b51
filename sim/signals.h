#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The synthetic signals the simulated instrument samples: one waveform per analog channel and
// a pattern on the eight logic lines. Pure functions of time (and a seed), so a capture can be
// generated lazily, sample by sample, in any order.
namespace tracely::sim {

enum class WaveKind { Sine, Square, Triangle, Sawtooth, Dc, Noise };

struct Waveform {
    WaveKind kind = WaveKind::Dc;
    double frequency = 1000.0; // Hz
    double amplitude = 0.0;    // volts, peak (the level for dc)
    double offset = 0.0;       // volts
};

// "sine 1kHz 1.5V", "square 2kHz 1V 0.5V" (the second voltage is the offset), "dc 0.3V",
// "noise 0.1V". Returns nothing and sets `error` when the text is not understood.
std::optional<Waveform> parseWave(std::string_view text, std::string& error);

enum class LogicKind { Counter, Walk, Gray, Random, Uart, Off };

struct LogicPattern {
    LogicKind kind = LogicKind::Off;
    double rate = 1000.0; // steps per second (bits per second for the UART)
    int line = 0;         // the UART's line, 0..7
};

// "counter 10kHz", "walk 1kHz", "gray 5kHz", "random 1kHz", "uart 9600 line3", "off".
std::optional<LogicPattern> parseLogic(std::string_view text, std::string& error);

// Voltage of a channel at time t; n is the global sample number (noise is a function of it).
double voltage(const Waveform& w, double t, std::int64_t n, std::uint64_t seed, int channel);

// The logic byte at time t (bit 0 is line 1).
std::uint8_t logicByte(const LogicPattern& l, double t, std::uint64_t seed);

// A repeatable 64-bit mix of its inputs.
std::uint64_t mix(std::uint64_t a, std::uint64_t b, std::uint64_t c);

} // namespace tracely::sim

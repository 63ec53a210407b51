#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tracely::sim {

// What a real serial line adds between the instrument's transmitter and the program: a
// USB-serial adapter's latency, jitter, and replies handed over in pieces. Seconds.
struct LineDelays {
    double latency = 0.0; // added to the arrival of every byte
    double jitter = 0.0;  // up to this much more, drawn once per reply
    bool split = false;   // replies arrive in random pieces with short pauses between them
    std::uint64_t seed = 1;

    static constexpr double kMaxPause = 0.003; // before each piece after the first
};

// The instrument's transmitter: bytes leave one after another at the line speed, ten bit times
// each (start, eight data bits, stop). A byte is due when its stop bit has gone out, plus
// whatever the line's delays add; bytes are never due before the ones queued ahead of them.
class Pacer {
public:
    explicit Pacer(bool pace = true, LineDelays delays = {}) : pace_(pace), delays_(delays) {}

    void setBaud(int baud);
    double byteTime() const { return pace_ ? byteTime_ : 0.0; }

    // Queues bytes handed to the transmitter at time `now`.
    void push(std::string_view bytes, double now);
    // After everything queued so far has gone out, the line is to be hung up.
    void pushHangUp(double now);

    // Takes the bytes whose time has come.
    std::string takeDue(double now);
    bool hangUpDue(double now) const;
    // When the next byte (or the hang-up) is due; nothing when idle.
    std::optional<double> nextDue() const;
    std::size_t queued() const { return queue_.size(); }
    // Drops everything not yet sent (the program went away).
    void clear();

    // The due time of the i-th queued byte (for tests of the schedule).
    double dueAt(std::size_t i) const { return queue_.at(i).due; }

private:
    struct Item {
        char byte;
        double due;
    };
    double uniform(); // [0, 1), from the seed
    std::vector<std::size_t> cutPoints(std::size_t size);

    bool pace_;
    LineDelays delays_;
    std::uint64_t draws_ = 0;
    double byteTime_ = 10.0 / 57600.0;
    double lineFreeAt_ = 0.0; // when the wire itself is free again
    double lastDue_ = 0.0;    // arrival of the last byte queued
    std::deque<Item> queue_;
    std::optional<double> hangUpAt_;
};

} // namespace tracely::sim

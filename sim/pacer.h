#pragma once

#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <string_view>

namespace tracely::sim {

// The instrument's transmitter: bytes leave one after another at the line speed, ten bit times
// each (start, eight data bits, stop). A byte is due when its stop bit has gone out.
class Pacer {
public:
    explicit Pacer(bool pace = true) : pace_(pace) {}

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
    bool pace_;
    double byteTime_ = 10.0 / 57600.0;
    double lineFreeAt_ = 0.0;
    std::deque<Item> queue_;
    std::optional<double> hangUpAt_;
};

} // namespace tracely::sim

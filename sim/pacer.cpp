#include "sim/pacer.h"

#include <algorithm>

namespace tracely::sim {

void Pacer::setBaud(int baud) {
    if (baud > 0) {
        byteTime_ = 10.0 / static_cast<double>(baud);
    }
}

void Pacer::push(std::string_view bytes, double now) {
    double t = std::max(now, lineFreeAt_);
    for (char c : bytes) {
        t += byteTime();
        queue_.push_back({c, t});
    }
    lineFreeAt_ = t;
}

void Pacer::pushHangUp(double now) {
    hangUpAt_ = std::max(now, lineFreeAt_);
}

std::string Pacer::takeDue(double now) {
    std::string out;
    while (!queue_.empty() && queue_.front().due <= now) {
        out += queue_.front().byte;
        queue_.pop_front();
    }
    return out;
}

bool Pacer::hangUpDue(double now) const {
    return hangUpAt_ && *hangUpAt_ <= now && queue_.empty();
}

std::optional<double> Pacer::nextDue() const {
    if (!queue_.empty()) {
        return queue_.front().due;
    }
    return hangUpAt_;
}

void Pacer::clear() {
    queue_.clear();
    lineFreeAt_ = 0.0;
}

} // namespace tracely::sim

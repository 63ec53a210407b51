#include "sim/pacer.h"

#include "sim/signals.h"

#include <algorithm>

namespace tracely::sim {

namespace {
// An adapter hands a reply over in a few packets, not byte by byte.
constexpr std::size_t kMaxCuts = 4;
constexpr std::uint64_t kDrawTag = 0x5E;
} // namespace

void Pacer::setBaud(int baud) {
    if (baud > 0) {
        byteTime_ = 10.0 / static_cast<double>(baud);
    }
}

double Pacer::uniform() {
    return static_cast<double>(mix(delays_.seed, kDrawTag, draws_++) >> 11) * 0x1.0p-53;
}

std::vector<std::size_t> Pacer::cutPoints(std::size_t size) {
    const std::size_t most = std::min(size - 1, kMaxCuts);
    const auto count = 1 + static_cast<std::size_t>(uniform() * static_cast<double>(most));
    std::vector<std::size_t> cuts;
    for (std::size_t i = 0; i < count; ++i) {
        cuts.push_back(1 + static_cast<std::size_t>(uniform() * static_cast<double>(size - 1)));
    }
    std::sort(cuts.begin(), cuts.end());
    cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());
    return cuts;
}

void Pacer::push(std::string_view bytes, double now) {
    double t = std::max(now, lineFreeAt_);
    double extra = delays_.latency;
    if (delays_.jitter > 0.0) {
        extra += delays_.jitter * uniform();
    }
    std::vector<std::size_t> cuts;
    if (delays_.split && bytes.size() > 1) {
        cuts = cutPoints(bytes.size());
    }
    auto cut = cuts.begin();
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (cut != cuts.end() && *cut == i) {
            extra += LineDelays::kMaxPause * uniform();
            ++cut;
        }
        t += byteTime();
        // A shorter jitter on this reply must not let it overtake the one before.
        lastDue_ = std::max(t + extra, lastDue_);
        queue_.push_back({bytes[i], lastDue_});
    }
    lineFreeAt_ = t;
}

void Pacer::pushHangUp(double now) {
    hangUpAt_ = std::max({now, lineFreeAt_, lastDue_});
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
    lastDue_ = 0.0;
}

} // namespace tracely::sim

#include "src/ui/link_status.h"

#include "src/instrument/lamp_colours.h"

#include <algorithm>

namespace tracely {

void LinkStatus::phase(LinkPhase p, const QString& detail) {
    phase_ = p;
    detail_ = detail;
    if (p != LinkPhase::Receiving) {
        done_ = total_ = 0;
    }
}

void LinkStatus::progress(int done, int total) {
    done_ = total > 0 ? std::clamp(done, 0, total) : 0;
    total_ = std::max(total, 0);
    if (total_ > 0) {
        phase_ = LinkPhase::Receiving;
    }
}

void LinkStatus::stored(bool on) {
    stored_ = on;
}

QString LinkStatus::headline() const {
    if (stored_) {
        return QStringLiteral("Stored");
    }
    switch (phase_) {
    case LinkPhase::NoInstrument:
    case LinkPhase::NotFound:
        return QStringLiteral("No instrument — press Acquire to search");
    case LinkPhase::Searching:
        return QStringLiteral("Searching ") + detail_;
    case LinkPhase::Connected:
        return QStringLiteral("Connected on %1 — press Acquire").arg(detail_);
    case LinkPhase::Waiting:
        return QStringLiteral("Waiting for trigger");
    case LinkPhase::Receiving:
        return total_ > 0 ? QStringLiteral("Receiving %1 / %2").arg(done_).arg(total_)
                          : QStringLiteral("Receiving");
    case LinkPhase::Captured:
        return repeat_ ? QStringLiteral("Running") : QStringLiteral("Captured");
    case LinkPhase::GaveUp:
        return QStringLiteral("Stopped after line faults");
    }
    return {};
}

QString LinkStatus::explanation() const {
    const bool why = phase_ == LinkPhase::NotFound || phase_ == LinkPhase::GaveUp ||
                     phase_ == LinkPhase::NoInstrument;
    return why && !stored_ ? detail_ : QString();
}

bool LinkStatus::worthShowing() const {
    return stored_ || phase_ != LinkPhase::Captured;
}

QString lampWords(bool lit, std::uint32_t colour) {
    if (!lit) {
        return QStringLiteral("off, idle");
    }
    switch (colour & 0x00FFFFFFu) {
    case colour::kRed:
        return QStringLiteral("red, communication error");
    case colour::kYellow:
        return QStringLiteral("yellow, waiting for trigger");
    case colour::kBlue:
        return QStringLiteral("blue, receiving");
    default:
        return QStringLiteral("lit");
    }
}

} // namespace tracely

#pragma once

#include "src/acquire/link_orders.h"

#include <QString>

#include <deque>

namespace tracely {

// How the link is doing, in numbers a user can check against what the panel shows.
struct LinkHealth {
    LineCounters line;
    quint64 captures = 0;   // drawn
    quint64 discarded = 0;  // given up on a fault and not drawn
    quint64 recoveries = 0; // good captures right after one or more discarded ones
    quint64 linkLosses = 0;
    double capturesPerSecond = 0.0;
    double bytesInPerSecond = 0.0;
    double bytesOutPerSecond = 0.0;
    QString lastFault; // in words; empty while nothing went wrong
};

// Lines of "name: value", for the status lamp's tooltip and the Options dialog.
QString describeHealth(const LinkHealth& h);
// One line, for a screen reader.
QString summariseHealth(const LinkHealth& h);

// Rates over the last few seconds, from counts sampled as they change.
class RateWindow {
public:
    struct Sample {
        double t;
        double captures, bytesIn, bytesOut;
    };
    explicit RateWindow(double seconds = 5.0) : span_(seconds) {}
    void add(const Sample& s);
    // Fills the three rates of h.
    void rates(LinkHealth& h) const;

private:
    double span_;
    std::deque<Sample> samples_;
};

} // namespace tracely
